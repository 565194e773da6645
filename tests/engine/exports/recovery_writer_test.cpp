// The recovery writer over a FAT image held in memory: whole copies, progress, stop,
// sizes past the drive's end, unreadable pieces, refusals, a write failure and a fault;
// and over FAT, NTFS and raw images read through the fault-injection backend: unreadable
// sectors that cost only their own bytes.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <utility>

#include "engine/disk/disk_test_support.h"
#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/fs/fat_fixture.h"
#include "engine/fs/fat_image_builder.h"
#include "engine/messages.h"
#include "engine/recovery_writer.h"
#include "engine/support/faulty_drive.h"
#include "engine/support/scoped_settings.h"
#include "engine/support/test_images.h"
#include "platform/fault_injection.h"
#include "platform/handles.h"
#include "platform/local_heap.h"
#include "platform/messages.h"
#include "platform/text.h"
#include "platform/time.h"

namespace {

using fattest::MemoryDrive;
namespace fs = std::filesystem;

constexpr std::uint64_t kMiB = 1024 * 1024;

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class RecoveryWriter : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        engine::releaseFileReaders();
        Library_Initialize(u"\\Software\\Test");
        auto drive = std::make_unique<MemoryDrive>(fattest::loadImage("fat16"), kFileSystemFat16, 'E');
        drive_ = drive.get();
        settings_.DiskNumber = engine::state().drives->add(std::move(drive));
        ASSERT_GT(DriveInitialize(&settings_), 0);
        while (FoundFileRecord* record = FileGetNext()) listed_[fattest::utf8(record->Name)] = *record;
        directory_ = fs::temp_directory_path() / ("recovery-" + std::to_string(::getpid()));
        fs::create_directories(directory_);
    }
    void TearDown() override {
        engine::releaseFileReaders();
        fs::remove_all(directory_);
    }

    // A signature hit over the image's first bytes: any size up to the image's.
    FoundFileRecord rawRecord(std::uint64_t size, std::uint64_t position = 0) {
        FoundFileRecord record{};
        resetFoundFileForFill(record);
        record.Flags = kFileFoundBySignature | kFileDeleted;
        record.DataPosition = position;
        record.Size = size;
        return record;
    }

    std::uint32_t recoverHere(const FoundFileRecord& record, const std::string& name, RecoveryRequest* out = nullptr,
                              HWND progressWindow = 0) {
        auto request = std::make_unique<RecoveryRequest>();
        request->Options = kRecoveryDefaultOptions;
        request->ProgressWindow = progressWindow ? progressWindow : window_.handle();
        const std::u16string path = platform::toUtf16((directory_ / name).string());
        platform::copyToField(request->TargetPath, kRecoveryTargetCapacity, path);
        request->Record = &record;
        const int result = DoFileRecovery(request.get());
        if (out) *out = *request;
        window_.dispatchPending();
        return static_cast<std::uint32_t>(result);
    }

    // Puts `image` on a drive read through the fault backend, opens it and lists it.
    void openFaulty(std::vector<std::uint8_t> image) {
        plan_ = std::make_shared<platform::FaultPlan>();
        settings_.DiskNumber = engine::state().drives->add(test_support::faultyImageDrive(std::move(image), plan_));
        ASSERT_GT(DriveInitialize(&settings_), 0);
        listed_.clear();
        while (FoundFileRecord* record = FileGetNext()) listed_[fattest::utf8(record->Name)] = *record;
    }

    std::string readWhole(FoundFileRecord record) {
        std::string data((+record.Size + 511) / 512 * 512, '\0');
        data.resize(FileRead(&record, data.data(), 0, record.Size));
        return data;
    }

    // Makes the drive sector that holds byte `at` of the file fail its next `times` reads
    // (-1: always).
    void breakSectorOf(FoundFileRecord record, std::uint64_t at, int times = -1) {
        std::uint8_t sector[512];
        FileRead(&record, sector, at / 512 * 512, 512);
        const std::uint64_t position = plan_->reads().back().offset;  // the data's, after any record read
        plan_->failReads(position, position + 512, EIO, times);
    }

    std::string imageBytes(std::uint64_t position, std::uint64_t size) {
        return std::string(drive_->image().begin() + static_cast<long>(position),
                           drive_->image().begin() + static_cast<long>(position + size));
    }

    test_support::ScopedSettings scopedSettings_{1};
    EngineSettings& settings_ = scopedSettings_.get();
    MemoryDrive* drive_ = nullptr;
    std::map<std::string, FoundFileRecord> listed_;
    fs::path directory_;
    std::shared_ptr<platform::FaultPlan> plan_;
    std::vector<LPARAM> percents_;
    std::vector<WPARAM> zeroFilled_;
    platform::QueueWindow window_{[this](const platform::Message& message) -> LRESULT {
        if (message.message == WM_ENGINE_RECOVERY_PROGRESS) {
            percents_.push_back(message.lParam);
            zeroFilled_.push_back(message.wParam);
        }
        return 0;
    }};
};

TEST_F(RecoveryWriter, CopiesLiveAndDeletedFilesOnItsOwnThread) {
    for (const auto& [name, start] : {std::pair{"BIG.BIN", 6000L}, std::pair{"_ELBIG.BIN", 7000L}}) {
        SCOPED_TRACE(name);
        FoundFileRecord record = listed_.at(name);
        const fs::path target = directory_ / name;
        HANDLE thread = FileRecovery(platform::toUtf16(target.string()).c_str(), window_.handle(), &record);
        ASSERT_NE(thread, nullptr);
        ASSERT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeThread(thread, &code));
        EXPECT_EQ(code, kRecoveryPieceSize);
        CloseHandle(thread);
        const std::uint64_t size = record.Size;
        EXPECT_EQ(readFile(target), fattest::content(start, size));
        struct stat info{};
        ASSERT_EQ(::stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0644u);
        EXPECT_EQ(info.st_mtim.tv_sec, 1683356890);  // 2023-05-06 07:08:10, local time UTC
    }
    EXPECT_EQ(settings_.WorkFlag, 1);
}

// Berlin's rules as a POSIX zone: one hour east of UTC, two in summer.
class BerlinTime {
public:
    BerlinTime() { setZone("CET-1CEST,M3.5.0,M10.5.0/3"); }
    ~BerlinTime() { setZone("UTC"); }

private:
    static void setZone(const char* zone) {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
};

// FAT keeps local times, each converted with the offset of its own date; NTFS keeps UTC.
TEST_F(RecoveryWriter, RestoredTimesAreTheRecordsInstantsOutsideUtc) {
    const BerlinTime zone;
    // 2021-03-04 05:06:07 as a local FILETIME: winter, one hour east.
    const std::uint64_t winterLocal = (1614834367 + 11644473600ull) * 10000000;
    const struct {
        const char* name;
        const char* image;
        const char* file;
        std::uint64_t writeTime;  // replaces the record's when not 0
        timespec mtime, atime;
    } cases[] = {
        // Written 2023-05-06 07:08:10 and read that day, local summer time.
        {"FAT in summer", "fat/fat16.img.gz", "BIG.BIN", 0, {1683349690, 0}, {1683324000, 0}},
        {"FAT in winter", "fat/fat16.img.gz", "BIG.BIN", winterLocal, {1614830767, 0}, {1683324000, 0}},
        // Written 2021-03-04 05:06:07 UTC; last read when the image was made.
        {"NTFS", "ntfs/ntfs-basic.img.gz", "big.bin", 0, {1614834367, 0}, {1796758093, 92809000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        openFaulty(test_images::gunzip(c.image));
        FoundFileRecord record = listed_.at(c.file);
        if (c.writeTime != 0) record.LastWriteTime = platform::toFileTime(c.writeTime);
        ASSERT_EQ(recoverHere(record, c.file), kRecoveryPieceSize);
        struct stat info {};
        ASSERT_EQ(::stat((directory_ / c.file).c_str(), &info), 0);
        EXPECT_EQ(info.st_mtim.tv_sec, c.mtime.tv_sec);
        EXPECT_EQ(info.st_mtim.tv_nsec, c.mtime.tv_nsec);
        EXPECT_EQ(info.st_atim.tv_sec, c.atime.tv_sec);
        EXPECT_EQ(info.st_atim.tv_nsec, c.atime.tv_nsec);
    }
}

TEST_F(RecoveryWriter, PostsPercentsInOrderAndCopiesExactly) {
    const struct {
        const char* name;
        std::uint64_t size, returned;
        std::vector<LPARAM> percents;
    } cases[] = {
        {"ten", 10 * kMiB, 10 * kMiB, {0, 20, 40, 60, 80}},
        {"two-plus", 2 * kMiB + 1, 4 * kMiB, {0, 100}},
        {"two", 2 * kMiB, 2 * kMiB, {0}},
        {"empty", 0, 0, {}},  // created and kept, without progress
    };
    std::ofstream(directory_ / "two") << std::string(3 * kMiB, 'x');  // an existing file is replaced
    for (const auto& c : cases) {
        percents_.clear();
        RecoveryRequest request{};
        EXPECT_EQ(recoverHere(rawRecord(c.size), c.name, &request), c.returned) << c.name;
        EXPECT_EQ(percents_, c.percents) << c.name;
        EXPECT_EQ(request.Percent, 100u) << c.name;
        ASSERT_TRUE(fs::exists(directory_ / c.name)) << c.name;
        EXPECT_EQ(readFile(directory_ / c.name), imageBytes(0, c.size)) << c.name;
    }
}

TEST_F(RecoveryWriter, AClearedWorkFlagStopsAfterTheCurrentPiece) {
    drive_->onRead = [this](std::uint64_t lba, std::uint64_t) {
        if (lba >= 2 * kMiB / 512) settings_.WorkFlag = 0;
    };
    EXPECT_EQ(recoverHere(rawRecord(10 * kMiB), "stopped"), 2 * kMiB);
    EXPECT_EQ(fs::file_size(directory_ / "stopped"), 4 * kMiB);
    EXPECT_EQ(percents_, (std::vector<LPARAM>{0, 20}));
}

TEST_F(RecoveryWriter, ASizePastTheDriveEndIsCutThereAndTheResultSaysIncomplete) {
    fattest::LogCapture log;
    const std::uint64_t end = drive_->image().size();
    RecoveryRequest request{};
    // A hit 1024 bytes before the end claiming 3000 bytes, and one claiming 4 GiB.
    EXPECT_EQ(recoverHere(rawRecord(3000, end - 1024), "short", &request), 1024u);
    EXPECT_EQ(readFile(directory_ / "short"), imageBytes(end - 1024, 1024));
    EXPECT_EQ(request.Percent, 100u);
    EXPECT_EQ(recoverHere(rawRecord(0xFFFFFFFF, end - 4096), "huge"), 4096u);
    EXPECT_EQ(fs::file_size(directory_ / "huge"), 4096u);
    EXPECT_EQ(log.count("passes the drive's end"), 2u);

    // A listed file whose size was forged: its chain ends long before, and so does the output.
    FoundFileRecord forged = listed_.at("BIG.BIN");
    forged.Size = 0xFFFFFFFF;
    const std::uint32_t result = recoverHere(forged, "forged");
    EXPECT_LT(result, 300000u + 65536);
    EXPECT_GE(result, 300000u);
    EXPECT_EQ(readFile(directory_ / "forged").substr(0, 300000), fattest::content(6000, 300000));
    EXPECT_EQ(fs::file_size(directory_ / "forged"), result);
}

TEST_F(RecoveryWriter, ZerosFillOnlyUnreadablePiecesThatReadableDataFollows) {
    const std::uint64_t pieceSectors = kRecoveryPieceSize / 512;
    const struct {
        const char* name;
        std::set<std::uint64_t> unreadablePieces;
        std::uint32_t result;  // the bytes read
        std::uint64_t fileSize;
        std::uint64_t zeroSectors;
    } cases[] = {
        {"middle", {1, 2}, 6 * kMiB, 10 * kMiB, 2 * pieceSectors},
        {"tail", {3, 4}, 6 * kMiB, 6 * kMiB, 0},
        {"head-and-tail", {0, 4}, 6 * kMiB, 8 * kMiB, pieceSectors},
    };
    for (const auto& c : cases) {
        drive_->onRead = [&](std::uint64_t lba, std::uint64_t) {
            drive_->failReads = c.unreadablePieces.count(lba / pieceSectors) != 0;
        };
        RecoveryRequest request{};
        EXPECT_EQ(recoverHere(rawRecord(10 * kMiB), c.name, &request), c.result) << c.name;
        EXPECT_EQ(request.UnreadableSectors, c.zeroSectors) << c.name;
        drive_->failReads = false;
        const std::string written = readFile(directory_ / c.name);
        ASSERT_EQ(written.size(), c.fileSize) << c.name;
        for (std::uint64_t piece = 0; piece < c.fileSize / kRecoveryPieceSize; ++piece) {
            const std::string expected = c.unreadablePieces.count(piece)
                                             ? std::string(kRecoveryPieceSize, '\0')
                                             : imageBytes(piece * kRecoveryPieceSize, kRecoveryPieceSize);
            EXPECT_TRUE(written.compare(piece * kRecoveryPieceSize, kRecoveryPieceSize, expected) == 0)
                << c.name << " piece " << piece;
        }
    }
}

TEST_F(RecoveryWriter, AnUnreadableSectorCostsOnlyItsOwnBytes) {
    const struct {
        const char* image;
        const char* file;
        std::uint64_t badByte;
        const char* logLine;
    } cases[] = {
        {"fat/fat12.img.gz", "deleted long name.txt", 512, "sectors 1-1 of the file (bytes 512-1023)"},
        {"fat/fat12.img.gz", "photo_001.jpg", 512, "sectors 1-1 of the file (bytes 512-1023)"},
        {"ntfs/ntfs-basic.img.gz", "big.bin", 50176, "sectors 98-98 of the file (bytes 50176-50687)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        openFaulty(test_images::gunzip(c.image));
        const FoundFileRecord record = listed_.at(c.file);
        std::string expected = readWhole(record);
        ASSERT_EQ(expected.size(), +record.Size);
        breakSectorOf(record, c.badByte);
        std::fill_n(expected.begin() + static_cast<long>(c.badByte), 512, '\0');
        fattest::LogCapture log;
        zeroFilled_.clear();
        RecoveryRequest request{};
        EXPECT_EQ(recoverHere(record, c.file, &request), record.Size - 512);
        EXPECT_EQ(readFile(directory_ / c.file), expected);
        EXPECT_EQ(request.UnreadableSectors, 1u);
        EXPECT_EQ(zeroFilled_.back(), 1u);
        EXPECT_EQ(log.count(c.logLine), 1u);
    }
}

TEST_F(RecoveryWriter, UnreadableSectorsAtTheEndAreCutAndSectorsThatReadAgainAreKept) {
    openFaulty(fattest::loadImage("fat12"));
    const FoundFileRecord photo = listed_.at("photo_001.jpg");  // 2000 bytes, four sectors
    const std::string intact = fattest::content(100, 2000);
    // The second sector fails only the read of the whole file; the fourth stays unreadable.
    breakSectorOf(photo, 512, static_cast<int>(settings_.ReadRetries));
    breakSectorOf(photo, 1536);
    fattest::LogCapture log;
    RecoveryRequest request{};
    EXPECT_EQ(recoverHere(photo, "cut.jpg", &request), 1536u);
    EXPECT_EQ(readFile(directory_ / "cut.jpg"), intact.substr(0, 1536));
    EXPECT_EQ(request.UnreadableSectors, 0u);
    EXPECT_EQ(log.count("written as zeros"), 0u);
    EXPECT_EQ(log.count("incomplete, 1536 of 2000 bytes"), 1u);

    // With the second sector unreadable for good, the third keeps its place after zeros.
    breakSectorOf(photo, 512);
    EXPECT_EQ(recoverHere(photo, "gap.jpg", &request), 1024u);
    EXPECT_EQ(readFile(directory_ / "gap.jpg"), intact.substr(0, 512) + std::string(512, '\0') + intact.substr(1024, 512));
    EXPECT_EQ(request.UnreadableSectors, 1u);
}

TEST_F(RecoveryWriter, ProgressCarriesTheSectorsZeroFilledSoFarAndRunsAreLoggedOnce) {
    openFaulty(*disktest::numberedSectors(8 * kMiB / 512));
    // Sectors 10-12 in the first piece, 4090-4100 across the first two; the third is whole.
    plan_->failReads(10 * 512, 13 * 512, EIO, -1);
    plan_->failReads(4090 * 512, 4101 * 512, EIO, -1);
    fattest::LogCapture log;
    RecoveryRequest request{};
    const std::uint64_t size = 6 * kMiB;
    EXPECT_EQ(recoverHere(rawRecord(size), "raw", &request), size - 14 * 512);
    // Each run also moves the percent on where it ends, never back.
    EXPECT_EQ(percents_, (std::vector<LPARAM>{0, 33, 33, 33, 66}));
    EXPECT_EQ(zeroFilled_, (std::vector<WPARAM>{0, 0, 3, 14, 14}));
    EXPECT_EQ(request.UnreadableSectors, 14u);
    EXPECT_EQ(log.count("written as zeros"), 3u);  // two runs and the total
    EXPECT_EQ(log.count("sectors 10-12 of the file"), 1u);
    EXPECT_EQ(log.count("sectors 4090-4100 of the file"), 1u);
    // The reader's own line comes from each piece's read, not from each bad sector.
    EXPECT_EQ(log.count("CDrive.FileRead: Can't read sector"), 2u);
    const std::string written = readFile(directory_ / "raw");
    ASSERT_EQ(written.size(), size);
    for (std::uint64_t sector = 0; sector < size / 512; ++sector) {
        const bool bad = (sector >= 10 && sector < 13) || (sector >= 4090 && sector < 4101);
        const std::uint64_t number = disktest::sectorNumberAt(reinterpret_cast<const std::uint8_t*>(&written[sector * 512]));
        ASSERT_EQ(number, bad ? 0 : sector) << sector;
    }
}

// Deleted files of 1 to 3 MiB in a row on FAT32 with 20,000 sectors across six of them
// that never read, at ten attempts per read: a handful of failed reads in all, and every
// readable sector intact, the dead ones zeros, a dead tail cut.
TEST_F(RecoveryWriter, DeletedFilesAcrossADeadRegionCostAHandfulOfReads) {
    fattest::Fat32Builder volume(6000, 8);
    std::uint32_t third = 0;
    for (char k = 0; k < 10; ++k) {
        const std::string name = std::string("FILE") + static_cast<char>('0' + k) + "   BIN";
        const std::uint32_t first = volume.addFile(fattest::Fat32Builder::kRootCluster, name.c_str(),
                                                   static_cast<std::uint32_t>((1 + k % 3) * kMiB + 1000));
        volume.markDeleted(first);
        if (k == 2) third = first;
    }
    volume.freeClustersFrom(3);
    volume.numberSectorsFrom(3);
    const std::vector<std::uint8_t>& image = volume.image();
    const std::uint64_t deadFrom = volume.clusterOffset(third) / 512 + 1000, deadTo = deadFrom + 20000;
    const auto dead = [&](std::uint64_t sector) { return sector >= deadFrom && sector < deadTo; };
    openFaulty(image);
    plan_->failReads(deadFrom * 512, deadTo * 512, EIO, -1);
    settings_.ReadRetries = 10;

    int touched = 0;
    for (const auto& [name, record] : listed_) {
        SCOPED_TRACE(name);
        const std::uint64_t first = record.DataPosition / 512, size = record.Size;
        std::string expected(image.begin() + static_cast<long>(first * 512),
                             image.begin() + static_cast<long>(first * 512 + size));
        // The output ends after its last readable sector; dead sectors before it are zeros.
        std::uint64_t length = 0, zeros = 0, deadSince = 0;
        for (std::uint64_t at = 0; at < size; at += 512) {
            const std::uint64_t end = std::min(at + 512, size);
            if (!dead(first + at / 512)) {
                length = end;
                zeros += std::exchange(deadSince, 0);
                continue;
            }
            ++deadSince;
            std::fill(expected.begin() + static_cast<long>(at), expected.begin() + static_cast<long>(end), '\0');
        }
        touched += zeros + deadSince != 0;
        RecoveryRequest request{};
        recoverHere(record, name, &request);
        if (length == 0) {
            EXPECT_FALSE(fs::exists(directory_ / name));
            continue;
        }
        EXPECT_EQ(readFile(directory_ / name), expected.substr(0, length));
        EXPECT_EQ(request.UnreadableSectors, zeros);
    }
    EXPECT_EQ(touched, 6);
    EXPECT_LE(plan_->failedReads(), 500u);
}

TEST_F(RecoveryWriter, AClearedWorkFlagAlsoStopsTheSectorBySectorReads) {
    // The user stops at the first failed read of a dead region.
    disktest::ImmediateWindow stopper([this](const platform::Message& message) {
        if (message.message != WM_ENGINE_IO_ERROR) return;
        settings_.WorkFlag = 0;
        LocalFree(reinterpret_cast<void*>(message.lParam));
    });
    settings_.NotifyWindow = stopper.handle();
    openFaulty(*disktest::numberedSectors(8 * kMiB / 512));
    plan_->failReads(0, 4 * kMiB, EIO, -1);
    const std::size_t readsBefore = plan_->reads().size();
    EXPECT_EQ(recoverHere(rawRecord(6 * kMiB), "stopped"), 0u);
    // The piece once, its first sector, reported as it fails.
    EXPECT_EQ(plan_->reads().size(), readsBefore + 2);
    EXPECT_EQ(percents_, (std::vector<LPARAM>{0, 0}));
    settings_.NotifyWindow = 0;
}

TEST_F(RecoveryWriter, AnOutputOfWhichNothingCouldBeReadIsDeletedAndFails) {
    fattest::LogCapture log;
    drive_->failReads = true;
    RecoveryRequest request{};
    EXPECT_EQ(recoverHere(rawRecord(5 * kMiB), "unreadable", &request), 0u);
    EXPECT_FALSE(fs::exists(directory_ / "unreadable"));
    EXPECT_EQ(request.Percent, 100u);
    EXPECT_EQ(log.count("FileRecovery.filed"), 1u);
    EXPECT_STREQ(GetLastErrorString(), "FileRecovery.filed");
}

// A progress window whose receiver throws: a fault inside the copy loop.
class ThrowingWindow : public platform::WindowReceiver {
public:
    bool post(const platform::Message&) override { throw std::runtime_error("receiver failed"); }
    std::optional<LRESULT> send(const platform::Message&) override { return 0; }
};

TEST_F(RecoveryWriter, AFaultInTheCopyLoopStillRestoresTimesAndAppliesTheDeletionRule) {
    fattest::LogCapture log;
    const HWND throwing = platform::registerWindow(std::make_shared<ThrowingWindow>());
    RecoveryRequest request{};
    FoundFileRecord record = listed_.at("BIG.BIN");
    EXPECT_EQ(recoverHere(record, "kept", &request, throwing), 0u);  // the start of the piece under way
    EXPECT_EQ(log.count("Recovery_Thread.RecoveryCycle.except"), 1u);
    EXPECT_EQ(request.Percent, 0u);  // not 100: the loop did not finish
    EXPECT_EQ(readFile(directory_ / "kept"), fattest::content(6000, record.Size));
    struct stat info {};
    ASSERT_EQ(::stat((directory_ / "kept").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, 1683356890);

    drive_->failReads = true;
    EXPECT_EQ(recoverHere(rawRecord(kMiB), "deleted", &request, throwing), 0u);
    EXPECT_FALSE(fs::exists(directory_ / "deleted"));
    EXPECT_EQ(log.count("FileRecovery.filed"), 1u);
    platform::unregisterWindow(throwing);
}

TEST_F(RecoveryWriter, RefusesUnknownSizesLongPathsAndSymbolicLinks) {
    EXPECT_EQ(recoverHere(rawRecord(kUnknownSize), "unknown"), 0u);
    EXPECT_FALSE(fs::exists(directory_ / "unknown"));

    std::u16string longPath(kRecoveryTargetCapacity, u'a');
    FoundFileRecord record = rawRecord(10);
    EXPECT_EQ(FileRecovery(longPath.c_str(), window_.handle(), &record), nullptr);

    const fs::path victim = directory_ / "victim";
    std::ofstream(victim) << "keep me";
    fs::create_symlink(victim, directory_ / "link");
    EXPECT_EQ(recoverHere(rawRecord(100), "link"), 0u);
    EXPECT_EQ(readFile(victim), "keep me");
}

TEST_F(RecoveryWriter, AFailedWriteEndsTheLoopAtThatPieceAndKeepsWhatWasWritten) {
    const fs::path target = directory_ / "limited";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{3 * kMiB, 3 * kMiB};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
        RecoveryRequest request{};
        // The second piece fails: the start of that piece, and the loop counts as ended.
        const std::uint32_t result = recoverHere(rawRecord(10 * kMiB), "limited", &request);
        ::_exit(result == 2 * kMiB && request.Percent == 100 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // What was written stays; it holds the file's first bytes.
    ASSERT_TRUE(fs::exists(target));
    EXPECT_EQ(readFile(target), imageBytes(0, fs::file_size(target)));
}

}  // namespace
