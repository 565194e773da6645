#include "wizard/utilities/utility_messages.h"

#include "wizard/translation/translation.h"

QString UtilityMessage(const char* id, const char* text, const QString& argument) {
    return TranslateFormat(QString::fromLatin1(id), QString::fromUtf8(text), argument);
}

QString SameDriveRefusal() {
    // Through the formatter with no arguments, so a translation holding conversions falls back.
    return TranslateFormat(QStringLiteral("strSameDiskError"),
                           QStringLiteral("The destination folder is on the same drive with the source. You should "
                                          "change the destination location for recovered files."));
}
