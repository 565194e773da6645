#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "disk_test_support.h"
#include "engine/byte_order.h"
#include "engine/disk/boot_sector.h"
#include "engine/disk/drive.h"
#include "platform/fault_injection.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& boot, std::size_t offset, const std::string& text) {
    std::memcpy(boot.data() + offset, text.data(), text.size());
}

void put32(Bytes& boot, std::size_t offset, std::uint32_t value) {
    engine::storeLittleEndian(boot.data() + offset, value);
}

Bytes fat16Boot() {
    Bytes boot(1024, 0);
    put(boot, 3, "MSDOS5.0");
    boot[13] = 4;
    put32(boot, 39, 0x12345678);
    put(boot, 43, "MY DISK    ");
    put(boot, 54, "FAT16   ");
    return boot;
}

Bytes fat32Boot() {
    Bytes boot(1024, 0);
    put(boot, 3, "mkfs.fat");
    boot[13] = 8;
    put32(boot, 67, 0xCAFEF00D);
    put(boot, 71, "BIGVOLUME  ");
    put(boot, 82, "FAT32   ");
    return boot;
}

Bytes ntfsBoot() {
    Bytes boot(1024, 0);
    put(boot, 3, "NTFS    ");
    boot[13] = 8;
    put32(boot, 72, 0x89ABCDEF);
    put32(boot, 76, 0x01234567);
    return boot;
}

// A drive of kind 8 (or `kind`) over an in-memory image whose first two sectors are `boot`.
std::unique_ptr<CDrive> driveOver(const Bytes& boot, std::uint64_t sectors = 64, std::int32_t kind = kDriveImage) {
    auto image = std::make_shared<std::vector<std::uint8_t>>(sectors * 512, 0);
    std::memcpy(image->data(), boot.data(), boot.size());
    auto drive = std::make_unique<CDrive>();
    drive->SetSource({kind, "memory", 0, image->size()});
    drive->SetDeviceOpener(platform::memoryOpener(image));
    return drive;
}

TEST(BootSector, RecognisesEachFileSystemWhereItsNameStands) {
    CBOOT boot;
    EXPECT_FALSE(boot.DetectFileSystem());
    EXPECT_EQ(boot.fileSystemId(), -1);

    const Bytes cases[] = {fat16Boot(), fat32Boot(), ntfsBoot()};
    const std::int32_t expected[] = {kFileSystemFat16, kFileSystemFat32, kFileSystemNtfs};
    for (int i = 0; i < 3; ++i) {
        std::memcpy(boot.buffer(), cases[i].data(), cases[i].size());
        EXPECT_TRUE(boot.DetectFileSystem());
        EXPECT_EQ(boot.fileSystemId(), expected[i]);
    }
    Bytes fat12 = fat16Boot();
    put(fat12, 54, "FAT12   ");
    std::memcpy(boot.buffer(), fat12.data(), fat12.size());
    EXPECT_TRUE(boot.DetectFileSystem());
    EXPECT_EQ(boot.fileSystemId(), kFileSystemFat12);
}

TEST(DriveBoot, InitializeAndTheDriveListTakeFileSystemLabelSerialAndClusterSize) {
    disktest::ScopedSettings settings;
    Bytes unterminated = fat16Boot();
    put(unterminated, 43, "ABCDEFGHIJK");  // 11 bytes, then the type name without a gap
    Bytes largeClusters = ntfsBoot();
    largeClusters[13] = 0xF4;  // 2^12 sectors: 2 MiB clusters
    // What formatting writes for a volume without a label, in each FAT's own field.
    Bytes unlabelled = fat32Boot();
    put(unlabelled, 71, "NO NAME    ");
    Bytes unlabelled16 = fat16Boot();
    put(unlabelled16, 43, "NO NAME    ");
    Bytes unlabelled12 = unlabelled16;
    put(unlabelled12, 54, "FAT12   ");
    Bytes unknown(1024, 0);
    put(unknown, 3, "EXFAT   ");
    unknown[13] = 64;
    const struct {
        const char* name;
        Bytes boot;
        std::int32_t fileSystem;
        const char* label;
        const char* listedLabel;  // as the drive list shows it: trimmed
        std::uint64_t serial;
        std::uint32_t sectorsPerCluster;  // not taken without a known file system
    } cases[] = {
        {"FAT16", fat16Boot(), kFileSystemFat16, "MY DISK    ", "MY DISK", 0x12345678u, 4},
        {"unterminated label", unterminated, kFileSystemFat16, "ABCDEFGHIJK", "ABCDEFGHIJK", 0x12345678u, 4},
        {"FAT12 no label", unlabelled12, kFileSystemFat12, "", "", 0x12345678u, 4},
        {"FAT16 no label", unlabelled16, kFileSystemFat16, "", "", 0x12345678u, 4},
        {"FAT32 no label", unlabelled, kFileSystemFat32, "", "", 0xCAFEF00Du, 8},
        {"NTFS large clusters", largeClusters, kFileSystemNtfs, "", "", 0x0123456789ABCDEFu, 4096},
        {"unknown", unknown, kFileSystemNone, "", "", 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto drive = driveOver(c.boot);
        ASSERT_EQ(drive->Initialize(), 64u);
        const _LDRIVE* info = drive->GetDriveInfo();
        EXPECT_EQ(+info->FileSystemCode, c.fileSystem);
        EXPECT_STREQ(info->Label, c.label);
        EXPECT_EQ(+info->SerialNumber, c.serial);
        EXPECT_EQ(+info->SectorsPerCluster, c.sectorsPerCluster);
        EXPECT_EQ(+info->BytesPerCluster, c.sectorsPerCluster * 512);
        EXPECT_EQ(std::memcmp(info->OemName, c.boot.data() + 3, 8), 0);

        auto listed = driveOver(c.boot, 64, kDriveVolume);
        const _LDRIVE* entry = listed->QueryInformation();
        EXPECT_EQ(+entry->FileSystemCode, c.fileSystem);
        EXPECT_STREQ(entry->Label, c.listedLabel);
    }
    auto labelled = driveOver(fat32Boot());
    std::strcpy(labelled->GetDriveInfo()->Label, "FROMDEVICE");
    ASSERT_NE(labelled->Initialize(), 0u);
    EXPECT_STREQ(labelled->GetDriveInfo()->Label, "FROMDEVICE");  // a known label is kept
    EXPECT_EQ(+labelled->GetDriveInfo()->SerialNumber, 0xCAFEF00Du);
}

TEST(DriveBoot, NtfsOemNameIsNotTerminatedAndSizesFollowTheSectors) {
    disktest::ScopedSettings settings;
    auto drive = driveOver(ntfsBoot(), 4096);
    ASSERT_EQ(drive->Initialize(), 4096u);
    const _LDRIVE* info = drive->GetDriveInfo();
    EXPECT_EQ(std::memcmp(info->OemName, "NTFS    ", 8), 0);
    EXPECT_EQ(+info->SpaceTotal, 4096u * 512);
    EXPECT_EQ(+info->TotalClusters, 4096u / 8);
}

}  // namespace
