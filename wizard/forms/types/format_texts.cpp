#include "wizard/forms/types/format_texts.h"

#include "wizard/translation/translation.h"

QString TranslatedFormatText(const QString& english) {
    const Translation translation = CurrentTranslation();
    // The file's keys are trimmed as they are read.
    const QString key = english.trimmed();
    if (!translation || key.isEmpty()) return english;
    const QString value = translation->value(QStringLiteral("FileFormats"), key).value_or(QString());
    return value.trimmed().isEmpty() ? english : value;
}
