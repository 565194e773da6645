#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "platform/time.h"
#include "wizard/bridge/busy_gate.h"
#include "wizard/forms/folder_browser/folder_tree_model.h"
#include "wizard/forms/main/main_form_fixture.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/settings/settings_values.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/target_folder_answers.h"
#include "wizard/support/wait_until.h"

namespace {

constexpr std::uint64_t kOtherDevice = 0xFFFF00FFu;

class MainFormNavigationTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        useScriptedDrives({ScriptedVolume(2, 'C', 0x1234ABCD, kOtherDevice)});
        startUnits();
        createForm();
    }
};

TEST_F(MainFormNavigationTest, NextAndBackWalkThePagesWithEveryCheck) {
    clickBack();
    EXPECT_EQ(form->ActivePage(), TMainForm::kWelcomePage) << "Back on the first page stays";
    clickNext();
    ASSERT_EQ(form->ActivePage(), TMainForm::kDriveSelectPage);
    EXPECT_FALSE(button("BottomButtonNext")->isEnabled());
    clickNext();
    EXPECT_EQ(form->ActivePage(), TMainForm::kDriveSelectPage) << "no drive, no step";
    clickBack();
    EXPECT_EQ(form->ActivePage(), TMainForm::kWelcomePage);
    walkTo(TMainForm::kTypesPage);

    // Types: a format or a file-name filter with text must be chosen.
    for (std::size_t i = 0; i < DataStorage->Formats().Count(); ++i) DataStorage->SetSearch(i, false);
    const QString noType = QStringLiteral(
        "No file type is selected, please select at least one file type for recovery.");
    prompts.expect(noType, kPromptOk);
    clickNext();
    child<QCheckBox>("TypesFilenameCheckBox")->setChecked(true);
    child<QLineEdit>("TypesFilenameEdit")->clear();
    prompts.expect(noType, kPromptOk);
    clickNext();
    EXPECT_EQ(form->ActivePage(), TMainForm::kTypesPage);
    child<QLineEdit>("TypesFilenameEdit")->setText(QStringLiteral("*.txt"));
    walkTo(TMainForm::kFinishPage);

    EXPECT_EQ(prompts.shown().back().icon, PromptIcon::Information);
    EXPECT_FALSE(button("BottomButtonNext")->isEnabled());
    EXPECT_FALSE(button("FinishExploreButton")->isEnabled()) << "nothing recovered";
    EXPECT_EQ(child<QLabel>("FinishFoundFilesLabel")->text(), QStringLiteral("0"));
    clickNext();
    EXPECT_EQ(form->ActivePage(), TMainForm::kFinishPage);
}

TEST_F(MainFormNavigationTest, APreviewWithFilesAsksBeforeMovingOnUnrecovered) {
    walkTo(TMainForm::kPreviewFileSystemPage);
    addFoundFile(*form->FileSystemList);
    const QString question = QStringLiteral(
        "You haven't restored any of the files. Please make sure that you have marked all required "
        "files and pressed the \"Recover\" button in the current dialogue before you move on to the "
        "next step of the recovery process. Do you want to move on to the next step?");
    prompts.expect(question, kPromptNo);
    clickNext();
    EXPECT_EQ(form->ActivePage(), TMainForm::kPreviewFileSystemPage);
    EXPECT_EQ(prompts.shown().back().icon, PromptIcon::Warning);
    prompts.expect(question, kPromptYes);
    clickNext();
    ASSERT_EQ(form->ActivePage(), TMainForm::kScanDriveSectorsPage);
    clickNext();
    ASSERT_EQ(form->ActivePage(), TMainForm::kPreviewDriveSectorsPage);

    addFoundFile(*form->DriveSectorsList);
    form->DriveSectors.RecoverPressed = true;
    clickNext();
    ASSERT_EQ(form->ActivePage(), TMainForm::kFinishPage) << "recovered: no question";
    EXPECT_EQ(child<QLabel>("FinishFoundFilesLabel")->text(), QStringLiteral("2"));
}

TEST_F(MainFormNavigationTest, PageValuesAreStoredOnlyByNextFromThePage) {
    walkTo(TMainForm::kTypesPage);
    child<QSpinBox>("TypesAgeEditUpDown")->setValue(12);
    child<QComboBox>("TypesSizeUnitComboBox")->setCurrentIndex(2);
    clickBack();
    EXPECT_EQ(Settings().RecoveryFilesAgeCount, 0);
    clickNext();
    clickNext();
    EXPECT_EQ(Settings().RecoveryFilesAgeCount, 12);
    EXPECT_EQ(Settings().RecoveryFilesSizeType, 2);

    child<QRadioButton>("ModeCorruptedRadioButton")->setChecked(true);
    EXPECT_FALSE(Settings().RecoverySearchExisting);
    clickNext();
    EXPECT_TRUE(Settings().RecoverySearchExisting);

    child<QCheckBox>("AutopilotKeepFolderStructureCheckBox")->setChecked(true);
    child<QLineEdit>("AutopilotFolderEdit")->setText(QStringLiteral("/srv/out"));
    EXPECT_EQ(Settings().RecoveryTargetFolder, QStringLiteral("/srv/out/")) << "as it is typed";
    child<QLineEdit>("AutopilotFolderEdit")->clear();
    EXPECT_EQ(Settings().RecoveryTargetFolder, QString()) << "not the root folder";
    EXPECT_FALSE(Settings().RecoveryKeepFolderStructure);
    clickNext();
    EXPECT_TRUE(Settings().RecoveryKeepFolderStructure);
}

TEST_F(MainFormNavigationTest, FilterControlsFollowTheirCheckBoxes) {
    walkTo(TMainForm::kTypesPage);
    // Covered by the types panel, the filters are out of the focus chain until shown.
    EXPECT_FALSE(child<QWidget>("TypesFilters")->isVisibleTo(form.get()));
    button("TypesShowFiltersButton")->click();
    EXPECT_TRUE(child<QWidget>("TypesFilters")->isVisibleTo(form.get()));
    const struct {
        const char* box;
        std::vector<const char*> controls;
    } filters[] = {
        {"TypesFilenameCheckBox", {"TypesFilenameEdit"}},
        {"TypesCreatedBetweenCheckBox",
         {"TypesCreatedStartDateTimePicker", "TypesCreatedEndDateTimePicker", "TypesCreatedLabel"}},
        {"TypesAgeCheckBox", {"TypesAgeEditUpDown", "TypesAgeEdit", "TypesAgeComboBox"}},
        {"TypesSizeCheckBox",
         {"TypesSizeSignComboBox", "TypesSizeValueEditUpDown", "TypesSizeValueEdit", "TypesSizeUnitComboBox"}},
    };
    for (const auto& filter : filters) {
        for (bool checked : {true, false}) {
            child<QCheckBox>(filter.box)->setChecked(checked);
            for (const char* control : filter.controls) {
                EXPECT_EQ(child<QWidget>(control)->isEnabled(), checked) << filter.box << " " << control;
            }
        }
    }
}

// The wall-clock time `daysAgo` days back, as a file system stores it.
FILETIME WallClockDaysAgo(int daysAgo) {
    const QDateTime then = QDateTime::currentDateTime().addDays(-daysAgo);
    const qint64 since1601 = QDateTime(then.date(), then.time(), Qt::UTC).toMSecsSinceEpoch() + 11'644'473'600'000;
    return platform::toFileTime(static_cast<std::uint64_t>(since1601) * 10'000);
}

// With no dates stored, "Created between" spans the last 30 days: ticked, it keeps what is
// recent instead of every file being older than its range.
TEST_F(MainFormTest, CreatedBetweenStartsOnTheLast30Days) {
    EngineScript script;
    script.drives = {ScriptedVolume(2, 'C', 1, kOtherDevice)};
    for (const auto& [name, daysAgo] : {std::pair{u"recent.jpg", 2}, std::pair{u"older.jpg", 40}}) {
        ScriptedFile file;
        file.record.RecordNumber = static_cast<std::uint64_t>(daysAgo);
        file.record.Flags = kFileDeleted;
        file.record.Size = 10;
        file.record.CreationTime = WallClockDaysAgo(daysAgo);
        file.name = name;
        script.files.push_back(file);
    }
    engine = std::make_unique<ScriptedEngine>(std::move(script));
    startUnits();
    createForm();
    walkTo(TMainForm::kTypesPage);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(child<QDateTimeEdit>("TypesCreatedStartDateTimePicker")->date(), today.addDays(-30));
    EXPECT_EQ(child<QDateTimeEdit>("TypesCreatedEndDateTimePicker")->date(), today);
    child<QCheckBox>("TypesFilenameCheckBox")->setChecked(true);
    button("TypesShowFiltersButton")->click();
    child<QCheckBox>("TypesCreatedBetweenCheckBox")->setChecked(true);
    walkTo(TMainForm::kPreviewFileSystemPage);
    ASSERT_EQ(form->FileSystemList->Count(), 1u);
    EXPECT_EQ((*form->FileSystemList)[0].Name(), "recent.jpg");
}

// A close during a rescan or a recovery is ignored, without a question.
TEST_F(MainFormNavigationTest, WhileALongActionPumpsNextAndBackOnlyRefreshAndCloseIsIgnored) {
    walkTo(TMainForm::kModePage);
    form->show();
    {
        const BusyScope rescan;
        clickNext();
        EXPECT_EQ(form->ActivePage(), TMainForm::kModePage);
        clickBack();
        EXPECT_EQ(form->ActivePage(), TMainForm::kModePage);
        EXPECT_FALSE(form->close());
    }
    form->FileSystem.AutoRecoveryRunning = true;
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(prompts.shown().empty());
}

// A failing card answers the open after minutes: meanwhile the window lives, and a stop
// ends the scan, cancelled, once the open has returned.
TEST_F(MainFormTest, WhileADriveOpensSlowlyTheWindowLivesAndAStopEndsTheScanCancelled) {
    EngineScript script;
    script.drives = {ScriptedVolume(2, 'C', 1, kOtherDevice)};
    script.holdDriveInitialize = true;
    engine = std::make_unique<ScriptedEngine>(std::move(script));
    startUnits();
    createForm();
    walkTo(TMainForm::kAutopilotPage);
    form->show();
    const auto logged = [this](const char* line) {
        return child<QPlainTextEdit>("ScanFileSystemMemoLog")->toPlainText().contains(QLatin1String(line));
    };
    const QLabel* status = child<QLabel>("ScanFileSystemLabelStatus");
    QTimer whileOpening;  // its time comes only if events are handled during the open
    QObject::connect(&whileOpening, &QTimer::timeout, [&] {
        if (engine->calls("DriveInitialize") == 0) return;
        whileOpening.stop();
        EXPECT_TRUE(button("ScanFileSystemButtonStop")->isEnabled());
        clickBack();
        prompts.expect(QStringLiteral("Are you sure you want to exit application?"), kPromptNo);
        QTest::keyClick(form.get(), Qt::Key_Escape);
        prompts.expect(QStringLiteral("Are you sure you want to stop scan?"), kPromptYes);
        button("ScanFileSystemButtonStop")->click();
        EXPECT_TRUE(waitUntil([&] { return logged("Stopping: waiting for drive C to answer..."); }));
        // Asked once: the page says so until the scan has ended, also when progress sets it up again.
        const auto stopping = [&] {
            return !button("ScanFileSystemButtonStop")->isEnabled() && status->text() == QStringLiteral("Stopping...");
        };
        EXPECT_TRUE(stopping());
        form->CheckState();
        EXPECT_TRUE(stopping());
        engine->release();
    });
    whileOpening.start(5);
    clickNext();
    EXPECT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(form->ActivePage(), TMainForm::kScanFileSystemPage) << "Back refused during the open";
    EXPECT_EQ(engine->calls("FileGetNext"), 0);
    EXPECT_TRUE(logged("Search cancelled"));
    EXPECT_EQ(status->text(), QStringLiteral("Idle"));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MainFormNavigationTest, KeysAndLinksReachTheirServices) {
    showActive();
    QTest::keyClick(form.get(), Qt::Key_F1);
    button("BottomButtonHelp")->click();
    ASSERT_TRUE(waitUntil([&] { return help.topics.size() == 2; }));
    EXPECT_EQ(help.topics, QStringList(2, TMainForm::kHelpTopic));

    for (const char* link : {"BottomLabelWebSite", "WelcomeSupportURLLabel", "WelcomeHomepageURLLabel"}) {
        QTest::mouseClick(child<QWidget>(link), Qt::LeftButton);
    }
    const std::vector<ShellRequest> expected = {
        {ShellRequest::Kind::Address, QStringLiteral("https://www.example.org/")},
        {ShellRequest::Kind::Address, QStringLiteral("https://www.example.org/support/")},
        {ShellRequest::Kind::Address, QStringLiteral("https://www.example.org/pramblex/")},
    };
    EXPECT_EQ(shell.requests, expected);

    prompts.expect(QStringLiteral("Are you sure you want to exit application?"), kPromptNo);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible()) << "No keeps the window";
}

TEST_F(MainFormNavigationTest, FinishButtonsOpenTheTargetAndTheFeedbackPage) {
    walkTo(TMainForm::kFinishPage);
    form->FileSystem.RecoveredFiles = {1, 2, 3};
    form->CheckState();
    ASSERT_TRUE(button("FinishExploreButton")->isEnabled());
    button("FinishExploreButton")->click();
    button("FinishFeedbackButton")->click();
    const std::vector<ShellRequest> expected = {
        {ShellRequest::Kind::Folder, Settings().RecoveryTargetFolder},
        {ShellRequest::Kind::Address, QStringLiteral("https://www.example.org/feedback/")},
    };
    EXPECT_EQ(shell.requests, expected);
    EXPECT_EQ(child<QLabel>("FinishRecoveredFilesLabel")->text(), QStringLiteral("3"));

    // Closing on the last page asks nothing.
    EXPECT_TRUE(form->close());
}

TEST_F(MainFormNavigationTest, BrowseFillsTheTargetFolderOnlyWhenConfirmed) {
    walkTo(TMainForm::kAutopilotPage);
    const QString before = child<QLineEdit>("AutopilotFolderEdit")->text();
    answerNextModalDialog([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    button("AutopilotFolderBrowse")->click();
    EXPECT_EQ(child<QLineEdit>("AutopilotFolderEdit")->text(), before);

    const QString chosen = QString::fromStdString(workFolder().string());
    answerNextModalDialog([&](QWidget* dialog) {
        auto* tree = dialog->findChild<QTreeView*>(QStringLiteral("FolderTree"));
        tree->setCurrentIndex(static_cast<FolderTreeModel*>(tree->model())->IndexOf(chosen));
        dialog->findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    });
    button("AutopilotFolderBrowse")->click();
    EXPECT_EQ(child<QLineEdit>("AutopilotFolderEdit")->text(), chosen);
    EXPECT_EQ(Settings().RecoveryTargetFolder, chosen + u'/');

    answerNextModalDialog(ChooseComputerItem);
    button("AutopilotFolderBrowse")->click();
    EXPECT_EQ(child<QLineEdit>("AutopilotFolderEdit")->text(), chosen) << "the top item has no folder";
}

TEST_F(MainFormNavigationTest, TheAutopilotGoesOnOnlyWithAFullTargetPath) {
    walkTo(TMainForm::kAutopilotPage);
    auto* edit = child<QLineEdit>("AutopilotFolderEdit");
    child<QCheckBox>("AutopilotCheckBox")->setChecked(true);
    answerNextModalDialog(ChooseRootFolderItem);
    button("AutopilotFolderBrowse")->click();
    ASSERT_EQ(edit->text(), QStringLiteral("/"));
    const std::pair<QString, QString> refused[] = {{QStringLiteral("/"), SystemFolderRefusal(QStringLiteral("/"))},
                                                   {QString(), kTargetFolderRefusal},
                                                   {QStringLiteral("Recovered Files"), kTargetFolderRefusal}};
    for (const auto& [text, refusal] : refused) {
        edit->setText(text);
        button("BottomButtonNext")->setFocus();
        prompts.expect(refusal, kPromptOk);
        clickNext();
        EXPECT_EQ(form->ActivePage(), TMainForm::kAutopilotPage) << text.toStdString();
        EXPECT_EQ(form->focusWidget(), edit) << text.toStdString();
    }
    EXPECT_EQ(Settings().RecoveryTargetFolder, QStringLiteral("Recovered Files/"));
    edit->clear();
    EXPECT_EQ(Settings().RecoveryTargetFolder, QString()) << "never \"/\"";

    // Without the auto-pilot the folder only fills the destination dialog, which asks then.
    child<QCheckBox>("AutopilotCheckBox")->setChecked(false);
    clickNext();
    EXPECT_EQ(form->ActivePage(), TMainForm::kScanFileSystemPage);
}

}  // namespace
