#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "wizard/forms/main/main_form_fixture.h"
#include "wizard/forms/tree/qarn_tree_view.h"
#include "wizard/help/help_file.h"
#include "wizard/help/help_service.h"
#include "wizard/help/html_help.h"
#include "wizard/settings/settings_values.h"
#include "wizard/support/dialog_controls.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/type_tree_nodes.h"
#include "wizard/translation/language_folder.h"
#include "wizard/translation/translation.h"

namespace {

using MainFormStartupTest = MainFormTest;

TEST_F(MainFormStartupTest, AFirstStartAsksForTheLanguageOnceAndListsTheVolumesOfTheImages) {
    useFixtureDisks({"disks/mbr_fat_ntfs.img.gz", "disks/bare_fat.img.gz"});
    startUnits(true);
    startSplash();
    QSignalSpy examined(splash.get(), &TSplashForm::DriveExamined);
    QString languageDialog;
    answerNextModalDialog([&](QWidget* dialog) {
        languageDialog = dialog->objectName();
        static_cast<QDialog*>(dialog)->reject();
    });
    createForm();

    EXPECT_EQ(languageDialog, QStringLiteral("LanguageSelectForm"));
    EXPECT_EQ(help.reportedTopics, QStringList{QStringLiteral("/files/quickstart.html")});
    EXPECT_TRUE(help.topics.isEmpty());
    EXPECT_EQ(driveCaptions(), (QStringList{QStringLiteral("C (MBRFAT)"), QStringLiteral("D (MBRNTFS)"),
                                            QStringLiteral("E (BAREFAT)")}));
    EXPECT_EQ(driveList()->topLevelItem(1)->text(1), QStringLiteral("NTFS"));
    EXPECT_EQ(driveList()->topLevelItem(2)->text(4), QStringLiteral("Ready"));
    // One report per disk and per volume, from the engine's threads in any order.
    QStringList reported;
    for (const QList<QVariant>& signal : examined) reported.append(signal.at(0).toChar());
    reported.sort();
    EXPECT_EQ(reported, (QStringList{"0", "1", "C", "D", "E"}));

    EXPECT_EQ(form->ActivePage(), TMainForm::kWelcomePage);
    EXPECT_FALSE(button("BottomButtonBack")->isEnabled());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+ \\(build \\d+\\), released on \\w+ \\d{1,2}, \\d{4}$"))
                    .match(child<QLabel>("WelcomeProgramVersionLabel")->text())
                    .hasMatch())
        << child<QLabel>("WelcomeProgramVersionLabel")->text().toStdString();

    // The copies previews leave go with the program's end. The next start asks nothing and
    // opens no topic.
    const std::filesystem::path previews = qEnvironmentVariable("UNDELETE_PREVIEW_FOLDER").toStdString();
    ASSERT_TRUE(std::filesystem::is_directory(previews));
    std::ofstream(previews / "found file.jpg") << "copy";
    destroyForm();
    units.reset();
    EXPECT_FALSE(std::filesystem::exists(previews));
    units = std::make_unique<RunningUnits>(programUnits());
    ASSERT_FALSE(Settings().GlobalFirstStart);
    createForm();
    EXPECT_EQ(help.reportedTopics.size(), 1);
    EXPECT_EQ(driveCaptions().size(), 3);
}

TEST_F(MainFormStartupTest, AFirstStartWithoutTheHelpFolderSaysSoWhileF1StaysSilent) {
    useScriptedDrives({ScriptedVolume(2, 'C', 1)});
    startUnits(true);
    const ScopedHelpService realHelp(HelpService::standard());
    const QString missing = QString::fromStdString((workFolder() / "PramblexPro.help").string());
    SetApplicationHelpFile(missing);
    answerNextModalDialog([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    prompts.expect(QStringLiteral("Can't open help file (%1).").arg(missing), kPromptOk);
    startSplash();
    createForm();
    prompts.verifyAllShown();

    QTest::keyClick(form.get(), Qt::Key_F1);
    button("BottomButtonHelp")->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(CurrentHelpWindow(), nullptr);
    SetApplicationHelpFile(QString());
}

// The pages name no file manager this system does not have, in English or in the German file
// (file types may still be called after the system they come from).
TEST_F(MainFormStartupTest, NoTextNamesTheOtherSystemsFileManager) {
    useScriptedDrives({ScriptedVolume(2, 'C', 1)});
    startUnits();
    startSplash();
    createForm();
    QStringList texts;
    for (const QLabel* label : form->findChildren<QLabel*>()) texts << label->text();
    for (const QAbstractButton* button : form->findChildren<QAbstractButton*>()) texts << button->text();
    QFile german(qEnvironmentVariable("UNDELETE_TEST_DATA") + QStringLiteral("/../../wizard/languages/Deutsch.lng"));
    ASSERT_TRUE(german.open(QIODevice::ReadOnly));
    texts << QString::fromUtf8(german.readAll()).split(u'\n');
    for (const QString& text : texts) {
        EXPECT_FALSE(text.contains(QStringLiteral("Explorer"))) << text.toStdString();
    }
    EXPECT_TRUE(child<QLabel>("FinishExploreLabel")->text().contains(QStringLiteral("file manager")));
}

TEST_F(MainFormStartupTest, TranslatedFormatsThatDoNotFitFallBackToEnglish) {
    struct stat status {};
    ASSERT_EQ(::stat(workFolder().c_str(), &status), 0);
    useScriptedDrives({ScriptedVolume(2, 'C', 1, status.st_dev)});
    startUnits();
    const std::filesystem::path languages = workFolder() / "languages";
    std::filesystem::create_directories(languages);
    std::ofstream(languages / "Hostile.lng") << "[Misc]\n"
                                                "strMainWelcomeVersion=%d %s %n\n"
                                                "strExaminingDrive=%s%s%n\n"
                                                "strSameDiskError=%s%n\n";
    SetLanguageFolder(QString::fromStdString(languages.string()));
    Settings().GlobalLanguage = QStringLiteral("Hostile.lng");
    startSplash();
    createForm();

    EXPECT_TRUE(child<QLabel>("WelcomeProgramVersionLabel")->text().contains(QStringLiteral("(build ")));
    EXPECT_EQ(splash->findChild<QLabel*>(QStringLiteral("LabelDriveScanning"))->text(),
              QStringLiteral("Examining drive: C:"));
    Settings().RecoveryTargetFolder = QString::fromStdString(workFolder().string()) + "/out/";
    walkTo(TMainForm::kAutopilotPage);
    prompts.expect(QStringLiteral("The destination folder is on the same drive with the source. You "
                                  "should change the destination location for recovered files."),
                   kPromptOk);
    clickNext();
    EXPECT_EQ(form->ActivePage(), TMainForm::kAutopilotPage);
    SetLanguageFolder(QString());
}

// Chosen in Preferences, the language reaches at once the texts the welcome page builds, the
// type tree and Qt's own buttons; English again takes the tree and Qt's buttons back.
TEST_F(MainFormStartupTest, TheLanguageChosenInPreferencesReachesTheBuiltTextsAtOnce) {
    useScriptedDrives({ScriptedVolume(2, 'C', 1)});
    startUnits();
    SetLanguageFolder(qEnvironmentVariable("UNDELETE_TEST_DATA") + QStringLiteral("/../../wizard/languages"));
    createForm();
    const QLabel* copyright = child<QLabel>("WelcomeCopyrightLabel");
    const QLabel* version = child<QLabel>("WelcomeProgramVersionLabel");
    EXPECT_TRUE(copyright->text().endsWith(QStringLiteral(". All rights reserved."))) << copyright->text().toStdString();
    TqarnTreeView* tree = child<TqarnTreeView>("TypesTreeView");
    TqarnTreeNode* jpeg = FormatNode(*tree, "JPEG");
    tree->selectNode(jpeg);
    const int jpegState = jpeg->stateIndex();
    const auto treeTexts = [tree, jpeg] {
        return (tree->nodes()->root(2)->text() + " | " + jpeg->text()).toStdString();
    };
    const auto chooseLanguage = [this](const char* caption) {
        answerNextModalDialog([caption](QWidget* dialog) {
            auto* languages = dialog->findChild<QComboBox*>(QStringLiteral("LanguageSelectComboBox"));
            languages->setCurrentIndex(languages->findText(QString::fromLatin1(caption)));
            PressButton(dialog, "ButtonOK");
        });
        child<QAction>("MainMenuMiInterfaceLanguage")->trigger();
    };
    const auto qtYes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };

    chooseLanguage("Deutsch");
    EXPECT_EQ(treeTexts(), "Bilder | JPEG (JPEG-Bild)");
    EXPECT_EQ(tree->selectedNode(), jpeg);
    EXPECT_EQ(jpeg->stateIndex(), jpegState);
    EXPECT_EQ(qtYes().toStdString(), "&Ja");
    EXPECT_EQ(button("BottomButtonNext")->text(), QStringLiteral("&Weiter >"));
    EXPECT_TRUE(copyright->text().endsWith(QStringLiteral(". Alle Rechte vorbehalten.")))
        << copyright->text().toStdString();
    // No English month name: the date as German writes it.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+ \\(Build \\d+\\), veröffentlicht am \\d{2}\\.\\d{2}\\.\\d{4}$"))
                    .match(version->text())
                    .hasMatch())
        << version->text().toStdString();

    chooseLanguage("English (Default)");
    EXPECT_EQ(treeTexts(), "Images | JPEG (JPEG Image)");
    EXPECT_EQ(qtYes().toStdString(), "&Yes");
    SetLanguageFolder(QString());
}

TEST_F(MainFormStartupTest, TheShippedTranslationNamesComponentsThatExist) {
    useScriptedDrives({ScriptedVolume(2, 'C', 1)});
    startUnits();
    const QString languages = qEnvironmentVariable("UNDELETE_TEST_DATA") + QStringLiteral("/../../wizard/languages");
    SetLanguageFolder(languages);
    Settings().GlobalLanguage = QStringLiteral("Deutsch.lng");
    // As the program starts: the stored language is in use before the splash is made.
    SetCurrentTranslation(LoadLanguageFile(Settings().GlobalLanguage));
    startSplash();
    createForm();
    EXPECT_EQ(button("BottomButtonNext")->text(), QStringLiteral("&Weiter >"));
    EXPECT_EQ(splash->findChild<QLabel*>(QStringLiteral("LabelDriveScanTitle"))->text(),
              QStringLiteral("Die angeschlossenen Laufwerke werden gesucht..."));

    QFile file(languages + QStringLiteral("/Deutsch.lng"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QRegularExpression key(QStringLiteral("^(MainForm|SplashForm)\\.([A-Za-z0-9]+)\\."));
    int checked = 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QRegularExpressionMatch match = key.match(QString::fromUtf8(line));
        if (!match.hasMatch()) continue;
        const QWidget* owner = match.captured(1) == QStringLiteral("MainForm")
                                   ? static_cast<QWidget*>(form.get())
                                   : static_cast<QWidget*>(splash.get());
        EXPECT_NE(owner->findChild<QObject*>(match.captured(2)), nullptr) << line.toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 70);
    SetLanguageFolder(QString());
}

}  // namespace
