#include "wizard/forms/main/keys_keeper.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

KeysKeeper::KeysKeeper(QWidget* mainWindow) : QObject(mainWindow), mainWindow_(mainWindow) {
    qApp->installEventFilter(this);
}

KeysKeeper::~KeysKeeper() { qApp->removeEventFilter(this); }

bool KeysKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched != mainWindow_ && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
        // Once the hiding is done and the window system has had its say.
        QTimer::singleShot(0, this, [this] { Reclaim(); });
    }
    return false;
}

void KeysKeeper::Reclaim() {
    const QWindow* focused = QGuiApplication::focusWindow();
    if (focused && focused->isVisible()) return;
    if (mainWindow_->isVisible() && !QApplication::activeModalWidget()) mainWindow_->activateWindow();
}
