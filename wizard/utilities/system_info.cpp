#include "wizard/utilities/system_info.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

bool IsWindowsNT() { return true; }

int GetScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return -1;
    return static_cast<int>(std::lround(screen->logicalDotsPerInchX()));
}
