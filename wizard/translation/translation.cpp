#include "wizard/translation/translation.h"

#include <QMutex>
#include <QMutexLocker>

#include "wizard/translation/language_folder.h"
#include "wizard/translation/language_text.h"
#include "wizard/translation/qt_translation.h"

namespace {

QMutex translationMutex;
Translation currentTranslation;  // guarded by translationMutex

const QString kLineBreakMark = QStringLiteral("*|*");

// Joins the texts between the marks with line breaks. Empty texts before the first
// non-empty one collapse into nothing, so a value starting with marks starts with one
// line break at most; later empty texts each give a line of their own.
QString ExpandLineBreaks(QString value) {
    QString result;
    qsizetype mark = 0;
    while ((mark = value.indexOf(kLineBreakMark)) >= 0) {
        const QString part = value.first(mark);
        result = result.isEmpty() ? part : result + u'\n' + part;
        value.remove(0, mark + kLineBreakMark.size());
    }
    return result + u'\n' + value;
}

}  // namespace

Translation CurrentTranslation() {
    QMutexLocker lock(&translationMutex);
    return currentTranslation;
}

void SetCurrentTranslation(Translation translation) {
    QMutexLocker lock(&translationMutex);
    currentTranslation = std::move(translation);
}

Translation LoadLanguageFile(const QString& fileName) {
    SetCurrentTranslation(nullptr);
    const QString path = FindLanguageFile(LanguageFolder(), fileName);
    if (path.isEmpty()) {
        return nullptr;
    }
    const std::optional<QByteArray> bytes = ReadLanguageFileBytes(path);
    if (!bytes) {
        return nullptr;
    }
    return std::make_shared<const LanguageFile>(LanguageFile::parse(DecodeLanguageText(*bytes)));
}

void UseLanguageFile(const QString& fileName) {
    const Translation translation = fileName.isEmpty() ? nullptr : LoadLanguageFile(fileName);
    SetCurrentTranslation(translation);
    UseQtLanguage(translation ? LanguageOfFile(fileName) : QLocale::AnyLanguage);
}

QString TranslateString(const QString& english, const QString& id) {
    const Translation translation = CurrentTranslation();
    if (!translation) {
        return english;
    }
    const QString value = translation->value(QStringLiteral("Misc"), id).value_or(QString());
    if (value.trimmed().isEmpty()) {
        return english;
    }
    if (!value.contains(kLineBreakMark)) {
        return value;
    }
    return ExpandLineBreaks(value);
}
