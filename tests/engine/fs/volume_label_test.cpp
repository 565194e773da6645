// Volume labels read from the committed FAT and NTFS images: FAT's root-folder entry
// before its boot sector, NTFS's $Volume with its mirror, and hostile or unreadable
// volumes that fall back or give nothing within bounded reads.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/byte_order.h"
#include "engine/fs/fat_geometry.h"
#include "engine/fs/volume_label.h"
#include "engine/support/memory_drive.h"
#include "engine/support/test_images.h"

namespace {

using test_support::MemoryDrive;

std::string labelOf(MemoryDrive& drive) {
    const std::vector<std::uint8_t>& image = drive.image();
    const std::int32_t code = drive.GetDriveInfo()->FileSystemCode;
    return engine::volumeLabelOf({image.data(), 512}, code, image.size(),
                                 engine::sectorReader([&drive](std::uint64_t lba, std::uint64_t count, void* out) {
                                     return drive.ReadSectors(lba, count, out);
                                 }));
}

FatGeometry geometryOf(const std::vector<std::uint8_t>& image, std::int32_t code) {
    return *parseFatGeometry({image.data(), 512}, code, image.size()).geometry;
}

// The root folder's volume-label entry.
std::uint8_t* rootLabelEntry(std::vector<std::uint8_t>& image, std::uint64_t rootOffset) {
    for (std::uint64_t at = rootOffset;; at += 32) {
        if (image[at] == 0) return nullptr;
        if (image[at + 11] == 0x08) return image.data() + at;
    }
}

struct FatCase {
    const char* image;
    std::int32_t code;
    const char* label;
};

class FatLabel : public ::testing::TestWithParam<FatCase> {};

TEST_P(FatLabel, RootEntryComesFirstThenTheBootSector) {
    const FatCase& c = GetParam();
    MemoryDrive drive(test_images::gunzip(std::string("fat/") + c.image + ".img.gz"), c.code);
    ASSERT_FALSE(drive.image().empty());
    EXPECT_EQ(labelOf(drive), c.label);

    const FatGeometry geometry = geometryOf(drive.image(), c.code);
    const std::uint64_t root = geometry.kind == FatKind::Fat32 ? geometry.clusterOffset(geometry.rootCluster)
                                                               : geometry.rootOffset;
    std::uint8_t* entry = rootLabelEntry(drive.image(), root);
    ASSERT_NE(entry, nullptr);
    std::memcpy(entry, "ROOT  LABEL", 11);
    EXPECT_EQ(labelOf(drive), "ROOT  LABEL");
    entry[0] = 0xE5;  // deleted: the boot sector's label counts
    EXPECT_EQ(labelOf(drive), c.label);

    drive.failReads = true;  // the root cannot be read: the boot sector's label
    EXPECT_EQ(labelOf(drive), c.label);

    // Formatted without a label: the boot sector holds a placeholder, not a label.
    const std::size_t field = geometry.kind == FatKind::Fat32 ? 71 : 43;
    std::memcpy(drive.image().data() + field, "NO NAME    ", 11);
    EXPECT_EQ(labelOf(drive), "");
    drive.failReads = false;
    EXPECT_EQ(labelOf(drive), "");
}

INSTANTIATE_TEST_SUITE_P(Images, FatLabel,
                         ::testing::Values(FatCase{"fat12", kFileSystemFat12, "FAT12"},
                                           FatCase{"fat16", kFileSystemFat16, "FAT16"},
                                           FatCase{"fat32", kFileSystemFat32, "FAT32"}),
                         [](const auto& info) { return std::string(info.param.image); });

TEST(FatLabelBounds, ARootChainThatLoopsIsReadAtMostOneFolderLong) {
    MemoryDrive drive(test_images::gunzip("fat/fat32.img.gz"), kFileSystemFat32);
    std::vector<std::uint8_t>& image = drive.image();
    const FatGeometry geometry = geometryOf(image, kFileSystemFat32);
    // Root entries that never end and hold no label, in a chain that leads back to itself.
    const std::uint64_t root = geometry.clusterOffset(geometry.rootCluster);
    for (std::uint64_t at = root; at < root + geometry.bytesPerCluster; at += 32) {
        std::memcpy(&image[at], "FILE    TXT", 11);
        image[at + 11] = 0x20;
    }
    engine::storeLittleEndian<std::uint32_t>(image.data() + geometry.fatOffset + geometry.rootCluster * 4,
                                             geometry.rootCluster);
    std::uint64_t sectorsRead = 0;
    drive.onRead = [&](std::uint64_t, std::uint64_t count) { sectorsRead += count; };
    EXPECT_EQ(labelOf(drive), "FAT32");
    EXPECT_LE(sectorsRead, 2 * (65536 * 32 / 512));
}

TEST(NtfsLabel, VolumeNameComesFromVolumeOrItsMirror) {
    MemoryDrive drive(test_images::gunzip("ntfs/ntfs-basic.img.gz"), kFileSystemNtfs);
    std::vector<std::uint8_t>& image = drive.image();
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(labelOf(drive), "ntfs-basic");

    // $Volume is record 3 of $MFT and of $MFTMirr; spoil them in turn.
    const std::uint64_t cluster = engine::loadLittleEndian<std::uint16_t>(image.data() + 11) * image[13];
    const std::uint64_t mft = engine::loadLittleEndian<std::uint64_t>(image.data() + 48) * cluster + 3 * 1024;
    const std::uint64_t mirror = engine::loadLittleEndian<std::uint64_t>(image.data() + 56) * cluster + 3 * 1024;
    std::memcpy(&image[mft], "BAAD", 4);
    EXPECT_EQ(labelOf(drive), "ntfs-basic");
    std::memcpy(&image[mirror], "BAAD", 4);
    EXPECT_EQ(labelOf(drive), "");

    drive.GetDriveInfo()->FileSystemCode = kFileSystemNone;  // no file system, no label
    EXPECT_EQ(labelOf(drive), "");
}

}  // namespace
