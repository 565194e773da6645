// The translation file we ship: it reads as UTF-8 and keeps every format's conversions, so
// that no German text falls back to English.

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <vector>

#include "tests/wizard/support/language_folder_fixture.h"
#include "wizard/forms/advanced_params_form.h"
#include "wizard/forms/format_prop_form.h"
#include "wizard/forms/language_select_form.h"
#include "wizard/forms/types/types_panel.h"
#include "wizard/model/formats_unit.h"

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

// The names of the form's components that show a caption of their own (not the scroll
// buttons of a tab bar, nor a menu's own action).
QStringList CaptionedComponents(const QObject* form) {
    QStringList names;
    for (const QObject* component : form->findChildren<QObject*>()) {
        const auto* label = qobject_cast<const QLabel*>(component);
        const auto* button = qobject_cast<const QAbstractButton*>(component);
        const auto* action = qobject_cast<const QAction*>(component);
        const auto* page = qobject_cast<const QWidget*>(component);
        const auto* tabs = page && page->parentWidget()
                               ? qobject_cast<const QTabWidget*>(page->parentWidget()->parentWidget())
                               : nullptr;
        if ((label && !label->text().isEmpty()) ||
            (button && !qobject_cast<const QTabBar*>(button->parent())) ||
            (action && !action->isSeparator() && !action->text().isEmpty()) ||
            (tabs && tabs->indexOf(page) >= 0)) {
            names << component->objectName();
        }
    }
    return names;
}

TEST_F(ShippedLanguageTest, EveryCaptionOfTheTypesPageAndItsDialogsIsTranslated) {
    FormatsUnitInit();
    QWidget mainForm;
    mainForm.setObjectName(QStringLiteral("MainForm"));
    new TTypesPanel(&mainForm);
    TFormatPropForm formatForm;
    TAdvancedParamsForm preferences;
    for (const QObject* form : std::initializer_list<const QObject*>{&mainForm, &formatForm, &preferences}) {
        const QString section = form->objectName();
        const QStringList names = CaptionedComponents(form);
        EXPECT_FALSE(names.isEmpty());
        for (const QString& name : names) {
            EXPECT_FALSE(name.isEmpty()) << "an unnamed component in " << section.toStdString();
            EXPECT_TRUE(CurrentTranslation()->value(
                section, section + u'.' + name + QStringLiteral(".Caption")))
                << section.toStdString() << "." << name.toStdString();
        }
    }
    EXPECT_EQ(formatForm.windowTitle(), QStringLiteral("Eigenschaften des Dateiformats"));
    EXPECT_EQ(preferences.windowTitle(), QStringLiteral("Einstellungen"));
    FormatsUnitDone();
}

}  // namespace
