// The sector scan on the real engine over the signature-search fixture, whole and with its
// boot sector zeroed (stopped on the real engine in the raw-drive test), and on the
// engine's stand-in.

#include <QProgressBar>

#include <filesystem>
#include <fstream>
#include <map>

#include "engine/messages.h"
#include "engine/support/test_images.h"
#include "wizard/scans/engine_params.h"
#include "wizard/scans/real_engine_scan_fixture.h"
#include "wizard/scans/scan_progress.h"
#include "wizard/support/scripted_engine.h"
#include "wizard/support/wait_until.h"

namespace {

const QString kSkipped = QStringLiteral("File found, but it is already in the first list. Skipped!");

class DriveSectorsScanTest : public RealEngineScanFixture {
protected:
    // The fixture as drive C, with its boot sector zeroed when `raw`.
    void UseHitsImage(bool raw, const std::string& moreDisks = {}) {
        std::vector<std::uint8_t> bytes = test_images::gunzip("search/fat12-hits.img.gz");
        ASSERT_GT(bytes.size(), 512u);
        if (raw) std::fill(bytes.begin(), bytes.begin() + 512, 0);
        const auto image = workFolder() / "hits.img";
        std::ofstream(image, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        const std::string disks = image.string() + (moreDisks.empty() ? "" : ":" + moreDisks);
        ::setenv("UNDELETE_DISKS", disks.c_str(), 1);
        UseDrive('C');
        ASSERT_TRUE(host.drive);
    }
    void TearDown() override {
        ::unsetenv("UNDELETE_DISKS");
        RealEngineScanFixture::TearDown();
    }
};

TEST_F(DriveSectorsScanTest, EveryHitAtAListedFileIsSkippedInBothModes) {
    UseHitsImage(false);
    Settings().RecoveryFilesNameUse = true;  // "*.*"
    SearchOnly({"JPEG", "PNG", "GIF", "BMP"});
    for (const bool wholeDrive : {false, true}) {
        Settings().RecoverySearchExisting = wholeDrive;
        controller->ScanFileSystemButtonStartClick();
        const std::size_t listed = host.fileSystemList.Count();
        EXPECT_EQ(listed, wholeDrive ? 8u : 4u) << "files only, not the volume's label HITS";
        controller->ScanDriveSectorsButtonStartClick();

        const QStringList lines = LogLines(*sectorsPage);
        // One after the other, the skips fold into one line.
        EXPECT_EQ(Count(lines, kSkipped + QStringLiteral(" (%1 times)").arg(listed)), 1) << wholeDrive;
        EXPECT_EQ(host.driveSectorsList.Count(), 0u);
        EXPECT_EQ(lines.filter(QStringLiteral("File found: ")).size(), 0);
        EXPECT_TRUE(lines.contains(wholeDrive ? QStringLiteral("Searching both free and occupied drive clusters.")
                                              : QStringLiteral("Searching only free drive clusters.")));
        EXPECT_EQ(lines.mid(lines.size() - 2),
                  (QStringList{QStringLiteral("Cluster search finished"), QString()}));
        EXPECT_TRUE(host.driveSectors.ScanDone);
        EXPECT_EQ(sectorsPage->LabelCurrentSector->text(), sectorsPage->LabelTotalSectors->text())
            << "the last progress shows";
        EXPECT_EQ(sectorsPage->LabelDrive->text().left(3), QStringLiteral("C:\\"));
        // Left in position order for the hit lookups.
        for (std::size_t i = 1; i < listed; ++i) {
            EXPECT_LT(+host.fileSystemList[i - 1].Record().DataPosition,
                      +host.fileSystemList[i].Record().DataPosition);
        }
        sectorsPage->MemoLog->clear();
    }
}

TEST_F(DriveSectorsScanTest, ARawDriveListsTheSearchedTypesAndSizesThemByTheNextHit) {
    UseHitsImage(true);
    SearchOnly({"JPEG", "PNG", "GIF"});
    Settings().RecoveryFilesNameUse = true;
    controller->ScanFileSystemButtonStartClick();
    EXPECT_EQ(host.fileSystemList.Count(), 0u);
    EXPECT_EQ(fileSystemPage->LabelTotalRecords->text(), QStringLiteral("0")) << "no record, whatever the sectors";
    EXPECT_EQ(fileSystemPage->LabelCurRecord->text(), QStringLiteral("0"));
    const QStringList fileSystemLines = LogLines(*fileSystemPage);
    EXPECT_EQ(fileSystemLines.mid(fileSystemLines.size() - 3),
              (QStringList{QStringLiteral("No file entries on drive C: the sector scan of the next step "
                                          "searches it for files by their contents."),
                           QStringLiteral("Search finished"), QString()}));

    Settings().RecoveryAutoPilot = true;
    controller->ScanDriveSectorsButtonStartClick();
    std::map<std::string, std::pair<std::uint64_t, std::int64_t>> found;
    for (std::size_t i = 0; i < host.driveSectorsList.Count(); ++i) {
        const TBaseElement& element = host.driveSectorsList[i];
        found[element.Name()] = {+element.Record().DataPosition, element.Size()};
        EXPECT_EQ(element.Drive(), host.drive);
    }
    const std::map<std::string, std::pair<std::uint64_t, std::int64_t>> expected{
        {"image_0001.PNG", {26112, 8192}},
        {"image_0002.JPG", {34304, 14336}},
        {"image_0003.GIF", {48640, 1048576}},
    };
    EXPECT_EQ(found, expected);
    const QStringList lines = LogLines(*sectorsPage);
    EXPECT_EQ(lines.filter(QStringLiteral("File found")).size(), 3) << "the rest dropped silently";
    EXPECT_TRUE(lines.contains(QStringLiteral("Calculating size for each file...")));
    EXPECT_EQ(sectorsPage->LabelFilesFound->text(), QStringLiteral("3"));
    EXPECT_EQ(host.advances, 1);
}

TEST_F(DriveSectorsScanTest, OpensTheSelectedDriveWhenTheEngineHoldsAnotherOrNone) {
    // C: the hits image without its boot sector; D: a FAT volume without pictures.
    const std::vector<std::uint8_t> fat = test_images::gunzip("fat/fat12.img.gz");
    const auto second = workFolder() / "fat12.img";
    std::ofstream(second, std::ios::binary)
        .write(reinterpret_cast<const char*>(fat.data()), static_cast<std::streamsize>(fat.size()));
    UseHitsImage(true, second.string());
    SearchOnly({"JPEG", "PNG", "GIF"});
    controller->ScanDriveSectorsButtonStartClick();  // no file-system scan before it
    EXPECT_EQ(host.driveSectorsList.Count(), 3u);

    const std::shared_ptr<const TRecoveryDrive> hits = host.drive;
    UseDrive('D');
    controller->ScanFileSystemButtonStartClick();  // the engine holds D now
    host.drive = hits;
    controller->ScanDriveSectorsButtonStartClick();
    EXPECT_EQ(host.driveSectorsList.Count(), 3u);
    EXPECT_EQ(Count(LogLines(*sectorsPage), QStringLiteral("Cluster search finished")), 2);
}

TEST_F(DriveSectorsScanTest, BothScansOpenARawDriveOfTwoToTheThirtyOneSectors) {
    const auto image = workFolder() / "terabyte.img";
    std::ofstream(image, std::ios::binary).close();
    std::filesystem::resize_file(image, std::uint64_t{1} << 40);  // sparse
    ::setenv("UNDELETE_DISKS", image.c_str(), 1);
    UseDrive('C');
    ASSERT_TRUE(host.drive);
    QStringList totals;  // as the scan shows them before it enumerates
    host.onCheckState = [&] { totals.append(fileSystemPage->LabelTotalRecords->text()); };
    controller->ScanFileSystemButtonStartClick();
    host.onCheckState = nullptr;
    EXPECT_TRUE(totals.contains(QStringLiteral("2147483647")));
    EXPECT_TRUE(LogLines(*fileSystemPage).contains(QStringLiteral("Search finished")));

    Settings().ConfirmationsScanAbort = false;
    ClickWhenRunning(sectorsPage->ButtonStop);  // the first block's progress stops it
    controller->ScanDriveSectorsButtonStartClick();
    EXPECT_TRUE(LogLines(*sectorsPage).contains(QStringLiteral("Cluster search cancelled")));
    EXPECT_EQ(sectorsPage->LabelTotalSectors->text(), QStringLiteral("2147483648"));
    EXPECT_GE(sectorsPage->ProgressBar->value(), 0);
    EXPECT_LT(sectorsPage->ProgressBar->value(), 10);
}

class ScriptedSectorScanTest : public ScanFixture {
protected:
    void SetUp() override {
        ScanFixture::SetUp();
        host.drive = std::make_shared<TRecoveryDrive>(scriptedDrive(0, 'C', kDriveVolume));
        SearchOnly({"JPEG"});
    }

    static FoundFileRecord Hit(std::uint64_t position, std::uint16_t type = 83) {
        FoundFileRecord hit{};
        hit.Flags = kFileDeleted | kFileFoundBySignature;
        hit.Size = kUnknownSize;
        hit.TypeCode = type;
        hit.DataPosition = position;
        return hit;
    }
};

TEST_F(ScriptedSectorScanTest, ProgressBeyondThirtyTwoBitsCountsInFullAndEndsAtTheTotal) {
    EngineScript script = DriveScript();
    // The last block ends a cluster short of the total (an NTFS volume's last sector).
    script.progress = {{(std::uint64_t{1} << 33) - 1, std::uint64_t{1} << 33, 5}};
    script.hits = {Hit(4096), Hit(8192, 84), Hit(12288)};
    const ScriptedEngine engine(std::move(script));
    controller->ScanDriveSectorsButtonStartClick();
    EXPECT_EQ(sectorsPage->LabelCurrentSector->text(), QStringLiteral("8589934592"));
    EXPECT_EQ(sectorsPage->LabelTotalSectors->text(), QStringLiteral("8589934592"));
    EXPECT_EQ(sectorsPage->LabelFreeSectors->text(), QStringLiteral("5"));
    EXPECT_EQ(sectorsPage->ProgressBar->value(), kProgressRange);
    EXPECT_EQ(NameSet(host.driveSectorsList), (std::set<std::string>{"image_0001.JPG", "image_0002.JPG"}));
    EXPECT_EQ(engine.calls("DriveInitialize"), 1) << "nothing was open";
}

TEST_F(ScriptedSectorScanTest, HitsPastFourGibibytesKeepTheirPositionsThroughTheMergeAndTheSizes) {
    constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;
    _LDRIVE info = scriptedDrive(0, 'C', kDriveVolume);
    info.TotalSectors = (k4GiB + 64 * 1024) / 512;
    host.drive = std::make_shared<TRecoveryDrive>(info);
    // Listed files at 8 KiB and at 4 GiB + 16 KiB: only the second hides a hit.
    for (const std::uint64_t position : {std::uint64_t{8192}, k4GiB + 16384}) {
        FoundFileRecord listed = Hit(position);
        listed.Flags = kFileDeleted;
        listed.Name = u"listed.jpg";
        host.fileSystemList.Add(std::make_unique<TBaseElement>(listed, 1, host.drive));
    }
    EngineScript script = DriveScript();
    script.hits = {Hit(k4GiB + 8192), Hit(k4GiB + 16384), Hit(k4GiB + 24576)};
    const ScriptedEngine engine(std::move(script));
    controller->ScanDriveSectorsButtonStartClick();

    EXPECT_EQ(Count(LogLines(*sectorsPage), kSkipped), 1);
    std::map<std::uint64_t, std::int64_t> sizes;  // by position
    for (std::size_t i = 0; i < host.driveSectorsList.Count(); ++i) {
        const std::uint64_t position = host.driveSectorsList[i].Record().DataPosition;  // packed
        sizes[position] = host.driveSectorsList[i].Size();
    }
    // The first reaches to the next hit; the last takes the format's 3 MB, cut at the drive's end.
    EXPECT_EQ(sizes, (std::map<std::uint64_t, std::int64_t>{{k4GiB + 8192, 16384}, {k4GiB + 24576, 40960}}));
}

TEST_F(ScriptedSectorScanTest, AStopWhileHitsArriveDropsTheRestAndEndsTheEngineAndTheAutoPilot) {
    EngineScript script = DriveScript();
    // The search waits at its second progress until the stop is answered.
    script.progress = {{1, 4, 0}, {1, 4, 0}};
    script.holdBeforeProgress = 1;
    script.hits = {Hit(4096), Hit(8192), Hit(12288)};
    ScriptedEngine engine(std::move(script));
    Settings().RecoveryAutoPilot = true;
    ExpectStopQuestion(kPromptYes, [&] { engine.release(); });
    ClickWhenRunning(sectorsPage->ButtonStop);
    controller->ScanDriveSectorsButtonStartClick();
    EXPECT_EQ(host.driveSectorsList.Count(), 0u);
    EXPECT_EQ(RunEngineSettings().Run, 0);
    EXPECT_EQ(host.advances, 0);
    EXPECT_FALSE(Settings().RecoveryAutoPilot);
    const QStringList lines = LogLines(*sectorsPage);
    EXPECT_TRUE(lines.contains(QStringLiteral("Cluster search cancelled")));
    EXPECT_FALSE(lines.contains(QStringLiteral("Cluster search finished")));
    // Where the search ended.
    EXPECT_EQ(sectorsPage->LabelCurrentSector->text(), QStringLiteral("1"));
    EXPECT_EQ(sectorsPage->LabelTotalSectors->text(), QStringLiteral("4"));
    EXPECT_EQ(sectorsPage->ProgressBar->value(), kProgressRange / 4);
}

TEST_F(ScriptedSectorScanTest, AStopAnsweredAfterTheSearchReachedTheEndCancelsNothing) {
    EngineScript script = DriveScript();
    script.progress = {{1, 4, 0}, {2, 4, 0}, {4, 4, 0}};
    script.holdBeforeProgress = 1;
    ScriptedEngine engine(std::move(script));
    // The search runs on to the drive's end while the question waits for its answer.
    ExpectStopQuestion(kPromptYes, [&] {
        engine.release();
        ASSERT_TRUE(waitUntil([&] { return engine.idle() && window.queuedMessages() == 0; }));
    });
    ClickWhenRunning(sectorsPage->ButtonStop);
    controller->ScanDriveSectorsButtonStartClick();
    const QStringList lines = LogLines(*sectorsPage);
    EXPECT_TRUE(lines.contains(QStringLiteral("Cluster search finished")));
    EXPECT_FALSE(lines.contains(QStringLiteral("Cluster search cancelled")));
    EXPECT_EQ(sectorsPage->LabelCurrentSector->text(), QStringLiteral("4"));
    EXPECT_EQ(sectorsPage->LabelTotalSectors->text(), QStringLiteral("4"));
    EXPECT_EQ(sectorsPage->ProgressBar->value(), kProgressRange);
    EXPECT_EQ(RunEngineSettings().Run, 1) << "nothing told the ended search to stop";
}

TEST_F(ScriptedSectorScanTest, HitsAtFilesOfTheFirstListAreLoggedOnceWithTheirCount) {
    EngineScript script = DriveScript();
    for (std::uint64_t i = 1; i <= 300; ++i) {
        FoundFileRecord listed{};
        listed.Flags = kFileDeleted;
        listed.DataPosition = i * 4096;
        host.fileSystemList.Add(std::make_unique<TBaseElement>(listed, static_cast<std::int64_t>(i), host.drive));
        script.hits.push_back(Hit(i * 4096));
        if (i == 200) script.hits.push_back(Hit(i * 4096 + 512));
    }
    const ScriptedEngine engine(std::move(script));
    controller->ScanDriveSectorsButtonStartClick();
    const QStringList lines = LogLines(*sectorsPage);
    const int found = static_cast<int>(lines.indexOf(QStringLiteral("File found: image_0001.JPG")));
    ASSERT_GT(found, 0) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines[found - 1], kSkipped + QStringLiteral(" (200 times)"));
    EXPECT_EQ(lines[found + 1], kSkipped + QStringLiteral(" (100 times)"));
    EXPECT_EQ(lines.filter(QStringLiteral("first list")).size(), 2);
}

// A drive that does not open is the vanished image's case in the file-system scan's test.
TEST_F(ScriptedSectorScanTest, ASearchThatDoesNotStartIsFatal) {
    // The drive opens, but the search's thread does not start: a null handle.
    const ScriptedEngine scripted(DriveScript());
    EngineApi noThread = engine();
    noThread.DriveInitialize = [](EngineSettings*) { return 5; };
    noThread.DriveSearchSignatures = []() -> HANDLE { return nullptr; };
    const ScopedEngineApi installed(noThread);
    Settings().RecoveryAutoPilot = true;
    controller->ScanDriveSectorsButtonStartClick();
    const QStringList lines = LogLines(*sectorsPage);
    EXPECT_TRUE(lines.contains(QStringLiteral("Cluster search encountered fatal error")));
    EXPECT_FALSE(lines.contains(QStringLiteral("Calculating size for each file...")));
    EXPECT_EQ(host.advances, 0);
}

}  // namespace
