// The file-system scan over the FAT fixtures on the real engine, and over the engine's
// stand-in for what no fixture holds.

#include <QProgressBar>

#include <algorithm>
#include <fstream>
#include <set>
#include <stdexcept>

#include "wizard/scans/real_engine_scan_fixture.h"
#include "wizard/scans/scan_progress.h"
#include "wizard/support/scripted_engine.h"

namespace {

using FileSystemScanTest = RealEngineScanFixture;

TEST_F(FileSystemScanTest, ListsDeletedFilesThenLiveOnesTooButNeverFolders) {
    useFixtureDisks({"fat/fat12.img.gz"});
    UseDrive('C');
    Settings().RecoveryFilesNameUse = true;  // "*.*"
    Settings().RecoverySearchExisting = false;
    controller->ScanFileSystemButtonStartClick();

    const std::set<std::string> deleted{"_ELETED.TXT", "_.TXT", "old notes.txt", "deleted long name.txt"};
    EXPECT_EQ(NameSet(host.fileSystemList), deleted);
    std::vector<std::int64_t> serials;
    for (std::size_t i = 0; i < host.fileSystemList.Count(); ++i) {
        serials.push_back(host.fileSystemList[i].Serial());
        EXPECT_EQ(host.fileSystemList[i].Drive(), host.drive);
    }
    std::sort(serials.begin(), serials.end());
    EXPECT_GE(serials.front(), 1);
    EXPECT_GT(serials.back() - serials.front(), static_cast<std::int64_t>(serials.size()) - 1)
        << "serials count the skipped entries too";

    const QStringList lines = LogLines(*fileSystemPage);
    EXPECT_EQ(lines.mid(0, 2), (QStringList{QStringLiteral("Search on drive C: started."),
                                            QStringLiteral("Searching only erased/deleted files.")}));
    EXPECT_EQ(Count(lines, QStringLiteral("File found: old notes.txt")), 1);
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{QStringLiteral("Search finished"), QString()}));
    EXPECT_TRUE(host.fileSystem.ScanDone);
    EXPECT_FALSE(host.fileSystem.ScanRunning);
    EXPECT_EQ(host.advances, 0);
    EXPECT_EQ(host.fileExistsAnswer, kPromptNo);
    EXPECT_GE(host.thumbnailStops, 2);
    // The call that returned nothing is no record: the counters meet at the end.
    EXPECT_GE(fileSystemPage->LabelCurRecord->text().toInt(), serials.back());
    EXPECT_EQ(fileSystemPage->LabelCurRecord->text(), fileSystemPage->LabelTotalRecords->text());
    EXPECT_EQ(fileSystemPage->LabelFilesFound->text(), QStringLiteral("4"));
    EXPECT_EQ(fileSystemPage->ProgressBar->value(), kProgressRange);
    EXPECT_TRUE(fileSystemPage->ButtonStart->isEnabled());
    EXPECT_FALSE(fileSystemPage->ButtonStop->isEnabled());

    Settings().RecoverySearchExisting = true;
    Settings().RecoveryAutoPilot = true;
    controller->ScanFileSystemButtonStartClick();
    std::set<std::string> all = deleted;
    all.insert({"F1.BIN", "F3.BIN", "FRAG.BIN", "MAKEFILE", "README.TXT", "REPORT.DOC",
                "notes about recovery.txt", "photo_001.jpg"});
    EXPECT_EQ(NameSet(host.fileSystemList), all) << "no folder, the list cleared first";
    EXPECT_EQ(host.advances, 1) << "the auto-pilot moves on";
}

// The filters' cases are their own test's; here, that the scan applies them.
TEST_F(FileSystemScanTest, NameMasksAddToTheSearchedTypes) {
    useFixtureDisks({"fat/fat12.img.gz"});
    UseDrive('C');
    Settings().RecoverySearchExisting = true;
    SearchOnly({"JPEG"});
    controller->ScanFileSystemButtonStartClick();
    EXPECT_EQ(NameSet(host.fileSystemList), (std::set<std::string>{"photo_001.jpg"}));

    Settings().RecoveryFilesNameUse = true;
    Settings().RecoveryFilesName = QStringLiteral("report*.doc; *.txt; make*");
    controller->ScanFileSystemButtonStartClick();
    const std::set<std::string> named{"photo_001.jpg", "REPORT.DOC", "README.TXT", "MAKEFILE",
                                      "_ELETED.TXT", "_.TXT", "old notes.txt",
                                      "deleted long name.txt", "notes about recovery.txt"};
    EXPECT_EQ(NameSet(host.fileSystemList), named);
}

TEST_F(FileSystemScanTest, StopEndsTheEnumerationAfterTheCurrentEntryAndTheAutoPilot) {
    useFixtureDisks({"fat/fat16.img.gz"});
    UseDrive('C');
    Settings().RecoveryFilesNameUse = true;
    Settings().RecoveryAutoPilot = true;
    ExpectStopQuestion(kPromptYes);
    ClickWhenRunning(fileSystemPage->ButtonStop);
    controller->ScanFileSystemButtonStartClick();

    EXPECT_TRUE(host.fileSystem.StopRequested);
    EXPECT_FALSE(Settings().RecoveryAutoPilot);
    EXPECT_EQ(host.advances, 0);
    EXPECT_LE(host.fileSystemList.Count(), 1u);
    EXPECT_EQ(fileSystemPage->LabelCurRecord->text(), QStringLiteral("1"));
    const QStringList lines = LogLines(*fileSystemPage);
    EXPECT_EQ(Count(lines, QStringLiteral("Search cancelled")), 1);
    EXPECT_EQ(Count(lines, QStringLiteral("Search finished")), 0);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].caption, QStringLiteral("Confirmation"));
    EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::YesNo);

    // Answered No, the scan goes on; without the confirmation, Stop acts at once.
    Settings().RecoveryAutoPilot = true;
    ExpectStopQuestion(kPromptNo);
    ClickWhenRunning(fileSystemPage->ButtonStop);
    controller->ScanFileSystemButtonStartClick();
    EXPECT_FALSE(host.fileSystem.StopRequested);
    EXPECT_EQ(host.advances, 1);
    EXPECT_GT(host.fileSystemList.Count(), 70u);

    Settings().ConfirmationsScanAbort = false;
    ClickWhenRunning(fileSystemPage->ButtonStop);
    controller->ScanFileSystemButtonStartClick();
    EXPECT_TRUE(host.fileSystem.StopRequested);
    EXPECT_EQ(prompts.shown().size(), 2u);
}

TEST_F(FileSystemScanTest, AnImageGoneAfterTheRescanEndsBothScansWithTheirFatalLines) {
    useFixtureDisks({"fat/fat12.img.gz"});
    UseDrive('C');
    ASSERT_TRUE(std::filesystem::remove(workFolder() / "fat12.img"));
    Settings().RecoveryAutoPilot = true;
    controller->ScanFileSystemButtonStartClick();
    controller->ScanDriveSectorsButtonStartClick();

    for (TScanPageBase* page : {static_cast<TScanPageBase*>(fileSystemPage.get()),
                            static_cast<TScanPageBase*>(sectorsPage.get())}) {
        const QStringList lines = LogLines(*page);
        EXPECT_EQ(lines.filter(QStringLiteral("ERROR: ")).size(), 1) << lines.join(u'|').toStdString();
        EXPECT_TRUE(lines.contains(page == fileSystemPage.get()
                                       ? QStringLiteral("Search encountered fatal error")
                                       : QStringLiteral("Cluster search encountered fatal error")));
        EXPECT_FALSE(lines.contains(QStringLiteral("Search finished")));
        EXPECT_FALSE(lines.contains(QStringLiteral("Cluster search finished")));
        EXPECT_FALSE(lines.contains(QStringLiteral("Sorting first file list for faster access...")));
    }
    EXPECT_TRUE(host.fileSystem.ScanDone);
    EXPECT_TRUE(host.driveSectors.ScanDone);
    EXPECT_EQ(host.advances, 0);
}

// Decided by what the engine lists, whatever the partition's type: a wiped boot sector, a
// fresh volume holding only its label or its metafiles.
TEST_F(FileSystemScanTest, AVolumeListingNoFileOfItsOwnPointsToTheSectorScan) {
    struct Case { const char* image; std::streamoff wipedSector; char letter; int pointers; };
    for (const Case& test : {Case{"disks/mbr_fat_ntfs.img.gz", 2048, 'C', 1},  // a FAT16 partition
                             Case{"disks/mbr_fat_ntfs.img.gz", 0, 'D', 1},     // NTFS
                             Case{"disks/bare_fat.img.gz", 0, 'C', 1}, Case{"fat/fat12.img.gz", 0, 'C', 0}}) {
        useFixtureDisks({test.image});
        if (test.wipedSector != 0) {
            std::fstream image(workFolder() / std::filesystem::path(test.image).stem(), std::ios::in | std::ios::out);
            image.seekp(test.wipedSector * 512).write(std::string(512, '\0').data(), 512);
        }
        UseDrive(test.letter);
        controller->ScanFileSystemButtonStartClick();
        EXPECT_EQ(LogLines(*fileSystemPage).filter(QStringLiteral("No file entries on drive")).size(), test.pointers)
            << test.image << ' ' << test.letter;
        fileSystemPage->MemoLog->clear();
    }
}

// The engine's stand-in: what no fixture image holds.
class ScriptedFileSystemScanTest : public ScanFixture {
protected:
    void SetUp() override {
        ScanFixture::SetUp();
        host.drive = std::make_shared<TRecoveryDrive>(scriptedDrive(3, 'E', kDriveVolume));
    }

    static ScriptedFile Deleted(const char16_t* name, std::uint64_t size = 10) {
        ScriptedFile file;
        file.record.Flags = kFileDeleted;
        file.record.Size = size;
        file.name = name;
        return file;
    }
};

TEST_F(ScriptedFileSystemScanTest, NamesFromTheDiskAreLoggedAsTheyStand) {
    EngineScript script = DriveScript();
    script.files = {Deleted(u"%s%n.txt"), Deleted(u"<b>bold</b>.txt")};
    const ScriptedEngine engine(std::move(script));
    Settings().RecoveryFilesNameUse = true;
    controller->ScanFileSystemButtonStartClick();
    const QStringList lines = LogLines(*fileSystemPage);
    EXPECT_EQ(Count(lines, QStringLiteral("File found: %s%n.txt")), 1);
    EXPECT_EQ(Count(lines, QStringLiteral("File found: <b>bold</b>.txt")), 1);
    EXPECT_EQ(engine.settings(), &RunEngineSettings());
    EXPECT_EQ(engine.settings()->DiskNumber, 3);
    EXPECT_EQ(engine.settings()->NotifyWindow, window.handle());
}

TEST_F(ScriptedFileSystemScanTest, ANothingOpenedWithoutErrorTextEndsNormallyButNeverAdvances) {
    EngineScript script = DriveScript();
    script.driveInitializeResult = 0;
    script.files = {Deleted(u"a.txt"), Deleted(u"b.txt")};
    const ScriptedEngine engine(std::move(script));
    Settings().RecoveryFilesNameUse = true;
    Settings().RecoveryAutoPilot = true;
    controller->ScanFileSystemButtonStartClick();
    // More records than announced: at the end, the records handed out are the total.
    EXPECT_EQ(fileSystemPage->LabelCurRecord->text(), QStringLiteral("2"));
    EXPECT_EQ(fileSystemPage->LabelTotalRecords->text(), QStringLiteral("2"));
    EXPECT_EQ(fileSystemPage->ProgressBar->value(), kProgressRange);
    EXPECT_TRUE(LogLines(*fileSystemPage).contains(QStringLiteral("Search finished")));
    EXPECT_EQ(host.advances, 0);
}

TEST_F(ScriptedFileSystemScanTest, AFailureOpeningTheDriveIsReportedInABoxAfterTheScanEnds) {
    const ScriptedEngine engine(DriveScript());
    EngineApi raising = ::engine();
    raising.DriveInitialize = [](EngineSettings*) -> int { throw std::runtime_error("device gone"); };
    const ScopedEngineApi installed(raising);
    Settings().RecoveryAutoPilot = true;
    prompts.expect(QStringLiteral("Can't initialize disk!"), kPromptOk);
    controller->ScanFileSystemButtonStartClick();
    EXPECT_TRUE(LogLines(*fileSystemPage).contains(QStringLiteral("Search encountered fatal error")));
    EXPECT_TRUE(host.fileSystem.ScanDone);
    EXPECT_EQ(host.advances, 0);
    EXPECT_EQ(engine.calls("FileGetNext"), 0);
}

TEST_F(ScriptedFileSystemScanTest, AFailureInsideTheScanEndsItFatallyAndIsReported) {
    EngineScript script = DriveScript();
    script.files = {Deleted(u"a.txt")};
    const ScriptedEngine engine(std::move(script));
    int calls = 0;
    host.onCheckState = [&] {
        if (++calls == 2) throw std::runtime_error("checked state failed");
    };
    prompts.expect(QStringLiteral("checked state failed"), kPromptOk);
    controller->ScanFileSystemButtonStartClick();
    EXPECT_TRUE(LogLines(*fileSystemPage).contains(QStringLiteral("Search encountered fatal error")));
    EXPECT_FALSE(host.fileSystem.ScanRunning);
    EXPECT_TRUE(host.fileSystem.ScanDone);
    EXPECT_TRUE(fileSystemPage->ButtonStart->isEnabled());
    EXPECT_EQ(prompts.shown().back().caption, QStringLiteral("Error"));
}

}  // namespace
