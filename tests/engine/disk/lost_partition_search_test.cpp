// The lost-partition search thread: its steps, its range, stopping, unreadable sectors,
// and disk images whose partition table was wiped, end to end through the exports.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "disk_test_support.h"
#include "engine/disk/listed_disks.h"
#include "engine/disk/lost_partition_search.h"
#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/messages.h"
#include "platform/fault_injection.h"
#include "platform/handles.h"
#include "platform/messages.h"
#include "platform/text.h"

namespace {

using disktest::ScopedSettings;

// Handles each post at once on the posting thread, as a receiver that keeps up would.
class ImmediateWindow {
public:
    explicit ImmediateWindow(std::function<void(const platform::Message&)> handler)
        : receiver_(std::make_shared<Receiver>(std::move(handler))), handle_(platform::registerWindow(receiver_)) {}
    ~ImmediateWindow() { platform::unregisterWindow(handle_); }
    HWND handle() const { return handle_; }

private:
    struct Receiver : platform::WindowReceiver {
        explicit Receiver(std::function<void(const platform::Message&)> h) : handler(std::move(h)) {}
        bool post(const platform::Message& message) override {
            handler(message);
            return true;
        }
        std::optional<LRESULT> send(const platform::Message& message) override {
            handler(message);
            return 0;
        }
        std::function<void(const platform::Message&)> handler;
    };
    std::shared_ptr<Receiver> receiver_;
    HWND handle_;
};

void clearStep(LostSearchRequest& request) { std::atomic_ref<std::int32_t>(request.StepPending).store(0); }

// A disk in memory, with FAT boot sectors where asked, in a drive array of its own.
struct MemoryDisk {
    explicit MemoryDisk(std::uint64_t sectors)
        : bytes(std::make_shared<std::vector<std::uint8_t>>(sectors * 512, 0)),
          plan(std::make_shared<platform::FaultPlan>()) {}

    void fatBootAt(std::uint64_t lba, std::uint16_t sectors) {
        std::uint8_t* s = bytes->data() + lba * 512;
        s[0] = 0xEB; s[1] = 0x3C; s[2] = 0x90;
        std::memcpy(s + 3, "mkfs.fat", 8);
        s[11] = 0x00; s[12] = 0x02; s[13] = 1; s[14] = 1; s[16] = 2; s[21] = 0xF8;
        std::memcpy(s + 19, &sectors, 2);
        std::memcpy(s + 54, "FAT16   ", 8);
        s[43] = static_cast<std::uint8_t>(lba);  // boot sectors differ, so none is a backup
        s[510] = 0x55; s[511] = 0xAA;
    }
    int install(CStorageArray& drives) {
        auto disk = std::make_shared<CDrive>();
        disk->SetSource({kDrivePhysical, "memory-disk", 0, bytes->size()});
        disk->SetDeviceOpener(platform::faultyOpener(plan, platform::memoryOpener(bytes)));
        return drives.add(std::move(disk));
    }

    std::shared_ptr<std::vector<std::uint8_t>> bytes;
    std::shared_ptr<platform::FaultPlan> plan;
};

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

    ScopedSettings settings_{1};
    MemoryDisk disk_{1000};
    CStorageArray drives_{4};
    int diskIndex_ = disk_.install(drives_);
};

TEST_F(LostSearchThread, ReceiverThatKeepsUpGetsOneStepPerSector) {
    LostSearchRequest r{};
    int steps = 0;
    ImmediateWindow window([&](const platform::Message& message) {
        if (message.message != WM_ENGINE_LOST_SEARCH_STEP) return;
        ++steps;
        EXPECT_EQ(+r.CurrentSector, 9u + static_cast<unsigned>(steps));
        clearStep(r);
    });
    r = request(10, 109, window.handle());
    EXPECT_EQ(engine::lost::LostSearch(drives_, r), 1);
    EXPECT_EQ(steps, 100);
    EXPECT_EQ(+r.Run, 0);
    EXPECT_EQ(+r.CurrentSector, 109u);
}

TEST_F(LostSearchThread, StepsWaitingInTheQueueAreNotRepeated) {
    int handled = 0;
    platform::QueueWindow window([&](const platform::Message&) {
        ++handled;
        return LRESULT{0};
    });
    LostSearchRequest r = request(0, 499, window.handle());
    engine::lost::LostSearch(drives_, r);
    EXPECT_EQ(window.dispatchPending(), 1u);
    EXPECT_EQ(+r.StepPending, 1);
}

TEST_F(LostSearchThread, EndOfAllOnesSearchesToTheLastSector) {
    int steps = 0;
    LostSearchRequest r{};
    ImmediateWindow window([&](const platform::Message&) {
        ++steps;
        clearStep(r);
    });
    r = request(900, ~std::uint64_t{0}, window.handle());
    engine::lost::LostSearch(drives_, r);
    EXPECT_EQ(steps, 100);
    EXPECT_EQ(+r.CurrentSector, 999u);
    // An end past the disk stops at its last sector too.
    steps = 0;
    r = request(990, 5000, window.handle());
    engine::lost::LostSearch(drives_, r);
    EXPECT_EQ(steps, 10);
}

TEST_F(LostSearchThread, CallerStopsTheSearchByClearingRun) {
    int steps = 0;
    LostSearchRequest r{};
    ImmediateWindow window([&](const platform::Message&) {
        if (++steps == 5) std::atomic_ref<std::int32_t>(r.Run).store(0);
        clearStep(r);
    });
    disk_.fatBootAt(500, 100);
    r = request(0, 0, window.handle());
    EXPECT_EQ(engine::lost::LostSearch(drives_, r), 1);
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(+r.CurrentSector, 4u);
}

TEST_F(LostSearchThread, DiskOutsideTheArrayDoesNothing) {
    LostSearchRequest r = request(0, 10, 0);
    r.DiskIndex = 7;
    r.Run = 5;
    EXPECT_EQ(engine::lost::LostSearch(drives_, r), 1);
    EXPECT_EQ(+r.Run, 5);
    EXPECT_EQ(+r.CurrentSector, 0u);
}

TEST_F(LostSearchThread, UnreadableSectorIsSkippedAndItsNeighboursStillCount) {
    disk_.fatBootAt(20, 100);
    disk_.fatBootAt(300, 100);
    disk_.plan->failReads(10 * 512, 11 * 512, EIO, -1);
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
}

TEST_F(LostSearchThread, FoundVolumeReadsThroughItsDisk) {
    disk_.fatBootAt(600, 200);
    std::memcpy(disk_.bytes->data() + 601 * 512, "second sector", 13);
    LostSearchRequest r = request(0, 0, 0);
    ASSERT_EQ(engine::lost::LostSearch(drives_, r), 2);
    std::shared_ptr<CDrive> found = drives_.share(1);
    found->SetDeviceOpener(platform::memoryOpener(disk_.bytes));
    char sector[512];
    ASSERT_EQ(found->ReadSectors(1, 1, sector), 512u);
    EXPECT_EQ(std::string(sector, 13), "second sector");
    EXPECT_EQ(found->ReadSectors(200, 1, sector), 0u);  // past its end
    // A second search over the same disk finds nothing new.
    r = request(0, 0, 0);
    EXPECT_EQ(engine::lost::LostSearch(drives_, r), 2);
}

// Disk images whose MBR was zeroed, named in UNDELETE_DISKS, searched through the export.
class WipedTable : public ::testing::Test {
protected:
    void SetUp() override {
        const char* data = std::getenv("UNDELETE_TEST_DATA");
        if (!data) GTEST_SKIP() << "UNDELETE_TEST_DATA is not set";
        data_ = std::filesystem::path(data) / "disks";
        work_ = std::filesystem::temp_directory_path() / ("lost-" + std::to_string(::getpid()));
        std::filesystem::create_directories(work_);
        ASSERT_EQ(Library_Initialize(u"\\Software\\Test"), 1);
    }
    void TearDown() override {
        engine::releaseFileReaders();
        ::unsetenv(engine::kListedDisksVariable);
        if (!work_.empty()) std::filesystem::remove_all(work_);
    }

    void listImage(const std::string& name) {
        const std::string target = (work_ / name).string();
        const std::string command = "gzip -dc '" + (data_ / (name + ".gz")).string() + "' > '" + target + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        ::setenv(engine::kListedDisksVariable, target.c_str(), 1);
        ASSERT_EQ(waitFor(DrivesRescan(0)), 2u);  // the disk, and the disk read whole as a volume
    }
    static DWORD waitFor(HANDLE thread) {
        EXPECT_NE(thread, nullptr);
        EXPECT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        return code;
    }
    DWORD search() {
        LostSearchRequest r{};
        r.EndSector = ~std::uint64_t{0};
        return waitFor(DrivesLostSearch(&r));
    }
    // "path\name" of every named entry of the drive's file system.
    static std::set<std::string> listFiles(int index) {
        std::set<std::string> names;
        EXPECT_GT(DriveInitializeSimple(index), 0);
        while (FoundFileRecord* record = FileGetNext()) {
            if (!record->Name) continue;
            const char16_t* path = FileGetPath(record);
            names.insert(platform::toUtf8(path ? path : u"") + platform::toUtf8(record->Name));
        }
        return names;
    }
    static void expectRegion(int index, std::uint64_t first, std::uint64_t sectors) {
        const _LDRIVE* info = DriveGetInformation(index);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(+info->Kind, kDriveLostPartition);
        EXPECT_EQ(+info->Id, index);
        EXPECT_EQ(+info->ParentId, 0);
        EXPECT_EQ(+info->BaseOffset, first * 512);
        EXPECT_EQ(+info->TotalSectors, sectors);
    }
    static bool listsFile(const std::set<std::string>& names, const std::string& tail) {
        for (const std::string& name : names)
            if (name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0) return true;
        return false;
    }

    std::filesystem::path data_;
    std::filesystem::path work_;
};

TEST_F(WipedTable, PrimaryPartitionsComeBackFromTheirBootSectors) {
    listImage("lost_primary.img");
    EXPECT_EQ(search(), 4u);
    expectRegion(2, 2048, 8192);
    expectRegion(3, 10240, 12288);

    const std::set<std::string> fat = listFiles(2);
    EXPECT_TRUE(listsFile(fat, "hello.txt"));
    EXPECT_TRUE(listsFile(fat, "numbers.txt"));
    EXPECT_TRUE(listsFile(fat, "inner.txt"));
    EXPECT_EQ(+DriveGetInformation(2)->FileSystemCode, kFileSystemFat16);
    const std::set<std::string> ntfs = listFiles(3);
    EXPECT_TRUE(listsFile(ntfs, "hello.txt"));
    EXPECT_TRUE(listsFile(ntfs, "numbers.txt"));

    // The found partitions survive a rescan, and searching again adds nothing.
    engine::releaseFileReaders();
    ASSERT_EQ(waitFor(DrivesRescan(0)), 4u);
    expectRegion(2, 2048, 8192);
    EXPECT_EQ(search(), 4u);
}

TEST_F(WipedTable, LogicalPartitionEndingAtTheDiskEndIsFoundThroughItsChain) {
    listImage("lost_logical.img");
    EXPECT_EQ(search(), 4u);
    expectRegion(2, 2048, 8192);
    expectRegion(3, 12288, 20480);
    EXPECT_EQ(+DriveGetInformation(3)->FileSystemCode, kFileSystemNtfs);
    EXPECT_TRUE(listsFile(listFiles(3), "numbers.txt"));
}

}  // namespace
