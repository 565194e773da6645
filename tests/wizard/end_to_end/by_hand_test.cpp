// A user walking the wizard by hand over a FAT32 image: both scans, both previews, both
// recoveries into one folder, the finish page's counts.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <set>

#include "wizard/end_to_end/end_to_end_fixture.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/forms/recovery/recovering_files_form.h"
#include "wizard/settings/settings_values.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/target_folder_answers.h"

namespace fs = std::filesystem;

namespace {

using ByHandTest = EndToEndTest;

std::set<std::string> EntriesOf(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

TEST_F(ByHandTest, Fat32EntireDriveComesBackUnderItsFoldersAndTheFinishCountsAgree) {
    start({"fat/fat32.img.gz"});
    walkToAutopilot('C', QStringLiteral("*.*"), true);
    setAutopilot(false, true);

    walkTo(TMainForm::kScanFileSystemPage);
    EXPECT_TRUE(form->FileSystem.ScanDone);
    EXPECT_TRUE(button("BottomButtonNext")->isEnabled());
    const QString fileSystemLog = child<QPlainTextEdit>("ScanFileSystemMemoLog")->toPlainText();
    EXPECT_FALSE(fileSystemLog.contains(QStringLiteral("fatal"))) << fileSystemLog.toStdString();

    walkTo(TMainForm::kPreviewFileSystemPage);
    const std::map<std::string, std::string> listed = FatFixtureContents("fat/fat32.expected", false);
    EXPECT_EQ(form->FileSystemList->Count(), listed.size()) << "every file, no folder";
    recoverAll(true);
    EXPECT_EQ(form->FileSystem.Recovered(), static_cast<int>(listed.size()));
    EXPECT_TRUE(TargetHolds(listed));

    walkTo(TMainForm::kScanDriveSectorsPage);
    EXPECT_TRUE(form->DriveSectors.ScanDone);
    const QString sectorLog = child<QPlainTextEdit>("ScanDriveSectorsMemoLog")->toPlainText();
    EXPECT_FALSE(sectorLog.contains(QStringLiteral("fatal"))) << sectorLog.toStdString();
    walkTo(TMainForm::kPreviewDriveSectorsPage);
    const std::size_t carved = form->DriveSectorsList->Count();
    if (carved > 0) recoverAll(false);

    walkTo(TMainForm::kFinishPage);
    EXPECT_EQ(child<QLabel>("FinishFoundFilesLabel")->text().toULongLong(), listed.size() + carved);
    EXPECT_EQ(child<QLabel>("FinishRecoveredFilesLabel")->text().toULongLong(), FilesBelow(target()).size());
}

// The destination dialog before a real recovery: a browser that returns no folder changes
// nothing, a relative path is refused, and the files land in the folder chosen and
// nowhere else, with the progress window centred on the main window.
TEST_F(ByHandTest, FilesAreWrittenOnlyIntoTheFullPathTheUserChose) {
    start({"fat/fat12.img.gz"});
    walkToAutopilot('C', QStringLiteral("*.*"), true);
    setAutopilot(false, false);
    walkTo(TMainForm::kPreviewFileSystemPage);
    form->move(0, 0);
    const std::set<std::string> rootBefore = EntriesOf("/");
    const std::map<std::string, std::string> workBefore = FilesBelow(workFolder());
    const QString folder = QString::fromStdString(target().string());

    form->PreviewFileSystemPage->SelectAll();
    answerNextModalDialog([&](QWidget* dialog) {
        auto* edit = FindControl<QLineEdit>(dialog, "DestinationFolderEdit");
        answerNextModalDialog(ChooseComputerItem);
        PressButton(dialog, "DestinationFolderBrowse");
        EXPECT_EQ(edit->text(), folder + u'/');
        edit->setText(QStringLiteral("relative/folder"));
        prompts.expect(kTargetFolderRefusal, kPromptOk);
        PressButton(dialog, "ButtonOk");
        // Answered further only while open: a run must never start on a folder taken wrongly.
        if (!dialog->isVisible()) return;
        edit->setText(folder);
        FindControl<QCheckBox>(dialog, "CheckBoxKeepFolderStructure")->setChecked(true);
        PressButton(dialog, "ButtonOk");
    });
    button("PreviewFileSystemRecoverButton")->click();

    EXPECT_TRUE(TargetHolds(FatFixtureContents("fat/fat12.expected", false)));
    std::map<std::string, std::string> workAfter = FilesBelow(workFolder());
    std::erase_if(workAfter, [](const auto& file) { return file.first.starts_with("target/"); });
    EXPECT_EQ(workAfter, workBefore);
    EXPECT_EQ(EntriesOf("/"), rootBefore);

    const auto* progress = form->findChild<TRecoveringFilesForm*>();
    ASSERT_NE(progress, nullptr) << "the progress window belongs to the main window";
    EXPECT_LE((progress->frameGeometry().center() - form->frameGeometry().center()).manhattanLength(), 2);
}

}  // namespace
