// "Recover Another Drive" on the finish page: a different drive starts afresh, the same
// drive keeps what was found and done.

#include <QLineEdit>

#include "wizard/end_to_end/end_to_end_fixture.h"

namespace fs = std::filesystem;

namespace {

class AnotherDriveTest : public EndToEndTest {
protected:
    // From the drive page by auto-pilot to the finish page, into `folder`.
    void recoverDriveInto(char letter, const fs::path& folder) {
        chooseDrive(letter);
        walkTo(TMainForm::kAutopilotPage);
        setAutopilot(true, true);
        child<QLineEdit>("AutopilotFolderEdit")->setText(QString::fromStdString(folder.string()));
        clickNext();
        ASSERT_EQ(form->ActivePage(), TMainForm::kFinishPage);
    }
    void recoverAnotherDrive() {
        button("FinishNewButton")->click();
        ASSERT_EQ(form->ActivePage(), TMainForm::kDriveSelectPage);
    }
};

TEST_F(AnotherDriveTest, ADifferentDriveStartsAfreshAndTheSameOneKeepsItsWork) {
    start({"fat/fat32.img.gz", "ntfs/ntfs-basic.img.gz"});
    walkTo(TMainForm::kTypesPage);
    useNameFilter(QStringLiteral("*.txt"));
    clickBack();
    recoverDriveInto('C', workFolder() / "first");
    const std::size_t firstFound = form->FileSystemList->Count();
    const int firstRecovered = form->FileSystem.Recovered();
    ASSERT_GT(firstRecovered, 0);

    recoverAnotherDrive();
    chooseDrive('D');
    EXPECT_EQ(form->FileSystemList->Count(), 0u) << "another drive: the lists start empty";
    EXPECT_FALSE(form->FileSystem.ScanDone || form->DriveSectors.ScanDone);
    EXPECT_EQ(form->FileSystem.Recovered(), 0);
    recoverDriveInto('D', workFolder() / "second");
    EXPECT_TRUE(fs::exists(workFolder() / "second" / "olddir" / "child.txt"));
    const std::size_t secondFound = form->FileSystemList->Count();
    EXPECT_NE(secondFound, firstFound);

    recoverAnotherDrive();
    chooseDrive('D');
    EXPECT_EQ(form->FileSystemList->Count(), secondFound) << "the same drive keeps its lists";
    walkTo(TMainForm::kFinishPage);
    EXPECT_EQ(form->FileSystemList->Count(), secondFound) << "and is not scanned again";

    recoverAnotherDrive();
    chooseDrive('C');
    EXPECT_EQ(form->FileSystemList->Count(), 0u);
    recoverDriveInto('C', workFolder() / "third");
    EXPECT_EQ(form->FileSystemList->Count(), firstFound);
    EXPECT_TRUE(FolderHolds(workFolder() / "third", FilesBelow(workFolder() / "first")));
}

}  // namespace
