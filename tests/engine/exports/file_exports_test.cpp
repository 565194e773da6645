// The file enumeration exports end to end: a FAT image put into the drive array, opened
// with DriveInitialize, listed with FileGetNext and FileGetPath and read with FileRead.

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <map>
#include <thread>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/fs/fat_fixture.h"
#include "engine/messages.h"
#include "engine/support/faulty_drive.h"
#include "engine/support/scoped_settings.h"
#include "engine/support/test_images.h"
#include "platform/local_heap.h"
#include "platform/messages.h"

namespace {

using fattest::MemoryDrive;

class FileEnumeration : public ::testing::Test {
protected:
    void SetUp() override {
        engine::releaseFileReaders();
        Library_Initialize(u"\\Software\\Test");
        settings_.NotifyWindow = window_.handle();
    }
    void TearDown() override { engine::releaseFileReaders(); }

    int addDrive(std::vector<std::uint8_t> image, std::int32_t code) {
        auto drive = std::make_unique<MemoryDrive>(std::move(image), code, 'E');
        drive_ = drive.get();
        return engine::state().drives->add(std::move(drive));
    }

    // Every named entry of the open drive by its full path.
    std::map<std::string, FoundFileRecord> listAll() {
        std::map<std::string, FoundFileRecord> listed;
        while (FoundFileRecord* record = FileGetNext()) {
            if (record->Name) listed[fattest::utf8(FileGetPath(record)) + fattest::utf8(record->Name)] = *record;
        }
        return listed;
    }

    int initFailures() {
        window_.dispatchPending();
        return initFailures_;
    }

    test_support::ScopedSettings scopedSettings_{1};
    EngineSettings& settings_ = scopedSettings_.get();
    MemoryDrive* drive_ = nullptr;
    int initFailures_ = 0;
    platform::QueueWindow window_{[this](const platform::Message& message) -> LRESULT {
        if (message.message == WM_ENGINE_INIT_FAILED) ++initFailures_;
        if (message.message == WM_ENGINE_IO_ERROR) LocalFree(reinterpret_cast<void*>(message.lParam));
        return 0;
    }};
};

TEST_F(FileEnumeration, ReturnNothingBeforeAnyDriveIsOpen) {
    FoundFileRecord record{};
    std::uint8_t buffer[512];
    EXPECT_EQ(FileGetNext(), nullptr);
    EXPECT_EQ(FileGetPath(&record), nullptr);
    EXPECT_EQ(FileGetInfo(1, 0), nullptr);
    EXPECT_EQ(FileRead(&record, buffer, 0, 100), 0u);
}

TEST_F(FileEnumeration, ListLookUpAndReadNtfsAndFatVolumes) {
    settings_.DiskNumber = addDrive(test_images::gunzip("ntfs/ntfs-basic.img.gz"), kFileSystemNtfs);
    ASSERT_GT(DriveInitialize(&settings_), 0);
    EXPECT_EQ(engine::state().settings, &settings_);
    EXPECT_TRUE(listAll().contains("E:\\docs\\sub\\deep.txt"));
    FoundFileRecord* info = FileGetInfo(64, 0);  // hello.txt
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(fattest::utf8(info->Name), "hello.txt");
    std::vector<std::uint8_t> buffer(1536);
    EXPECT_EQ(FileRead(info, buffer.data(), 0, 13), 13u);

    settings_.DiskNumber = addDrive(fattest::loadImage("fat12"), kFileSystemFat12);
    ASSERT_GT(DriveInitialize(&settings_), 0);
    auto listed = listAll();
    ASSERT_TRUE(listed.contains("E:\\DOCS\\REPORT.DOC"));
    ASSERT_TRUE(listed.contains("E:\\deleted long name.txt"));
    FoundFileRecord& deleted = listed["E:\\deleted long name.txt"];
    ASSERT_EQ(FileRead(&deleted, buffer.data(), 0, 1200), 1200u);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 1200), fattest::content(900, 1200));
    EXPECT_EQ(FileRead(&deleted, buffer.data(), 0, 0), 0u);
    EXPECT_EQ(FileGetInfo(1, 0), nullptr);  // FAT records are not looked up by number
    EXPECT_EQ(initFailures(), 0);
}

TEST_F(FileEnumeration, AnUnreadableSecondSectorListsAsTheIntactVolume) {
    // Sector 1 is FAT1's first sector on the floppy, FSInfo on FAT32 and boot code on NTFS.
    for (const char* image : {"fat/fat12.img.gz", "fat/fat32.img.gz", "ntfs/ntfs-basic.img.gz"}) {
        SCOPED_TRACE(image);
        const auto sizesListed = [&](bool badSecondSector) {
            auto plan = std::make_shared<platform::FaultPlan>();
            if (badSecondSector) plan->failReads(512, 1024, EIO, -1);
            settings_.DiskNumber =
                engine::state().drives->add(test_support::faultyImageDrive(test_images::gunzip(image), plan));
            EXPECT_GT(DriveInitialize(&settings_), 0);
            std::map<std::string, std::uint64_t> sizes;
            for (const auto& [path, record] : listAll()) sizes[path] = record.Size;
            window_.dispatchPending();  // frees the read-error reports
            return sizes;
        };
        const auto intact = sizesListed(false);
        ASSERT_GT(intact.size(), 10u);
        EXPECT_EQ(sizesListed(true), intact);
    }
}

TEST_F(FileEnumeration, AnUnknownDriveFailsAndPostsInitFailedOnce) {
    settings_.DiskNumber = 57;
    EXPECT_EQ(DriveInitialize(&settings_), 0);
    EXPECT_EQ(initFailures(), 1);
    EXPECT_EQ(FileGetNext(), nullptr);
    settings_.DiskNumber = -1;
    EXPECT_EQ(DriveInitialize(&settings_), 0);
    EXPECT_EQ(initFailures(), 2);
}

TEST_F(FileEnumeration, ADriveWithoutFileSystemListsNothing) {
    settings_.DiskNumber = addDrive(std::vector<std::uint8_t>(4096, 0), kFileSystemNone);
    DriveInitialize(&settings_);
    EXPECT_EQ(FileGetNext(), nullptr);
    FoundFileRecord record{};
    EXPECT_EQ(FileGetPath(&record), nullptr);
}

TEST_F(FileEnumeration, AFatVolumeThatCountsNoEntriesStillLists) {
    settings_.DiskNumber = addDrive(fattest::loadImage("fat12"), kFileSystemFat12);
    std::vector<std::uint8_t>& image = drive_->image();
    // Root region of the floppy: sectors 19..32; hide every entry.
    for (std::size_t at = 19 * 512; at < 33 * 512; at += 32) {
        if (image[at] != 0 && image[at + 11] != 0x0F) image[at + 11] = 0x02;
    }
    // The raw fallback cannot open a drive in memory, so the count stays 0; the reader
    // stays current all the same.
    EXPECT_EQ(DriveInitializeSimple(settings_.DiskNumber), 0);
    EXPECT_NE(FileGetNext(), nullptr);
}

TEST_F(FileEnumeration, ANewDriveInitializeWaitsForReadsInFlight) {
    settings_.DiskNumber = addDrive(fattest::loadImage("fat16"), kFileSystemFat16);
    ASSERT_GT(DriveInitialize(&settings_), 0);
    FoundFileRecord* first = nullptr;
    while (FoundFileRecord* record = FileGetNext()) {
        if (fattest::utf8(record->Name) == "BIG.BIN") {
            first = record;
            break;
        }
    }
    ASSERT_NE(first, nullptr);
    FoundFileRecord big = *first;
    std::atomic<bool> stop = false;
    std::atomic<int> reads = 0;
    std::thread reader([&] {
        std::vector<std::uint8_t> buffer(65536);
        while (!stop) {
            if (FileRead(&big, buffer.data(), 0, buffer.size()) == buffer.size()) ++reads;
        }
    });
    const auto waitForReads = [&](int atLeast) {
        for (int i = 0; i < 5000 && reads.load() < atLeast; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return reads.load();
    };
    const int before = waitForReads(1);
    EXPECT_GT(before, 0);
    for (int i = 0; i < 5; ++i) EXPECT_GT(DriveInitialize(&settings_), 0);
    // Reads go on through the new reader.
    EXPECT_GT(waitForReads(before + 1), before);
    stop = true;
    reader.join();
}

}  // namespace
