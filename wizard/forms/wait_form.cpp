#include "wizard/forms/wait_form.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QScreen>
#include <QWindow>

#include "wizard/translation/translate_form.h"

namespace {

QPointer<TWaitForm> currentWaitForm;

// How long showing waits for the window system to map the window before painting.
constexpr int kExposeWaitMs = 200;

}  // namespace

TWaitForm::TWaitForm(QWidget* mainWindow)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("WaitForm"));
    setAttribute(Qt::WA_QuitOnClose, false);
    // Nothing in it takes keys: the window below keeps the focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setFixedSize(311, 57);
    panel_ = new QLabel(QStringLiteral("Loading file list... Please wait..."), this);
    panel_->setObjectName(QStringLiteral("Panel1"));
    panel_->setTextFormat(Qt::PlainText);
    panel_->setAlignment(Qt::AlignCenter);
    panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel_->setGeometry(8, 8, 297, 41);
    TranslateForm({this});

    const QRect area = mainWindow ? mainWindow->frameGeometry()
                       : screen() ? screen()->availableGeometry()
                                  : QRect();
    move(area.center() - rect().center());
}

QString TWaitForm::caption() const { return panel_->text(); }

void TWaitForm::setCaption(const QString& text) {
    panel_->setText(text);
    panel_->repaint();
}

void TWaitForm::showPainted() {
    show();
    raise();
    // The window system maps a new window on its own time; the work that follows keeps the
    // event loop from running, so wait for the mapping here, then paint.
    const QDeadlineTimer deadline(kExposeWaitMs);
    while (!windowHandle()->isExposed() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    }
    repaint();
}

TWaitForm* WaitForm() { return currentWaitForm.data(); }

WaitScope::WaitScope(QWidget* mainWindow, const QString& caption)
    : outermost_(currentWaitForm.isNull()), mainWindow_(mainWindow) {
    if (outermost_) {
        if (mainWindow_) {
            focus_ = QApplication::focusWidget();
            mainWindowWasEnabled_ = mainWindow_->isEnabled();
            mainWindow_->setEnabled(false);
        }
        currentWaitForm = new TWaitForm(mainWindow);
        if (!caption.isEmpty()) {
            currentWaitForm->setCaption(caption);
        }
        currentWaitForm->showPainted();
        return;
    }
    outerCaption_ = currentWaitForm->caption();
    if (!caption.isEmpty()) {
        currentWaitForm->setCaption(caption);
    }
}

WaitScope::~WaitScope() {
    if (!outermost_) {
        if (currentWaitForm) {
            currentWaitForm->setCaption(outerCaption_);
        }
        return;
    }
    delete currentWaitForm.data();
    if (mainWindow_) {
        mainWindow_->setEnabled(mainWindowWasEnabled_);
    }
    if (focus_ && focus_->isVisible() && focus_->isEnabled()) focus_->setFocus();
}
