#include "wizard/support/modal_dialog_driver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct PendingAnswer {
    DialogAnswer answer;
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
        ADD_FAILURE() << "no modal dialog opened to be answered";
        return;
    }
    QTimer::singleShot(0, qApp, [pending] { lookForDialog(pending); });
}

}  // namespace

void answerNextModalDialog(DialogAnswer answer, std::chrono::milliseconds timeout) {
    auto pending = std::make_shared<PendingAnswer>();
    pending->answer = std::move(answer);
    pending->modalBefore = QApplication::activeModalWidget();
    pending->timeout = timeout;
    pending->clock.start();
    QTimer::singleShot(0, qApp, [pending] { lookForDialog(pending); });
}
