#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "disk_test_support.h"
#include "engine/disk/blocks_map.h"
#include "engine/disk/drive.h"
#include "engine/disk/volume.h"
#include "engine/disk/volume_flags.h"
#include "platform/fault_injection.h"
#include "platform/handles.h"

namespace {

using disktest::numberedSectors;
using disktest::ReportWindow;
using disktest::ScopedSettings;
using disktest::sectorNumberAt;
using disktest::TempFile;

constexpr std::uint64_t kMiB = 1 << 20;

TEST(Volume, OnlyReadsThroughTheParentAddThePartitionStart) {
    ScopedSettings settings;
    for (const bool throughParent : {true, false}) {
        CVolume volume(CVolume::kLetteredVolume, throughParent ? "disk-image" : "/dev/sdz1");
        volume.SetDeviceOpener(platform::memoryOpener(numberedSectors((throughParent ? 4 : 2) * kMiB / 512)));
        volume.SetPartition(kMiB, 2 * kMiB, 0x06, throughParent);
        std::vector<std::uint8_t> buffer(512);
        EXPECT_EQ(volume.ReadSectors(3, 1, buffer.data()), 512u) << throughParent;
        EXPECT_EQ(sectorNumberAt(buffer.data()), (throughParent ? kMiB / 512 : 0) + 3);
        EXPECT_EQ(volume.GetSize(), 2 * kMiB);
    }
}

TEST(Volume, InitializeParsesTheBootSectorAndReadsAreClampedToTheSectorCount) {
    ScopedSettings settings;
    auto image = numberedSectors(64);
    std::memcpy(image->data() + 3, "NTFS    ", 8);
    CVolume volume(CVolume::kFile, "file");
    volume.SetDeviceOpener(platform::memoryOpener(image));
    ASSERT_EQ(volume.Initialize(), 64u);
    EXPECT_EQ(volume.boot().fileSystemId(), kFileSystemNtfs);
    // An unreadable sector 1 leaves the boot sector readable.
    auto plan = std::make_shared<platform::FaultPlan>();
    plan->failReads(512, 1024, EIO, -1);
    CVolume failing(CVolume::kFile, "file");
    failing.SetDeviceOpener(platform::faultyOpener(plan, platform::memoryOpener(image)));
    ASSERT_EQ(failing.Initialize(), 64u);
    EXPECT_EQ(failing.boot().fileSystemId(), kFileSystemNtfs);
    std::vector<std::uint8_t> buffer(4 * 512);
    EXPECT_EQ(volume.ReadSectors(63, 4, buffer.data()), 512u);
    EXPECT_EQ(volume.ReadSectors(64, 4, buffer.data()), 0u);
    EXPECT_EQ(volume.ReadSectors(0, 0, buffer.data()), 0u);
    EXPECT_EQ(volume.GetSize(), 64u * 512);
}

TEST(Volume, FailedAttemptsAreReportedWithTheirNumberAndPosition) {
    ReportWindow window;
    ScopedSettings settings(2, 30, window.handle());
    auto plan = std::make_shared<platform::FaultPlan>();
    plan->failReads(0, UINT64_MAX, EIO, -1);
    disktest::PauseLog pauses;
    CVolume volume(CVolume::kLetteredVolume, "disk-image");
    volume.SetDeviceOpener(platform::faultyOpener(plan, platform::memoryOpener(numberedSectors(64))));
    volume.SetSleeper(pauses.sleeper());
    volume.SetPartition(8 * 512, 32 * 512, 0x0C, true);
    std::vector<std::uint8_t> buffer(512);
    EXPECT_EQ(volume.ReadSectors(1, 1, buffer.data()), 0u);
    ASSERT_EQ(window.reports().size(), 2u);
    EXPECT_EQ(+window.reports()[1].Attempt, 2u);
    EXPECT_EQ(+window.reports()[1].Position, 9u * 512);
    EXPECT_EQ(pauses.pauses.size(), 2u);
}

TEST(Volume, ImageVolumeReadsThroughAHandleOfItsOwn) {
    ScopedSettings settings;
    auto image = numberedSectors(64);
    CDrive drive;
    drive.SetSource({kDriveImage, "image", 0, image->size()});
    drive.SetDeviceOpener(platform::memoryOpener(image));
    ASSERT_TRUE(drive.OpenDrive());

    CVolume volume(CVolume::kImage, "", &drive);
    volume.SetPartition(16 * 512, 16 * 512, 0x07, false);  // through the image regardless
    std::vector<std::uint8_t> buffer(512);
    EXPECT_EQ(volume.ReadSectors(2, 1, buffer.data()), 512u);
    EXPECT_EQ(sectorNumberAt(buffer.data()), 18u);
    volume.Close();
    EXPECT_TRUE(drive.isOpen());
    volume.QueryInformation();
    EXPECT_TRUE(volume.ready());
    EXPECT_FALSE(volume.Lock(true));

    CDrive closed;
    CVolume ofClosed(CVolume::kImage, "", &closed);
    EXPECT_FALSE(ofClosed.Open());
    EXPECT_EQ(ofClosed.Initialize(), 0u);
}

TEST(Volume, LockHoldsAnExclusiveClaimUntilUnlock) {
    TempFile file;
    ASSERT_TRUE(file.resize(64 * 512));
    CVolume first(CVolume::kFile, file.path());
    CVolume second(CVolume::kFile, file.path());
    ASSERT_TRUE(first.Lock(true));
    EXPECT_TRUE(first.isLocked());
    EXPECT_FALSE(second.Lock(true));
    EXPECT_TRUE(first.Open());  // shared reads stay possible for the holder
    EXPECT_TRUE(first.Lock(false));
    EXPECT_FALSE(first.isLocked());
    EXPECT_TRUE(second.Lock(true));
    EXPECT_TRUE(second.Lock(false));
    EXPECT_FALSE(second.Lock(false));
}

// A 4 MiB file holding, from 1 MiB on, a volume whose boot sector announces FAT16.
TEST(Volume, QueryThreadFillsTheVolumeAndDestructionWaitsForIt) {
    ScopedSettings settings;
    TempFile file;
    std::vector<std::uint8_t> boot(512, 0);
    std::memcpy(&boot[54], "FAT16   ", 8);
    std::memcpy(&boot[43], "DATA       ", 11);
    ASSERT_TRUE(file.resize(4 * kMiB) && file.writeAt(kMiB, boot.data(), boot.size()));
    CVolume volume(CVolume::kLetteredVolume, file.path());
    volume.SetPartition(kMiB, 2 * kMiB, 0x04, true);
    HANDLE thread = volume.StartQueryThread();
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_FALSE(volume.queryRunning());
    EXPECT_EQ(volume.fileSystemCode(), kFileSystemFat16);
    EXPECT_EQ(volume.sectorCount(), 2 * kMiB / 512);
    EXPECT_FALSE(volume.ready());  // not mounted
    EXPECT_EQ(volume.label(), u"DATA");  // no root folder to read: the boot sector's
    EXPECT_EQ(volume.fileSystemFlags(), 0x6u);
    // A read-only mount shows as the read-only volume bit, never as a Linux mount flag.
    EXPECT_EQ(engine::disk::volumeFlagsOf(kFileSystemFat16, true), 0x80006u);

    for (int i = 0; i < 20; ++i) {
        auto racing = std::make_unique<CVolume>(CVolume::kLetteredVolume, file.path());
        HANDLE started = racing->StartQueryThread();
        ASSERT_NE(started, nullptr);
        racing.reset();  // waits for the query still running
        CloseHandle(started);
    }
}

TEST(BlocksLayer, AddressesTheFirstSectorOfEachBlockInAMapOfOneBitPerSector) {
    ScopedSettings settings;
    CVolume volume(CVolume::kFile, "file");
    volume.SetDeviceOpener(platform::memoryOpener(numberedSectors(64)));
    ASSERT_EQ(volume.Initialize(), 64u);
    CBlocksMap map;
    EXPECT_FALSE(map.GetBit(0));
    CVolume empty(CVolume::kFile, "file");
    EXPECT_FALSE(map.Init(empty));
    ASSERT_TRUE(map.Init(volume));

    CBlocksLayer layer(4096, 8, &map);
    EXPECT_EQ(layer.sectorsPerBlock(), 8u);
    EXPECT_EQ(layer.GetTotalBlocks(), 8u);
    EXPECT_EQ(layer.SetBlockState(3, true), kBlockOk);
    EXPECT_TRUE(map.GetBit(24));
    EXPECT_EQ(layer.GetBlockState(3), 1);
    EXPECT_EQ(layer.GetBlockState(2), 0);
    EXPECT_FALSE(map.GetBit(23));
    EXPECT_EQ(layer.SetBlockState(8, true), kBlockFail);
    EXPECT_EQ(layer.GetBlockState(UINT64_MAX), kBlockFail);

    CBlocksLayer unmapped;
    EXPECT_EQ(unmapped.blockSize(), 512u);
    EXPECT_EQ(unmapped.GetTotalBlocks(), 0u);
    EXPECT_EQ(unmapped.SetBlockState(0, true), kBlockFail);
    EXPECT_EQ(unmapped.GetBlockState(0), kBlockFail);
}

}  // namespace
