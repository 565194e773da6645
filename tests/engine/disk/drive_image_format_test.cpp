// The image file's header and the checks that make records read back from a file safe.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/disk/drive_image_format.h"

namespace {

using namespace engine::image;

TEST(ImageHeader, HoldsTheCountAndTheRecordAndZerosElsewhere) {
    _LDRIVE drive{};
    drive.Id = 3;
    drive.TotalSectors = 0x123456789ull;
    std::memcpy(drive.Label, "DATA", 5);
    const Header header = buildHeader(drive, 0x0102);
    EXPECT_EQ(header[14], 0x02);
    EXPECT_EQ(header[15], 0x01);
    EXPECT_EQ(partitionCount(header), 0x0102);
    for (std::size_t i = 0; i < 14; ++i) EXPECT_EQ(header[i], 0) << i;
    for (std::size_t i = 16; i < 32; ++i) EXPECT_EQ(header[i], 0) << i;
    for (std::size_t i = 32 + sizeof(_LDRIVE); i < kHeaderSize; ++i) ASSERT_EQ(header[i], 0) << i;
    const _LDRIVE back = driveRecord(header);
    EXPECT_EQ(std::memcmp(&back, &drive, sizeof drive), 0);
    EXPECT_EQ(dataOffset(2), 4096u + 2 * 915);
    EXPECT_EQ(dataOffset(0xFFFF), 4096u + 0xFFFFull * 915);
}

TEST(ImageHeader, DescriptionNamesLetterAndLabelEvenUnterminated) {
    _LDRIVE drive{};
    drive.Letter = 'C';
    std::memcpy(drive.Label, "SYSTEM", 7);
    EXPECT_EQ(imageDescription(drive), "Image from C (SYSTEM) drive.");
    std::memset(drive.Label, 'L', sizeof drive.Label);
    EXPECT_EQ(imageDescription(drive), "Image from C (" + std::string(30, 'L') + ") drive.");
}

TEST(ImagePartitions, StartComesFromTheBaseOffsetOrAVolumesLayout) {
    _LDRIVE volume{};
    volume.Kind = kDriveVolume;
    volume.BaseOffset = 1 << 20;
    EXPECT_EQ(partitionStart(volume), 1u << 20);
    volume.BaseOffset = 0;
    volume.Layout.PartitionCount = 1;
    volume.Layout.PartitionEntry[0].StartingOffset = 5 << 20;
    EXPECT_EQ(partitionStart(volume), 5u << 20);
    volume.Layout.PartitionEntry[0].StartingOffset = -512;
    EXPECT_EQ(partitionStart(volume), 0u);
    // A region's layout describes its parent, not itself.
    _LDRIVE region{};
    region.Kind = kDriveLostPartition;
    region.Layout.PartitionCount = 1;
    region.Layout.PartitionEntry[0].StartingOffset = 7 << 20;
    EXPECT_EQ(partitionStart(region), 0u);
}

TEST(LoadedRecords, AreMadeSafe) {
    _LDRIVE record;
    std::memset(&record, 0xFF, sizeof record);
    record.SectorsPerCluster = 0;
    record.BytesPerSector = 1000;
    sanitizeLoadedRecord(record, 10 * 512 + 100);
    EXPECT_EQ(record.Label[29], '\0');
    EXPECT_EQ(record.FileSystemName[29], '\0');
    EXPECT_EQ(record.Description[511], '\0');
    EXPECT_EQ(+record.DevicePathSlot, 0u);
    EXPECT_EQ(+record.QueryThreadSlot, 0u);
    EXPECT_EQ(+record.SectorsPerCluster, 1u);
    EXPECT_EQ(+record.BytesPerSector, 512u);
    EXPECT_EQ(+record.BytesPerCluster, 512u);
    EXPECT_EQ(+record.TotalSectors, 10u);
    EXPECT_EQ(+record.SpaceTotal, 10u * 512 + 100);
    EXPECT_EQ(+record.TotalClusters, 10u);
    EXPECT_LE(+record.Layout.PartitionCount, 4u);

    _LDRIVE plausible{};
    plausible.SectorsPerCluster = 8;
    plausible.BytesPerSector = 4096;
    plausible.TotalSectors = 100;
    sanitizeLoadedRecord(plausible, 1 << 30);
    EXPECT_EQ(+plausible.SectorsPerCluster, 8u);
    EXPECT_EQ(+plausible.BytesPerCluster, 32768u);
    EXPECT_EQ(+plausible.TotalSectors, 100u);
}

}  // namespace
