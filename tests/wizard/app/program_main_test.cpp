#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>

#include "wizard/app/program_main.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/wizard_test.h"

namespace {

namespace fs = std::filesystem;

using ProgramMainTest = WizardTest;

TEST_F(ProgramMainTest, ARunShowsTheMainWindowAndWritesNothingUnderHome) {
    useFixtureDisks({"disks/bare_fat.img.gz"});
    // A first start asks for the interface language before the window shows.
    QString languageDialog;
    answerNextModalDialog([&](QWidget* dialog) {
        languageDialog = dialog->objectName();
        static_cast<QDialog*>(dialog)->reject();
    });
    prompts.expect(QStringLiteral("Are you sure you want to exit application?"), kPromptYes);
    QString caption;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QStringLiteral("MainForm") && window->isVisible()) {
                caption = window->windowTitle();
                window->close();
            }
        }
    });
    closer.start(10);
    EXPECT_EQ(runProgram(), 0);
    EXPECT_EQ(caption, QStringLiteral("Pramblex Pro"));
    EXPECT_EQ(languageDialog, QStringLiteral("LanguageSelectForm"));

    EXPECT_TRUE(fs::is_empty(home())) << fs::begin(fs::recursive_directory_iterator(home()))->path();
    // The engine's copy of the type table went to the registry named for the test.
    EXPECT_TRUE(fs::exists(registryFolder() / "Software" / "Kelvorin" / "Pramblex"));
}

}  // namespace
