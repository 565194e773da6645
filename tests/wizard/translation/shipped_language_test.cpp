// The translation file we ship: it reads as UTF-8 and keeps every format's conversions, so
// that no German text falls back to English.

#include <QFile>

#include <gtest/gtest.h>

#include <vector>

#include "tests/wizard/support/language_folder_fixture.h"
#include "wizard/forms/language_select_form.h"

namespace {

class ShippedLanguageTest : public LanguageFolderTest {
protected:
    void SetUp() override {
        LanguageFolderTest::SetUp();
        const QString source = qEnvironmentVariable("UNDELETE_TEST_DATA") +
                               QStringLiteral("/../../wizard/languages/Deutsch.lng");
        ASSERT_TRUE(QFile::copy(source, programFile(QStringLiteral("Deutsch.lng"))))
            << source.toStdString();
        SetCurrentTranslation(LoadLanguageFile(QStringLiteral("Deutsch.lng")));
        ASSERT_NE(CurrentTranslation(), nullptr);
    }
};

TEST_F(ShippedLanguageTest, TranslatesTheLanguageForm) {
    TLanguageSelectForm form(LanguageFormInfo{});
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Wählen Sie Ihre Sprache"));
}

TEST_F(ShippedLanguageTest, FormatsKeepTheirConversions) {
    struct Format {
        const char* id;
        QString english;
        std::vector<FormatArgument> arguments;
    };
    const QString text = QStringLiteral("T");
    const std::vector<Format> formats = {
        {"strCantCreateFolder", "Can't create folder %s", {text}},
        {"strDriveSectorsSearchStarted", "Cluster search on drive %s: started.", {text}},
        {"strErrorMessage", "ERROR: %s", {text}},
        {"strErrorMessageAndRetryCount",
         "Error: %s (Retry Count = %d; Current Position: %d)",
         {text, 1, 2}},
        {"strExaminingDrive", "Examining drive: %s:", {text}},
        {"strFileFormatRemove", "Do you really want to remove the \"%s\" file format?", {text}},
        {"strFileFound", "File found: %s", {text}},
        {"strFileSystemSearchStarted", "Search on drive %s: started.", {text}},
        {"strMainWelcomeVersion", "%s (build %s), released on %s", {text, text, text}},
        {"strRecoveringFileFromTo", "Recovering file: %s (from %s to %s)", {text, text, text}},
        {"strRecoveryAutoRename", "WARNING: Auto-rename file to: %s", {text}},
        {"strRecoveryOverwriting", "WARNING: Overwriting file: %s", {text}},
        {"strRecoveryRename", "WARNING: Recovering file under new name: %s", {text}},
        {"strUtilsExecuteProgramError", "Unable to execute external program %s.", {text}},
    };
    for (const Format& format : formats) {
        const QString translated = TranslateString(format.english, QString::fromLatin1(format.id));
        EXPECT_NE(translated, format.english) << format.id;
        EXPECT_NE(SafeFormat(translated, format.english, format.arguments),
                  SafeFormat(format.english, format.english, format.arguments))
            << format.id;
    }
}

}  // namespace
