#include "wizard/utilities/utility_messages.h"

#include "wizard/translation/translation.h"

QString UtilityMessage(const char* id, const char* text, const QString& argument) {
    return TranslateFormat(QString::fromLatin1(id), QString::fromUtf8(text), argument);
}
