#include "engine/disk/storage_array.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <future>
#include <string>
#include <thread>

#include "disk_test_support.h"
#include "../support/log_capture.h"
#include "engine/log.h"
#include "engine/messages.h"

namespace {

using namespace std::chrono_literals;

platform::DiskDevice disk(const std::string& path) {
    return {.name = path, .path = path, .bytes = 1u << 20, .driveType = 3, .ready = true};
}

platform::VolumeDevice volume(const std::string& path, std::size_t diskIndex, char letter,
                              std::uint64_t offset = 0) {
    return {.name = path,
            .path = path,
            .disk = diskIndex,
            .baseOffset = offset,
            .bytes = 4096,
            .letter = letter,
            .driveType = 2,
            .ready = true,
            .mountPoint = "/media/" + std::string(1, letter)};
}

// Two disks with three volumes.
platform::DeviceList machine() {
    platform::DeviceList list;
    // The second disk is a card reader without a card.
    list.disks = {disk("/dev/sda"),
                  {.name = "/dev/sdb", .path = "/dev/sdb", .bytes = 0, .driveType = 2, .ready = false}};
    list.volumes = {volume("/dev/sda1", 0, 'C'), volume("/dev/sda2", 0, 'D'), volume("/dev/sdb", 1, 'E')};
    return list;
}

// The query stand-in marks the record so a test sees whether it was adopted.
void markingQuery(CDrive& drive) { std::strcpy(drive.GetDriveInfo()->Label, "queried"); }

// Rescans on the array's thread: its exit code and the drive-found letters it posted.
std::pair<DWORD, std::string> runRescan(CStorageArray& array) {
    std::string letters;
    platform::QueueWindow window([&](const platform::Message& message) {
        if (message.message == WM_ENGINE_DRIVE_FOUND) letters += static_cast<char>(message.lParam);
        return LRESULT{0};
    });
    const DWORD code = disktest::waitForThread(array.StartRescan(window.handle()));
    window.dispatchPending();
    return {code, letters};
}

TEST(StorageArrayRescan, DisksThenVolumesEachAnnouncedOnceExitCodeIsTheCount) {
    CStorageArray array(100, machine, markingQuery);
    EXPECT_EQ(runRescan(array), (std::pair<DWORD, std::string>{5, "01CDE"}));
    ASSERT_EQ(array.count(), 5);

    for (int i = 0; i < 5; ++i) {
        const _LDRIVE& info = *array.drive(i)->GetDriveInfo();
        EXPECT_EQ(+info.Id, i);
        EXPECT_STREQ(info.Label, "queried");
    }
    const _LDRIVE& disk1 = *array.drive(1)->GetDriveInfo();
    EXPECT_EQ(+disk1.Kind, kDrivePhysical);
    EXPECT_EQ(+disk1.Letter, '1');
    EXPECT_EQ(+disk1.ParentId, -1);
    EXPECT_STREQ(disk1.Description, "Drive 1");
    // Physical disks are fixed and ready, whatever the reader holds.
    EXPECT_EQ(+disk1.DriveType, 3u);
    EXPECT_EQ(+disk1.Ready, 1);
    const _LDRIVE& e = *array.drive(4)->GetDriveInfo();
    EXPECT_EQ(+e.Kind, kDriveVolume);
    EXPECT_EQ(+e.Letter, 'E');
    EXPECT_EQ(+e.ParentId, 1);
    EXPECT_EQ(+e.DriveType, 2u);
    EXPECT_EQ(+e.Ready, 1);
    EXPECT_STREQ(e.Description, "");  // never the mount point
    EXPECT_EQ(array.drive(3)->GetPhysicalPath(), u"/dev/sda");
    EXPECT_EQ(array.drive(4)->GetPhysicalPath(), u"/dev/sdb");
    EXPECT_EQ(array.drive(1)->GetPhysicalPath(), u"/dev/sdb");
}

TEST(StorageArrayLookups, ByLetterIndexAndParent) {
    CStorageArray array(100, machine, markingQuery);
    array.Rescan();
    EXPECT_EQ(array.FindByLetter("e"), 4);
    EXPECT_EQ(array.FindByLetter("C:\\"), 2);
    EXPECT_EQ(array.FindByLetter("1"), 1);
    EXPECT_EQ(array.FindByLetter("q"), -1);
    EXPECT_EQ(array.FindByLetter(nullptr), -1);
    EXPECT_EQ(array.FindParent(array.drive(3)), array.drive(0));
    EXPECT_EQ(array.FindParent(array.drive(0)), nullptr);
    EXPECT_EQ(array.FindParent(nullptr), nullptr);
}

TEST(StorageArrayLookups, IndexesOutsideTheListAreRefusedAndUnletteredVolumesLogged) {
    test_support::LogCapture log;
    CStorageArray array(100, [] {
        platform::DeviceList list = machine();
        list.unlettered = {"sdz7"};
        return list;
    }, markingQuery);
    EXPECT_EQ(array.Rescan(), 5);
    EXPECT_EQ(log.count("W.CStorageArray.Rescan: no drive letter left for sdz7"), 1u);
    EXPECT_EQ(array.DiskGetInformation(5), nullptr);
    EXPECT_EQ(log.count("W.DiskGetInformation: DiskNumber >= Total disks\n"), 1u);
    EXPECT_EQ(array.DiskGetInformation(-1), nullptr);
    EXPECT_EQ(array.DiskGetInformationEx(-1), nullptr);
    EXPECT_EQ(array.DiskGetInformationEx(5), nullptr);
    EXPECT_EQ(array.DiskInitialize(-1), nullptr);
    EXPECT_EQ(array.DiskInitialize(5), nullptr);
    EXPECT_EQ(log.count("E.DiskInitialize: DiskNumber >= Total disks"), 1u);
    EXPECT_EQ(array.drive(-1), nullptr);
    EXPECT_EQ(array.share(5), nullptr);
    EXPECT_NE(array.DiskGetInformation(4), nullptr);
}

std::shared_ptr<CDrive> keptDrive(std::int32_t kind, std::int32_t parentId) {
    auto drive = std::make_shared<CDrive>();
    drive->GetDriveInfo()->Kind = kind;
    drive->GetDriveInfo()->ParentId = parentId;
    return drive;
}

TEST(StorageArrayRescan, ImagesAndLostPartitionsSurviveWithNewIdsAndParents) {
    bool firstDiskAttached = true;
    CStorageArray array(100, [&] {
        platform::DeviceList list = machine();
        if (!firstDiskAttached) {
            list.disks.erase(list.disks.begin());
            list.volumes = {volume("/dev/sdb", 0, 'E')};
        }
        return list;
    }, markingQuery);
    array.Rescan();
    auto image = keptDrive(kDriveImage, -1);
    array.add(image);                                   // Id 5
    array.add(keptDrive(kDriveRegion, 1));              // dropped by a rescan
    array.add(keptDrive(kDriveLostPartition, 1));       // found on /dev/sdb
    array.add(keptDrive(kDriveLostPartition, 5));       // found inside the image
    ASSERT_EQ(array.count(), 9);
    EXPECT_EQ(+image->GetDriveInfo()->Id, 5);

    firstDiskAttached = false;  // /dev/sda is gone: /dev/sdb becomes disk 0
    ASSERT_EQ(array.Rescan(), 5);
    EXPECT_EQ(array.drive(2), image.get());
    for (int i = 0; i < array.count(); ++i) EXPECT_EQ(+array.drive(i)->GetDriveInfo()->Id, i);
    EXPECT_EQ(+array.drive(3)->GetDriveInfo()->Kind, kDriveLostPartition);
    EXPECT_EQ(+array.drive(3)->GetDriveInfo()->ParentId, 0);  // followed /dev/sdb
    EXPECT_EQ(+array.drive(4)->GetDriveInfo()->ParentId, 2);  // followed the image
    EXPECT_EQ(array.FindParent(array.drive(4)), image.get());
}

TEST(StorageArrayRescan, DriveInUseOutlivesTheRescanThatDropsIt) {
    CStorageArray array(100, machine, markingQuery);
    array.Rescan();
    std::shared_ptr<CDrive> current = array.DiskInitialize(2);
    ASSERT_NE(current, nullptr);
    array.Rescan();
    EXPECT_NE(array.drive(2), current.get());
    EXPECT_EQ(+current->GetDriveInfo()->Letter, 'C');  // still a live object (ASan would object)
    EXPECT_EQ(current.use_count(), 1);
}

TEST(StorageArrayQueries, SlowQueryLeavesDefaultsAndNeverWritesLater) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> slowDone{false};
    {
        CStorageArray array(100, machine, [&](CDrive& drive) {
            if (drive.GetDriveInfo()->Letter == 'D') {
                released.wait();
                std::strcpy(drive.GetDriveInfo()->Label, "late");
                slowDone = true;
                return;
            }
            markingQuery(drive);
        }, 3s);  // the rescan waits this long for the slow query; the others never do
        EXPECT_EQ(array.Rescan(), 5);  // returns although the slow query never ends by itself
        EXPECT_STREQ(array.drive(2)->GetDriveInfo()->Label, "queried");
        const CDrive* slow = array.drive(3);
        EXPECT_STREQ(slow->GetDriveInfo()->Label, "");
        EXPECT_EQ(+slow->GetDriveInfo()->Letter, 'D');
        EXPECT_EQ(+slow->GetDriveInfo()->Ready, 1);

        release.set_value();
        while (!slowDone) std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(20ms);
        EXPECT_STREQ(slow->GetDriveInfo()->Label, "");
        // A later rescan reaps the finished straggler; its own run is not slowed.
        EXPECT_EQ(array.Rescan(), 5);
        EXPECT_STREQ(array.drive(3)->GetDriveInfo()->Label, "late");
    }
}

TEST(StorageArrayQueries, ArrayDestroyedWhileAQueryRunsWaitsForIt) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> queryEnded{false};
    auto array = std::make_unique<CStorageArray>(100, machine, [&](CDrive& drive) {
        if (drive.GetDriveInfo()->Letter != '0') return;
        released.wait();
        queryEnded = true;
    }, 10ms);
    array->Rescan();
    EXPECT_FALSE(queryEnded);
    // Let go while the array is (most likely) being destroyed; earlier proves less, never wrong.
    std::thread releaser([&] {
        std::this_thread::sleep_for(50ms);
        release.set_value();
    });
    array.reset();  // joins the late query instead of leaving it to write into freed memory
    EXPECT_TRUE(queryEnded);
    releaser.join();
}

TEST(StorageArrayConcurrency, AppendDuringRescanIsKept) {
    std::promise<void> inQuery;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> signalled{false};
    CStorageArray array(100, machine, [&](CDrive& drive) {
        if (drive.GetDriveInfo()->Letter == '0') {
            if (!signalled.exchange(true)) inQuery.set_value();
            released.wait();
        }
    }, 10s);
    std::thread rescan([&] { array.Rescan(); });
    inQuery.get_future().wait();
    array.add(keptDrive(kDriveImage, -1));
    release.set_value();
    rescan.join();
    ASSERT_EQ(array.count(), 6);
    EXPECT_EQ(+array.drive(5)->GetDriveInfo()->Kind, kDriveImage);
    EXPECT_EQ(+array.drive(5)->GetDriveInfo()->Id, 5);
}

TEST(StorageArrayConcurrency, ReadersDuringRescansSeeAConsistentList) {
    CStorageArray array(100, machine, markingQuery, 1s);
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop) {
            const int n = array.count();
            for (int i = 0; i < n + 1; ++i) {
                std::shared_ptr<CDrive> drive = array.share(i);
                if (drive) {
                    EXPECT_GE(+drive->GetDriveInfo()->Id, 0);
                }
            }
            array.FindByLetter("d");
        }
    });
    for (int i = 0; i < 20; ++i) array.Rescan();
    stop = true;
    reader.join();
    EXPECT_EQ(array.count(), 5);
}

}  // namespace
