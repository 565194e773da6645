#include "wizard/translation/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include <memory>

#include "wizard/translation/language_folder.h"

namespace {

// Qt's module of the widgets' and dialogs' texts.
const QString kQtCatalogue = QStringLiteral("qtbase");

// The translation in use, owned by the application, and where it came from.
struct InstalledTranslation {
    QPointer<QTranslator> translator;
    QLocale::Language language = QLocale::AnyLanguage;
    QString folder;
};
InstalledTranslation installed;

// Lower case without accents: "Français" and "Francais" read alike.
QString PlainName(const QString& name) {
    QString plain;
    for (const QChar character : name.normalized(QString::NormalizationForm_D)) {
        if (character.category() != QChar::Mark_NonSpacing) plain += character;
    }
    return plain.toCaseFolded();
}

void RemoveInstalledTranslation() {
    delete installed.translator.data();  // takes itself out of the application
    installed = {};
}

}  // namespace

QLocale::Language LanguageOfFile(const QString& fileName) {
    const QString name = PlainName(LanguageCaption(fileName));
    if (name.isEmpty()) return QLocale::AnyLanguage;
    for (int value = QLocale::C + 1; value <= QLocale::LastLanguage; ++value) {
        const auto language = static_cast<QLocale::Language>(value);
        if (PlainName(QLocale::languageToString(language)) == name) return language;
        const QLocale locale(language);
        if (locale.language() == language && PlainName(locale.nativeLanguageName()) == name) {
            return language;
        }
    }
    return QLocale::AnyLanguage;
}

QString QtTranslationsFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool UseQtLanguage(QLocale::Language language, const QString& folder) {
    // A language chosen again keeps its translation: no needless retranslation of Qt's widgets.
    if (installed.translator && installed.language == language && installed.folder == folder) return true;
    RemoveInstalledTranslation();
    if (language == QLocale::AnyLanguage || language == QLocale::English) return false;
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(QLocale(language), kQtCatalogue, QStringLiteral("_"), folder) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return false;
    }
    installed = {translator.release(), language, folder};
    return true;
}

QLocale::Language QtLanguage() {
    return installed.translator ? installed.language : QLocale::AnyLanguage;
}
