#include "wizard/support/modal_dialog_watch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace {

struct PendingAnswer {
    DialogAnswer answer;
    std::function<void()> missed;
    QPointer<QWidget> modalBefore;
    QElapsedTimer clock;
    std::chrono::milliseconds timeout;
};

void lookForDialog(std::shared_ptr<PendingAnswer> pending) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != pending->modalBefore) {
        pending->answer(modal);
        return;
    }
    if (pending->clock.elapsed() > pending->timeout.count()) {
        pending->missed();
        return;
    }
    QTimer::singleShot(0, qApp, [pending] { lookForDialog(pending); });
}

}  // namespace

void watchForModalDialog(DialogAnswer answer, std::chrono::milliseconds timeout,
                         std::function<void()> missed) {
    auto pending = std::make_shared<PendingAnswer>();
    pending->answer = std::move(answer);
    pending->missed = std::move(missed);
    pending->modalBefore = QApplication::activeModalWidget();
    pending->timeout = timeout;
    pending->clock.start();
    QTimer::singleShot(0, qApp, [pending] { lookForDialog(pending); });
}
