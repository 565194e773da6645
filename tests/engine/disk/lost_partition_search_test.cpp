// The lost-partition search thread: its steps, its range, stopping, unreadable sectors,
// and disk images whose partition table was wiped, end to end through the exports.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <thread>

#include "disk_test_support.h"
#include "engine/disk/lost_partition_search.h"
#include "listed_images.h"
#include "platform/fault_injection.h"
#include "platform/text.h"
#include "sparse_disk.h"

namespace {

using disktest::ImmediateWindow;
using disktest::ScopedSettings;

void clearStep(LostSearchRequest& request) { std::atomic_ref<std::int32_t>(request.StepPending).store(0); }

class LostSearchThread : public ::testing::Test {
protected:
    LostSearchRequest request(std::uint64_t start, std::uint64_t end, HWND window) {
        LostSearchRequest r{};
        r.DiskIndex = diskIndex_;
        r.StartSector = start;
        r.EndSector = end;
        r.Window = window;
        return r;
    }
    // A FAT boot sector of a volume of `sectors`; its label differs by place, so none is a backup.
    void fatBootAt(std::uint64_t lba, std::uint16_t sectors) {
        char label[12];
        std::snprintf(label, sizeof label, "AT%-9llu", static_cast<unsigned long long>(lba));
        const disktest::Sector boot = disktest::fatBoot(sectors, 0, label);
        std::memcpy(bytes_->data() + lba * 512, boot.data(), boot.size());
    }
    int install() {
        auto disk = std::make_shared<CDrive>();
        disk->SetSource({kDrivePhysical, "memory-disk", 0, bytes_->size()});
        disk->SetDeviceOpener(platform::faultyOpener(plan_, platform::memoryOpener(bytes_)));
        return drives_.add(std::move(disk));
    }

    ScopedSettings settings_{1};
    std::shared_ptr<std::vector<std::uint8_t>> bytes_ = std::make_shared<std::vector<std::uint8_t>>(1000 * 512, 0);
    std::shared_ptr<platform::FaultPlan> plan_ = std::make_shared<platform::FaultPlan>();
    CStorageArray drives_{4};
    int diskIndex_ = install();
};

TEST_F(LostSearchThread, ReceiverThatKeepsUpGetsOneStepPerSectorToTheRangeOrDiskEnd) {
    const struct {
        std::uint64_t start, end;
        int steps;
        std::uint64_t last;
    } cases[] = {{10, 109, 100, 109}, {900, ~std::uint64_t{0}, 100, 999}, {990, 5000, 10, 999}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        LostSearchRequest r{};
        int steps = 0;
        ImmediateWindow window([&](const platform::Message& message) {
            if (message.message != WM_ENGINE_LOST_SEARCH_STEP) return;
            ++steps;
            EXPECT_EQ(+r.CurrentSector, c.start - 1 + static_cast<unsigned>(steps));
            clearStep(r);
        });
        r = request(c.start, c.end, window.handle());
        EXPECT_EQ(engine::lost::LostSearch(drives_, r), 1);
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(+r.Run, 0);
        EXPECT_EQ(+r.CurrentSector, c.last);
    }
}

TEST_F(LostSearchThread, StepsWaitingInTheQueueAreNotRepeated) {
    platform::QueueWindow window([](const platform::Message&) { return LRESULT{0}; });
    LostSearchRequest r = request(0, 499, window.handle());
    engine::lost::LostSearch(drives_, r);
    EXPECT_EQ(window.dispatchPending(), 1u);
    EXPECT_EQ(+r.StepPending, 1);
}

TEST_F(LostSearchThread, CallerStopsTheSearchByClearingRun) {
    int steps = 0;
    LostSearchRequest r{};
    ImmediateWindow window([&](const platform::Message&) {
        if (++steps == 5) std::atomic_ref<std::int32_t>(r.Run).store(0);
        clearStep(r);
    });
    fatBootAt(500, 100);
    r = request(0, 0, window.handle());
    EXPECT_EQ(engine::lost::LostSearch(drives_, r), 1);
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(+r.CurrentSector, 4u);
}

TEST_F(LostSearchThread, UnreadableSectorIsSkippedAndFoundVolumesReadThroughTheirDisk) {
    fatBootAt(20, 100);
    fatBootAt(300, 100);
    std::memcpy(bytes_->data() + 301 * 512, "second sector", 13);
    plan_->failReads(10 * 512, 11 * 512, EIO, -1);
    LostSearchRequest r = request(0, 0, 0);
    EXPECT_EQ(engine::lost::LostSearch(drives_, r), 3);
    const _LDRIVE* first = drives_.DiskGetInformation(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(+first->Kind, kDriveLostPartition);
    EXPECT_EQ(+first->Id, 1);
    EXPECT_EQ(+first->ParentId, diskIndex_);
    EXPECT_EQ(+first->BaseOffset, 20u * 512);
    EXPECT_EQ(+first->TotalSectors, 100u);
    EXPECT_EQ(+first->FileSystemCode, kFileSystemFat16);
    EXPECT_EQ(+drives_.DiskGetInformation(2)->BaseOffset, 300u * 512);

    std::shared_ptr<CDrive> second = drives_.share(2);
    second->SetDeviceOpener(platform::memoryOpener(bytes_));
    char sector[512];
    ASSERT_EQ(second->ReadSectors(1, 1, sector), 512u);
    EXPECT_EQ(std::string(sector, 13), "second sector");
    EXPECT_EQ(second->ReadSectors(100, 1, sector), 0u);  // past its end
    r = request(0, 0, 0);
    EXPECT_EQ(engine::lost::LostSearch(drives_, r), 3);  // a second search finds nothing new
}

TEST(LostSearchOfALargeDisk, ASparseDiskOf2TiBShowsProgressAndStopsWhenAsked) {
    ScopedSettings settings{1};
    disktest::TempFile file;
    const std::uint64_t bytes = std::uint64_t{2} << 40;
    ASSERT_TRUE(file.resize(bytes));
    CStorageArray drives{4};
    auto disk = std::make_shared<CDrive>();
    disk->SetSource({kDrivePhysical, file.path(), 0, bytes});
    LostSearchRequest r{};
    r.DiskIndex = drives.add(std::move(disk));
    r.EndSector = ~std::uint64_t{0};
    std::atomic<int> steps{0};
    ImmediateWindow window([&](const platform::Message&) {
        ++steps;
        clearStep(r);
    });
    r.Window = window.handle();
    HANDLE thread = engine::lost::StartLostSearch(drives, &r);
    ASSERT_NE(thread, nullptr);
    std::atomic_ref<std::uint64_t> current(r.CurrentSector);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (current.load() < 100000 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_GE(current.load(), 100000u);
    const auto stopped = std::chrono::steady_clock::now();
    std::atomic_ref<std::int32_t>(r.Run).store(0);
    EXPECT_EQ(disktest::waitForThread(thread), 1u);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(5));
    EXPECT_GE(steps.load(), 100000);
    EXPECT_LT(current.load(), bytes / 512 - 1);
}

// Disk images whose MBR was zeroed, searched through the export.
class WipedTable : public disktest::ListedImages {
protected:
    void listImage(const std::string& name) {
        ASSERT_EQ(rescan(unpack(name)).first, 2u);  // the disk, and the disk read whole as a volume
    }
    static DWORD search() {
        LostSearchRequest r{};
        r.EndSector = ~std::uint64_t{0};
        return disktest::waitForThread(DrivesLostSearch(&r));
    }
    // Names of the entries of the drive's file system.
    static std::set<std::string> fileNames(int index) {
        EXPECT_GT(DriveInitializeSimple(index), 0);
        std::set<std::string> names;
        while (FoundFileRecord* record = FileGetNext())
            if (record->Name) names.insert(platform::toUtf8(record->Name));
        return names;
    }
    static void expectRegion(int index, std::uint64_t first, std::uint64_t sectors, std::int32_t fileSystem) {
        const _LDRIVE* info = DriveGetInformation(index);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(+info->Kind, kDriveLostPartition);
        EXPECT_EQ(+info->Id, index);
        EXPECT_EQ(+info->ParentId, 0);
        EXPECT_EQ(+info->BaseOffset, first * 512);
        EXPECT_EQ(+info->TotalSectors, sectors);
        EXPECT_EQ(+info->FileSystemCode, fileSystem);
    }
};

TEST_F(WipedTable, PrimaryPartitionsComeBackFromTheirBootSectors) {
    listImage("lost_primary.img");
    EXPECT_EQ(search(), 4u);
    expectRegion(2, 2048, 8192, kFileSystemFat16);
    expectRegion(3, 10240, 12288, kFileSystemNtfs);
    const std::set<std::string> fat = fileNames(2);
    for (const char* name : {"hello.txt", "numbers.txt", "inner.txt"}) EXPECT_TRUE(fat.count(name)) << name;
    const std::set<std::string> ntfs = fileNames(3);
    for (const char* name : {"hello.txt", "numbers.txt"}) EXPECT_TRUE(ntfs.count(name)) << name;

    // The found partitions survive a rescan, and searching again adds nothing.
    engine::releaseFileReaders();
    ASSERT_EQ(disktest::waitForThread(DrivesRescan(0)), 4u);
    expectRegion(2, 2048, 8192, kFileSystemFat16);
    EXPECT_EQ(search(), 4u);
}

TEST_F(WipedTable, LogicalPartitionEndingAtTheDiskEndIsFoundThroughItsChain) {
    listImage("lost_logical.img");
    EXPECT_EQ(search(), 4u);
    expectRegion(2, 2048, 8192, kFileSystemFat16);
    expectRegion(3, 12288, 20480, kFileSystemNtfs);
    EXPECT_TRUE(fileNames(3).count("numbers.txt"));
}

}  // namespace
