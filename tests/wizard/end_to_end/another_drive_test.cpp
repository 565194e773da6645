// "Recover Another Drive" on the finish page: a different drive starts afresh, the same
// drive keeps what was found and done. A drive that goes, or is swapped for another at
// the same place, never lends its place, its name or its found files to another.

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <chrono>
#include <functional>

#include "platform/handles.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/end_to_end/end_to_end_fixture.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/forms/recovery/recovering_files_form.h"
#include "wizard/settings/settings_values.h"
#include "wizard/support/dialog_controls.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/modal_dialog_watch.h"
#include "wizard/support/wait_until.h"

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
    // From the drive page through a file-system scan of every file of `letter` to its
    // preview page.
    void scanDrive(char letter) {
        walkToAutopilot(letter, QStringLiteral("*.*"), true);
        setAutopilot(false, false);
        walkTo(TMainForm::kPreviewFileSystemPage);
    }
    void backToTheDrivePage() {
        while (form->ActivePage() > TMainForm::kDriveSelectPage) clickBack();
    }
    // The engine lists its drives again without the window knowing: every index after a
    // drive that went names another drive.
    static void RescanBehindTheWindow() {
        const HANDLE rescan = ::engine().DrivesRescan(0);
        ASSERT_NE(rescan, nullptr);
        ASSERT_EQ(WaitForSingleObject(rescan, INFINITE), WAIT_OBJECT_0);
        CloseHandle(rescan);
    }
    // Runs `action`, failing the test for any modal dialog it opens (and closing it).
    static void WithoutADialog(const std::function<void()>& action) {
        bool watched = false;
        watchForModalDialog(
            [&](QWidget* dialog) {
                ADD_FAILURE() << dialog->objectName().toStdString() << " opened";
                dialog->close();
                watched = true;
            },
            std::chrono::milliseconds(0), [&] { watched = true; });
        action();
        ASSERT_TRUE(waitUntil([&] { return watched; }));
    }
    QString movedText() const {
        return QStringLiteral("Drive %1 is no longer where it was chosen, as the drive list has changed; "
                              "nothing is read from it. Please rescan the drive list (F5) and select the "
                              "drive again.")
            .arg(QString::fromStdString(form->SelectedDrive->DisplayName()));
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

// The first of two images goes while the wizard is past the drive page: its index now
// names the second image's volume, which must not be scanned under the first one's name.
TEST_F(AnotherDriveTest, AChosenDriveThatGoesSendsTheWizardBackToTheDrivePage) {
    start({"fat/fat12.img.gz", "fat/fat16.img.gz"});
    walkTo(TMainForm::kDriveSelectPage);
    chooseDrive('C');
    walkTo(TMainForm::kModePage);
    child<QCheckBox>("AutopilotCheckBox")->setChecked(true);
    Settings().RecoveryAutoPilot = true;
    const QString name = QString::fromStdString(form->SelectedDrive->DisplayName());

    ASSERT_TRUE(fs::remove(workFolder() / "fat12.img"));
    prompts.expect(QStringLiteral("Drive %1 is no longer in the drive list. Please select a drive again.").arg(name),
                   kPromptOk);
    form->DeviceArrivalTimerTimer();  // a device went
    EXPECT_EQ(form->ActivePage(), TMainForm::kDriveSelectPage);
    EXPECT_EQ(form->SelectedDrive, nullptr);
    EXPECT_FALSE(button("BottomButtonNext")->isEnabled());
    EXPECT_FALSE(Settings().RecoveryAutoPilot);
    EXPECT_FALSE(child<QCheckBox>("AutopilotCheckBox")->isChecked());

    scanDrive('D');
    const std::map<std::string, std::string> fat16 = FatFixtureContents("fat/fat16.expected", false);
    EXPECT_EQ(form->FileSystemList->Count(), fat16.size());
    EXPECT_TRUE(child<QPlainTextEdit>("ScanFileSystemMemoLog")
                    ->toPlainText()
                    .startsWith(QStringLiteral("Search on drive D: started.")));
}

// The chosen drive goes while a recovery run asks for its destination: the run reads the
// drive it was started on, and the drive page comes once the run's window has closed.
TEST_F(AnotherDriveTest, AChosenDriveThatGoesDuringARecoveryRunWaitsForTheRunsEnd) {
    start({"fat/fat12.img.gz", "fat/fat16.img.gz"});
    scanDrive('C');
    const QString name = QString::fromStdString(form->SelectedDrive->DisplayName());
    Settings().RecoveryKeepFolderStructure = true;
    form->PreviewFileSystemPage->SelectAll();
    answerNextModalDialog([&](QWidget* destination) {
        ASSERT_TRUE(fs::remove(workFolder() / "fat12.img"));
        form->DeviceArrivalTimerTimer();  // a device went
        PressButton(destination, "ButtonOk");
    });
    button("PreviewFileSystemRecoverButton")->click();
    EXPECT_TRUE(TargetHolds(FatFixtureContents("fat/fat12.expected", false)));
    auto* progress = form->findChild<TRecoveringFilesForm*>();
    ASSERT_TRUE(progress && progress->isVisible());
    form->DeviceArrivalTimerTimer();  // the run has ended, its window is still open
    EXPECT_EQ(form->ActivePage(), TMainForm::kPreviewFileSystemPage) << "nothing moves behind the run's window";
    EXPECT_TRUE(prompts.shown().empty());

    prompts.expect(QStringLiteral("Drive %1 is no longer in the drive list. Please select a drive again.").arg(name),
                   kPromptOk);
    PressButton(progress, "OkButton");
    EXPECT_TRUE(waitUntil([&] { return form->ActivePage() == TMainForm::kDriveSelectPage; }));
    EXPECT_EQ(form->SelectedDrive, nullptr);
}

// Were the engine's list to change without the window knowing, the old index is refused
// by every action that would hand it to the engine or read the drive it opened.
TEST_F(AnotherDriveTest, AnIndexThatNowNamesAnotherDriveIsNeverUsed) {
    start({"fat/fat12.img.gz", "fat/fat16.img.gz"});
    scanDrive('C');
    ASSERT_GT(form->FileSystemList->Count(), 0u);
    ASSERT_TRUE(fs::remove(workFolder() / "fat12.img"));
    RescanBehindTheWindow();

    form->PreviewFileSystemPage->SelectAll();
    prompts.expect(movedText(), kPromptOk);
    WithoutADialog([&] { button("PreviewFileSystemRecoverButton")->click(); });
    EXPECT_EQ(form->FileSystem.Recovered(), 0);
    EXPECT_FALSE(fs::exists(target()));

    prompts.expect(movedText(), kPromptOk);
    WithoutADialog([&] { form->DriveSelectPopupMiPropertiesClick(); });

    clickBack();
    ASSERT_EQ(form->ActivePage(), TMainForm::kScanFileSystemPage);
    button("ScanFileSystemButtonStart")->click();
    EXPECT_EQ(form->FileSystemList->Count(), 0u) << "nothing of the drive now at that index";
    const QString log = child<QPlainTextEdit>("ScanFileSystemMemoLog")->toPlainText();
    EXPECT_TRUE(log.contains(QStringLiteral("ERROR: ") + movedText())) << log.toStdString();
}

// A card swapped for another of the same size in the same slot: here an image replaced by
// a copy at the same path, which keeps its letter, size and serial number.
TEST_F(AnotherDriveTest, ADriveSwappedAtTheSamePlaceKeepsNoneOfTheFirstOnesFiles) {
    start({"fat/fat12.img.gz"});
    scanDrive('C');
    ASSERT_GT(form->FileSystemList->Count(), 0u);
    const fs::path image = workFolder() / "fat12.img";
    fs::copy_file(image, workFolder() / "swapped.img");
    fs::rename(workFolder() / "swapped.img", image);

    backToTheDrivePage();
    child<QAction>("DriveSelectPopupMiRescan")->trigger();
    chooseDrive('C');
    EXPECT_EQ(form->FileSystemList->Count(), 0u);
    EXPECT_FALSE(form->FileSystem.ScanDone);
}

}  // namespace
