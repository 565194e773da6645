#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "disk_test_support.h"
#include "engine/disk/drive.h"
#include "platform/handles.h"

namespace {

using disktest::ScopedSettings;
using disktest::TempFile;

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

// A device of any size whose bytes are all zero.
class ZeroDevice final : public platform::RawDevice {
public:
    explicit ZeroDevice(std::uint64_t size) : size_(size) {}
    platform::IoResult readAt(std::uint64_t offset, void* buffer, std::size_t bytes) override {
        if (offset >= size_) return {0, 0};
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, size_ - offset));
        std::memset(buffer, 0, n);
        return {n, 0};
    }
    std::optional<std::uint64_t> byteSize() const override { return size_; }
    std::uint32_t logicalSectorSize() const override { return 512; }
    platform::DeviceGeometry geometry() const override { return {size_ / (255 * 63 * 512), 255, 63, 512}; }
    std::optional<platform::PartitionExtent> partition() const override { return std::nullopt; }
    std::optional<dev_t> deviceNumber() const override { return std::nullopt; }
    std::unique_ptr<platform::RawDevice> duplicate() const override {
        return std::make_unique<ZeroDevice>(size_);
    }

private:
    std::uint64_t size_;
};

TEST(DriveSource, SparseFileOf3GiBReportsItsExactSizeAndReadsItsLastSector) {
    ScopedSettings settings;
    TempFile file;
    const std::uint64_t size = 3 * kGiB;
    ASSERT_TRUE(file.resize(size));
    const char marker[] = "last sector of the image";
    ASSERT_TRUE(file.writeAt(size - 512, marker, sizeof marker));

    CDrive drive;
    drive.SetSource({kDrivePhysical, file.path(), 0, 0});
    drive.GetDriveInfo()->Letter = '0';
    drive.QueryInformation();
    const _LDRIVE* info = drive.GetDriveInfo();
    EXPECT_EQ(+info->SpaceTotal, size);
    EXPECT_EQ(+info->TotalSectors, size / 512);  // not whole cylinders of 255 x 63 sectors
    EXPECT_EQ(+info->Ready, 1);
    EXPECT_EQ(+info->DriveType, 3u);
    EXPECT_EQ(+info->DeviceNumber.DeviceNumber, 0u);

    std::vector<char> buffer(512);
    EXPECT_EQ(drive.ReadSectors(size / 512 - 1, 1, buffer.data()), 512u);
    EXPECT_STREQ(buffer.data(), marker);
}

TEST(DriveSource, InitializeOfATerabyteDriveSaturatesInsteadOfFailing) {
    ScopedSettings settings;
    for (const std::uint64_t sectors :
         {std::uint64_t{1} << 32, (std::uint64_t{1} << 32) + 1, std::uint64_t{3} << 33}) {
        CDrive drive;
        drive.SetSource({kDrivePhysical, "huge", 0, 0});
        drive.SetDeviceOpener([sectors](const std::string&, platform::OpenMode) {
            return platform::OpenResult{std::make_unique<ZeroDevice>(sectors * 512), 0};
        });
        EXPECT_EQ(drive.Initialize(), 0xFFFFFFFFu) << sectors;
        EXPECT_EQ(+drive.GetDriveInfo()->TotalSectors, sectors);
    }
}

TEST(DriveSource, EmptySourceHasNoSizeAndAnEmptyVolumeIsNotReady) {
    ScopedSettings settings;
    TempFile file;
    CDrive drive;
    drive.SetSource({kDriveImage, file.path(), 0, 0});
    EXPECT_EQ(drive.Initialize(), 0u);
    EXPECT_TRUE(drive.isOpen());

    CDrive volume;
    volume.SetSource({kDriveVolume, file.path(), 0, 0});
    volume.QueryInformation();
    EXPECT_EQ(+volume.GetDriveInfo()->Ready, 0);
    EXPECT_EQ(+volume.GetDriveInfo()->SpaceTotal, 0u);
}

TEST(DriveSource, VolumeInsideAnImageReadsThroughItsParentAtThePartitionOffset) {
    ScopedSettings settings;
    TempFile file;
    ASSERT_TRUE(file.resize(8 << 20));
    std::vector<std::uint8_t> boot(512, 0);
    std::memcpy(&boot[3], "mkfs.fat", 8);
    boot[13] = 8;
    std::memcpy(&boot[71], "IMAGEVOL   ", 11);
    std::memcpy(&boot[82], "FAT32   ", 8);
    ASSERT_TRUE(file.writeAt(1 << 20, boot.data(), boot.size()));

    CDrive drive;
    drive.SetSource({kDriveVolume, file.path(), 1 << 20, 4 << 20, 0x0C, 1});
    drive.GetDriveInfo()->ParentId = 0;
    drive.QueryInformation();
    const _LDRIVE* info = drive.GetDriveInfo();
    EXPECT_EQ(+info->SpaceTotal, 4u << 20);
    EXPECT_EQ(+info->TotalSectors, (4u << 20) / 512);
    EXPECT_EQ(+info->Ready, 1);
    EXPECT_EQ(+info->FileSystemCode, kFileSystemFat32);
    EXPECT_STREQ(info->FileSystemName, "FAT32");
    EXPECT_STREQ(info->Label, "IMAGEVOL");  // from the boot sector: no root folder to read
    EXPECT_EQ(+info->SectorsPerCluster, 8u);
    EXPECT_EQ(+info->Layout.PartitionCount, 1u);
    EXPECT_EQ(+info->Layout.PartitionEntry[0].StartingOffset, 1 << 20);
    EXPECT_EQ(+info->Layout.PartitionEntry[0].PartitionType, 0x0C);
    EXPECT_EQ(+info->DeviceNumber.DeviceNumber, 0u);
    EXPECT_EQ(+info->DeviceNumber.PartitionNumber, 1u);
    EXPECT_FALSE(drive.isOpen());  // the volume query closes at its end

    std::vector<std::uint8_t> buffer(512);
    EXPECT_EQ(drive.ReadSectors(0, 1, buffer.data()), 512u);
    EXPECT_EQ(std::memcmp(buffer.data(), boot.data(), 512), 0);
}

TEST(DriveSource, ImageDriveTakesTheFileSizeAndKeepsItsSectorCount) {
    ScopedSettings settings;
    TempFile file;
    ASSERT_TRUE(file.resize(1 << 20));
    CDrive drive;
    drive.SetSource({kDriveImage, file.path(), 4096, 0});
    drive.GetDriveInfo()->TotalSectors = 1000;
    drive.QueryInformation();
    const _LDRIVE* info = drive.GetDriveInfo();
    EXPECT_EQ(+info->SpaceTotal, 1u << 20);
    EXPECT_EQ(+info->TotalClusters, (1u << 20) / 512);
    EXPECT_EQ(+info->TotalSectors, 1000u);
    EXPECT_EQ(+info->Ready, 1);
}

TEST(DriveSource, QueryThreadFillsTheRecordAndTheDriveWaitsForIt) {
    ScopedSettings settings;
    TempFile file;
    ASSERT_TRUE(file.resize(1 << 20));
    auto drive = std::make_unique<CDrive>();
    drive->SetSource({kDrivePhysical, file.path(), 0, 0});
    HANDLE thread = drive->StartQueryThread();
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(+drive->GetDriveInfo()->SpaceTotal, 1u << 20);

    // Destroyed while its query may still run: the destructor waits.
    auto other = std::make_unique<CDrive>();
    other->SetSource({kDrivePhysical, file.path(), 0, 0});
    HANDLE running = other->StartQueryThread();
    ASSERT_NE(running, nullptr);
    other.reset();
    CloseHandle(running);
}

TEST(DriveSource, BlockDeviceReadsTheSameBytesAsAPlainRead) {
    std::string device;
    for (const char* name : {"/dev/loop0", "/dev/vda", "/dev/sda", "/dev/nvme0n1", "/dev/xvda"}) {
        auto opened = platform::openRawDevice(name);
        if (opened.device && opened.device->byteSize().value_or(0) >= 4096) {
            device = name;
            break;
        }
    }
    if (device.empty()) GTEST_SKIP() << "no readable block device on this machine";
    ScopedSettings settings;
    CDrive drive;
    drive.SetSource({kDrivePhysical, device, 0, 0});
    drive.QueryInformation();
    ASSERT_GT(+drive.GetDriveInfo()->TotalSectors, 8u);
    std::vector<std::uint8_t> viaDrive(8 * 512), direct(8 * 512);
    ASSERT_EQ(drive.ReadSectors(0, 8, viaDrive.data()), 8u * 512);
    FILE* in = std::fopen(device.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    ASSERT_EQ(std::fread(direct.data(), 1, direct.size(), in), direct.size());
    std::fclose(in);
    EXPECT_EQ(viaDrive, direct);
}

}  // namespace
