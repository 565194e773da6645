#include "tools/screenshots/shot_folder.h"

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QThread>

#include <cstdio>
#include <memory>
#include <utility>

#include "wizard/support/modal_dialog_watch.h"

ShotFolder::ShotFolder(const QString& folder) : folder_(folder) { folder_.mkpath(QStringLiteral(".")); }

void ShotFolder::Save(const QString& name, QWidget* widget) {
    const QString file = folder_.filePath(QStringLiteral("%1-%2.png").arg(next_++, 2, 10, QLatin1Char('0')).arg(name));
    if (!widget) {
        Fail(QStringLiteral("no window for %1").arg(name));
    } else if (!widget->grab().save(file)) {
        Fail(QStringLiteral("%1 cannot be written").arg(file));
    }
}

void ShotFolder::SaveTabs(const QString& name, QWidget* dialog) {
    auto* tabs = dialog->findChild<QTabWidget*>();
    if (!tabs) {
        Save(name, dialog);
        return;
    }
    const int shown = tabs->currentIndex();
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        Settle(std::chrono::milliseconds(50));
        Save(QStringLiteral("%1-%2").arg(name).arg(page + 1), dialog);
    }
    tabs->setCurrentIndex(shown);
}

void ShotFolder::Fail(const QString& what) {
    std::fprintf(stderr, "screenshots: %s\n", qPrintable(what));
    ++failures_;
}

ShotFolder::Expected ShotFolder::ExpectModal(const QString& name, const std::function<void(QWidget* dialog)>& close) {
    Expected expected{name, std::make_shared<bool>(true)};
    // The watch outlives a dialog that never opens: once that is known it must leave the
    // next dialog to the next watch.
    watchForModalDialog(
        [this, name, close, waiting = expected.waiting](QWidget* dialog) {
            if (!std::exchange(*waiting, false)) return;
            Settle();
            SaveTabs(name, dialog);
            close(dialog);
        },
        std::chrono::seconds(20), [] {});
    return expected;
}

void ShotFolder::CheckShown(const Expected& expected) {
    if (std::exchange(*expected.waiting, false)) Fail(QStringLiteral("the dialog %1 did not open").arg(expected.name));
}

void ShotFolder::SaveModal(const QString& name, const std::function<void()>& open,
                           const std::function<void(QWidget* dialog)>& close) {
    const Expected expected = ExpectModal(name, close);
    open();
    CheckShown(expected);
}

void Settle(std::chrono::milliseconds time) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < time.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout.count()) return false;
        Settle(std::chrono::milliseconds(20));
    }
    return true;
}

void Dismiss(QWidget* dialog) {
    if (auto* modal = qobject_cast<QDialog*>(dialog)) {
        modal->reject();
    } else {
        dialog->close();
    }
}
