#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cstring>

#include <sys/stat.h>

#include "wizard/bridge/device_monitor.h"
#include "wizard/forms/main/main_form_fixture.h"
#include "wizard/settings/settings_values.h"
#include "wizard/support/wait_until.h"

namespace {

class MainFormDrivesTest : public MainFormTest {
protected:
    void start(std::vector<_LDRIVE> drives) {
        useScriptedDrives(std::move(drives));
        startUnits();
        createForm();
        clickNext();
        ASSERT_EQ(form->ActivePage(), TMainForm::kDriveSelectPage);
    }

    // What a scan of the chosen drive would have left.
    void pretendScanned() {
        addFoundFile(*form->FileSystemList);
        form->FileSystem.ScanDone = true;
        form->DriveSectors.AutoRecoveryDone = true;
    }

    void rescan() { child<QAction>("DriveSelectPopupMiRescan")->trigger(); }

    QPoint emptyArea() const {
        return QPoint(10, driveList()->viewport()->height() - 5);
    }
};

// Emptied lists and scans: the end-to-end "Recover Another Drive" test.
TEST_F(MainFormDrivesTest, ChoosingAnotherDriveResetsWhatWasFound) {
    start({ScriptedVolume(2, 'C', 1), ScriptedVolume(3, 'D', 2)});
    EXPECT_EQ(driveCaptions(), (QStringList{"C", "D"}));
    selectDrive(0);
    EXPECT_EQ(child<QLabel>("ScanFileSystemLabelDrive")->text(), QStringLiteral("C:\\"));
    pretendScanned();
    driveList()->clearSelection();
    selectDrive(0);
    EXPECT_EQ(form->FileSystemList->Count(), 1u) << "the same drive again keeps its files";

    selectDrive(1);
    EXPECT_EQ(form->SelectedDrive->Letter(), 'D');
    EXPECT_FALSE(form->DriveSectors.AutoRecoveryDone);
    EXPECT_EQ(child<QLabel>("ScanDriveSectorsLabelDrive")->text(), QStringLiteral("D:\\"));
}

TEST_F(MainFormDrivesTest, TheEmptyPartOfTheListClearsTheSelection) {
    start({ScriptedVolume(2, 'C', 1)});
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    selectDrive(0);
    ASSERT_TRUE(button("BottomButtonNext")->isEnabled());
    QTest::mouseClick(driveList()->viewport(), Qt::LeftButton, {}, emptyArea());
    EXPECT_EQ(form->SelectedDrive, nullptr);
    EXPECT_FALSE(button("BottomButtonNext")->isEnabled());
    QTest::mouseClick(driveList()->viewport(), Qt::LeftButton, {}, emptyArea());
    QTest::mouseDClick(driveList()->viewport(), Qt::LeftButton, {}, emptyArea());
    EXPECT_EQ(form->ActivePage(), TMainForm::kDriveSelectPage);

    const QRect first = driveList()->visualItemRect(driveList()->topLevelItem(0));
    QTest::mouseClick(driveList()->viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseDClick(driveList()->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(form->ActivePage(), TMainForm::kTypesPage) << "a double click on a drive is Next";
}

TEST_F(MainFormDrivesTest, AReloadFindsTheChosenDriveAgainByItsIdentity) {
    start({ScriptedVolume(2, 'C', 1), ScriptedVolume(3, 'D', 2)});
    selectDrive(1);
    pretendScanned();
    const auto before = form->SelectedDrive;

    // A stick arrives: every index moves.
    engine->setDrives({ScriptedVolume(2, 'C', 1), ScriptedVolume(3, 'F', 9), ScriptedVolume(4, 'D', 2)});
    rescan();
    ASSERT_EQ(driveCaptions(), (QStringList{"C", "F", "D"}));
    ASSERT_NE(form->SelectedDrive, nullptr);
    EXPECT_NE(form->SelectedDrive, before) << "the fresh record";
    EXPECT_EQ(form->SelectedDrive->DriveNumber(), 4);
    EXPECT_EQ(driveList()->currentItem(), driveList()->topLevelItem(2));
    EXPECT_EQ(form->FileSystemList->Count(), 1u) << "nothing was reset";
    EXPECT_EQ(form->FileSystemList->operator[](0).Drive(), before) << "files keep their drive";

    // The drive goes while another page shows: the wizard goes back to the drive page.
    clickNext();
    engine->setDrives({ScriptedVolume(2, 'C', 1)});
    prompts.expect(QStringLiteral("Drive D:\\ is no longer in the drive list. Please select a drive again."),
                   kPromptOk);
    rescan();
    EXPECT_EQ(form->ActivePage(), TMainForm::kDriveSelectPage);
    EXPECT_EQ(form->SelectedDrive, nullptr);
    EXPECT_FALSE(button("BottomButtonNext")->isEnabled());
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown().back().icon, PromptIcon::Warning);
}

TEST_F(MainFormDrivesTest, ABurstOfDeviceEventsReloadsOnce) {
    start({ScriptedVolume(2, 'C', 1)});
    const int rescans = engine->calls("DrivesRescan");
    form->WMDeviceChange(kDeviceArrival);
    form->WMDeviceChange(kDeviceRemoveComplete);
    form->WMDeviceChange(kDeviceArrival);
    form->WMDeviceChange(0x0007);  // another kind of device event
    const auto reloads = [&] { return engine->calls("DrivesRescan") - rescans; };
    ASSERT_TRUE(waitUntil([&] { return reloads() > 0; }, std::chrono::minutes(1)));
    // A second reload would come within the delay (1.5 s): a slow machine may miss it here,
    // never invent one.
    EXPECT_FALSE(waitUntil([&] { return reloads() > 1; }, std::chrono::seconds(3)));
}

TEST_F(MainFormDrivesTest, AReloadAskedForDuringAScanRunsOnceItEnds) {
    start({ScriptedVolume(2, 'C', 1)});
    const int rescans = engine->calls("DrivesRescan");
    form->FileSystem.ScanRunning = true;
    rescan();
    rescan();
    QTest::qWait(20);
    EXPECT_EQ(engine->calls("DrivesRescan"), rescans);
    form->FileSystem.ScanRunning = false;
    form->CheckState();
    ASSERT_TRUE(waitUntil([&] { return engine->calls("DrivesRescan") == rescans + 1; }));
    QTest::qWait(20);
    EXPECT_EQ(engine->calls("DrivesRescan"), rescans + 1);
}

TEST_F(MainFormDrivesTest, TheDriveColumnShowsWholeLabelsAndEveryColumnFits) {
    std::vector<_LDRIVE> drives;
    for (const char* label : {"EOS_DIGITAL", "NIKON D3500", "Local Disk"}) {
        drives.push_back(ScriptedVolume(2 + static_cast<int>(drives.size()), static_cast<char>('C' + drives.size()),
                                        drives.size() + 1));
        std::memcpy(drives.back().Label, label, std::strlen(label));
    }
    start(std::move(drives));
    EXPECT_EQ(driveCaptions().first(), QStringLiteral("C (EOS_DIGITAL)"));
    const QAbstractItemView* list = driveList();  // where the width its contents need is public
    EXPECT_GE(driveList()->columnWidth(0), list->sizeHintForColumn(0));
    showActive();  // laid out at its first size
    int columns = 0;
    for (int column = 0; column < driveList()->header()->count(); ++column) columns += driveList()->columnWidth(column);
    EXPECT_LE(columns, driveList()->viewport()->width()) << "the last column would be cut";
}

TEST_F(MainFormDrivesTest, ATargetOnTheSourceDriveIsRefused) {
    struct stat status {};
    ASSERT_EQ(::stat(workFolder().c_str(), &status), 0);
    _LDRIVE image = ScriptedVolume(3, 'D', 2, status.st_dev);
    image.SourceInode = 1;  // an image file on that file system
    start({ScriptedVolume(2, 'C', 1, status.st_dev), image});
    const QString target = QString::fromStdString((workFolder() / "recovered").string());
    const QString refusal = QStringLiteral(
        "The destination folder is on the same drive with the source. You should change the "
        "destination location for recovered files.");

    walkTo(TMainForm::kAutopilotPage);
    child<QLineEdit>("AutopilotFolderEdit")->setText(target);
    prompts.expect(refusal, kPromptOk);
    clickNext();
    EXPECT_EQ(form->ActivePage(), TMainForm::kAutopilotPage);
    EXPECT_EQ(prompts.shown().back().icon, PromptIcon::Warning);

    // From an image file on the same file system any folder will do.
    for (int page = TMainForm::kAutopilotPage; page > TMainForm::kDriveSelectPage; --page) clickBack();
    selectDrive(1);
    walkTo(TMainForm::kScanFileSystemPage);
}

}  // namespace
