#include "wizard/utilities/utility_messages.h"

// English only until the program's translation is connected here.
QString UtilityMessage(const char* /*id*/, const char* text, const QString& argument) {
    return QString::fromUtf8(text).replace(QStringLiteral("%s"), argument);
}
