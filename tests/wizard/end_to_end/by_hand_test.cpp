// A user walking the wizard by hand over a FAT32 image: both scans, both previews, both
// recoveries into one folder, the finish page's counts.

#include <QLabel>
#include <QPlainTextEdit>

#include "wizard/end_to_end/end_to_end_fixture.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/settings/settings_values.h"

namespace {

using ByHandTest = EndToEndTest;

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

}  // namespace
