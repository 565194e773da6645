#include "wizard/translation/translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/wizard/support/language_folder_fixture.h"
#include "wizard/translation/qt_translation.h"

namespace {

using TranslationTest = LanguageFolderTest;

QString MiscValue(const Translation& translation, const char* id) {
    return translation ? translation->value(QStringLiteral("Misc"), QString::fromUtf8(id))
                             .value_or(QString())
                       : QStringLiteral("<none>");
}

TEST_F(TranslationTest, SettingMustNameAPlainRegularSmallFileOfTheFolder) {
    writeProgramFile(QStringLiteral("big.lng"), QByteArray(10'000'000, 'x'));
    ASSERT_TRUE(QDir(programFile(QString())).mkdir(QStringLiteral("x.lng")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), programFile(QStringLiteral("zero.lng"))));
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(programFile(QStringLiteral("fifo.lng"))).constData(), 0600), 0);
    writeProgramFile(QStringLiteral("Deutsch.lng"), "[Misc]\nstrYes=Ja\n");

    QElapsedTimer timer;
    timer.start();
    for (const QString& name :
         {QStringLiteral("../../dev/zero"), QStringLiteral("/dev/zero"),
          QStringLiteral("..\\Deutsch.lng"), QStringLiteral("sub/Deutsch.lng"),
          QStringLiteral("Deutsch.lng/.."), QString(),
          QStringLiteral("Deutsch.lng") + QChar(0) + QStringLiteral("x"), QStringLiteral("big.lng"),
          QStringLiteral("x.lng"), QStringLiteral("zero.lng"), QStringLiteral("fifo.lng"),
          QStringLiteral("missing.lng")}) {
        EXPECT_EQ(LoadLanguageFile(name), nullptr) << name.toStdString();
    }
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST_F(TranslationTest, FindsTheExactNameFirstThenAnyCase) {
    writeProgramFile(QStringLiteral("DEUTSCH.LNG"), "[Misc]\nstrYes=capitals\n");
    EXPECT_EQ(MiscValue(LoadLanguageFile(QStringLiteral("Deutsch.lng")), "strYes"),
              QStringLiteral("capitals"));

    writeProgramFile(QStringLiteral("Deutsch.lng"), "[Misc]\nstrYes=exact\n");
    EXPECT_EQ(MiscValue(LoadLanguageFile(QStringLiteral("Deutsch.lng")), "strYes"),
              QStringLiteral("exact"));
    EXPECT_EQ(MiscValue(LoadLanguageFile(QStringLiteral("deutsch.LNG")), "strYes"),
              QStringLiteral("capitals"));
}

TEST_F(TranslationTest, LoadingDropsTheCurrentTranslationEvenWhenItFails) {
    useTranslation("[Misc]\nstrYes=Ja\n");
    EXPECT_EQ(LoadLanguageFile(QStringLiteral("missing.lng")), nullptr);
    EXPECT_EQ(CurrentTranslation(), nullptr);
}

TEST_F(TranslationTest, TranslateStringFollowsTheLineBreakMarks) {
    useTranslation(
        "[Misc]\n"
        "strBlank=   \n"
        "strPlain=Fehler\n"
        "strTwo=eins*|*zwei\n"
        "strLeadingRun=*|**|**|*eins\n"
        "strLeadingTwo=*|*eins*|*zwei\n"
        "strInnerRun=eins*|**|*zwei\n"
        "strTrailing=eins*|*\n"
        "strUNUSUALCASE=Fall\n");
    struct Case {
        const char* id;
        const char* expected;
    };
    const Case cases[] = {
        {"strMissing", "English"},       {"strBlank", "English"},
        {"strPlain", "Fehler"},
        {"strTwo", "eins\nzwei"},        {"strLeadingRun", "\neins"},
        {"strLeadingTwo", "eins\nzwei"},  // empty texts before the first one collapse
        {"strInnerRun", "eins\n\nzwei"}, {"strTrailing", "eins\n"},
        {"strUnusualCase", "Fall"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TranslateString(QStringLiteral("English"), QString::fromUtf8(c.id)),
                  QString::fromUtf8(c.expected))
            << c.id;
    }
}

// Qt's own texts take the language the file's name tells, by its English or its own name;
// English, a name Qt does not know, a file that cannot be read and missing Qt translations
// leave them English.
TEST_F(TranslationTest, QtsOwnTextsFollowTheLanguageTheFileNameTells) {
    struct Case {
        const char* file;
        bool present;
        QLocale::Language language;
        const char* yes;
    };
    const Case cases[] = {
        {"Deutsch.lng", true, QLocale::German, "&Ja"},     {"GERMAN.LNG", true, QLocale::German, "&Ja"},
        {"Francais.lng", true, QLocale::French, "&Oui"},   {"English.lng", true, QLocale::English, "&Yes"},
        {"Pt.br.lng", true, QLocale::AnyLanguage, "&Yes"}, {"Polski.lng", false, QLocale::Polish, "&Yes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString file = QString::fromLatin1(c.file);
        if (c.present) writeProgramFile(file, "[Misc]\nstrYes=x\n");
        EXPECT_EQ(LanguageOfFile(file), c.language);
        UseLanguageFile(file);
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes").toStdString(), c.yes);
    }
    UseLanguageFile(QStringLiteral("Deutsch.lng"));
    const QTemporaryDir noQtTranslations;
    EXPECT_FALSE(UseQtLanguage(QLocale::German, noQtTranslations.path()));
    EXPECT_EQ(QtLanguage(), QLocale::AnyLanguage);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes").toStdString(), "&Yes");
}

}  // namespace
