#include "wizard/scans/scan_context.h"

#include <QCoreApplication>

#include <atomic>

#include "wizard/bridge/engine_api.h"
#include "wizard/translation/translation.h"

void HandleQueuedEngineMessages(MessageWindow& window) {
    QCoreApplication::sendPostedEvents(&window, 0);
}

void StopEngineSearch(EngineSettings& settings) {
    std::atomic_ref<std::int32_t>(settings.Run).store(0);
}

QString LastEngineError() {
    const char* text = engine().GetLastErrorString();
    return text ? QString::fromUtf8(text) : QString();
}

QString Tr(const char16_t* english, const char16_t* id) {
    return TranslateString(QString::fromUtf16(english), QString::fromUtf16(id));
}

QString DriveLetterText(const TRecoveryDrive& drive) {
    const char letter = drive.Letter();
    return QString::fromLatin1(&letter, 1);
}
