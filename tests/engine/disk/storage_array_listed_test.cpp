// Disk images presented through UNDELETE_DISKS, end to end through the exports.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/disk/volume_flags.h"
#include "listed_images.h"

namespace {

using ListedDisks = disktest::ListedImages;

struct ExpectedVolume {
    const char* letter;
    std::int32_t parent;
    std::uint64_t offset;
    std::uint64_t bytes;
    std::int32_t fileSystem;
    const char* fileSystemName;
    std::string labelStart;
};

void expectVolume(const ExpectedVolume& v) {
    SCOPED_TRACE(v.letter);
    const _LDRIVE* info = DriveGetInformation(DriveIDByLetter(v.letter));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(+info->Kind, kDriveVolume);
    EXPECT_EQ(+info->ParentId, v.parent);
    EXPECT_EQ(+info->BaseOffset, v.offset);
    EXPECT_EQ(+info->SpaceTotal, v.bytes);
    EXPECT_EQ(+info->TotalSectors, v.bytes / 512);
    EXPECT_EQ(+info->FileSystemCode, v.fileSystem);
    EXPECT_STREQ(info->FileSystemName, v.fileSystemName);
    EXPECT_EQ(std::string(info->Label).substr(0, v.labelStart.size()), v.labelStart);
}

TEST_F(ListedDisks, MbrImageAndBareVolumeGiveTwoDisksAndThreeVolumes) {
    const std::string mbr = unpack("mbr_fat_ntfs.img");
    const std::string bare = unpack("bare_fat.img");
    const auto [count, letters] = rescan(mbr + ":" + bare);
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(letters, "01CDE");
    ASSERT_EQ(DriveGetCount(), 5);

    const _LDRIVE* disk0 = DriveGetInformation(0);
    EXPECT_EQ(+disk0->Kind, kDrivePhysical);
    EXPECT_EQ(+disk0->Letter, '0');
    EXPECT_EQ(+disk0->SpaceTotal, 12u << 20);
    EXPECT_EQ(+DriveGetInformation(1)->SpaceTotal, 2u << 20);
    // Partition type 6 is FAT16, not NTFS; the bare volume's type comes from its boot
    // sector: no table, no mount.
    expectVolume({"c", 0, 1u << 20, 4u << 20, kFileSystemFat16, "FAT16", "MBRFAT"});
    expectVolume({"D", 0, 5u << 20, 6u << 20, kFileSystemNtfs, "NTFS", "MBRNTFS"});
    expectVolume({"e", 1, 0, 2u << 20, kFileSystemFat12, "FAT12", "BAREFAT"});
    EXPECT_EQ(DriveIDByLetter("e"), 4);
    // Every drive knows the file its bytes come from; volumes carry their flags, and the
    // NTFS label comes from $Volume without a mount.
    for (const auto& [index, file] : {std::pair{0, mbr}, {1, bare}, {2, mbr}, {3, mbr}, {4, bare}})
        disktest::expectFileIdentity(DriveGetInformation(index), file);
    EXPECT_EQ(+DriveGetInformation(0)->FileSystemFlags, 0u);
    EXPECT_EQ(+DriveGetInformation(2)->FileSystemFlags, engine::disk::kFatVolumeFlags);
    EXPECT_EQ(+DriveGetInformation(3)->FileSystemFlags, engine::disk::kNtfsVolumeFlags);
    EXPECT_STREQ(DriveGetInformation(3)->Label, "MBRNTFS");
}

TEST_F(ListedDisks, GptImageGivesItsPartition) {
    const auto [count, letters] = rescan(unpack("gpt_fat.img"));
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(letters, "0C");
    // The label is read through the image at the partition's offset.
    ASSERT_NE(DriveGetInformationEx(1), nullptr);
    expectVolume({"C", 0, 1u << 20, 4u << 20, kFileSystemFat16, "FAT16", "GPTFAT"});
}

TEST_F(ListedDisks, MissingFileIsANotReadyDiskWithoutVolumes) {
    const std::string bare = unpack("bare_fat.img");
    const auto [count, letters] = rescan((work_ / "absent.img").string() + "::" + bare);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(letters, "01C");
    EXPECT_EQ(+DriveGetInformation(2)->ParentId, 1);
}

TEST_F(ListedDisks, DriveAddAppendsAnEmptyDriveThatARescanDrops) {
    const std::string bare = unpack("bare_fat.img");
    rescan(bare);
    const int before = DriveGetCount();
    CDrive* added = DriveAdd();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(DriveGetCount(), before + 1);
    EXPECT_EQ(+DriveGetInformation(before)->Id, before);
    EXPECT_EQ(+DriveGetInformation(before)->FileSystemCode, kFileSystemNone);
    EXPECT_EQ(DriveGetParent(added), nullptr);
    rescan(bare);
    EXPECT_EQ(DriveGetCount(), before);
}

TEST_F(ListedDisks, OpenedDriveOutlivesARescanUntilTheNextInitialize) {
    const std::string bare = unpack("bare_fat.img");
    rescan(bare);
    ASSERT_GT(DriveInitializeSimple(DriveIDByLetter("C")), 0);
    const CDrive* opened = engine::state().currentDrive.get();
    rescan(bare);
    EXPECT_NE(DriveGetParent(const_cast<CDrive*>(opened)), nullptr);  // the new disk 0
    // Reads of the drive that was opened before go on (ASan watches for a freed drive).
    EXPECT_EQ(engine::state().currentDrive.get(), opened);
    FileGetNext();
    EXPECT_EQ(+opened->GetDriveInfo()->Letter, 'C');
}

TEST(ListedDiskPaths, SplitOnColonsSkippingEmptyOnes) {
    ::unsetenv(engine::kListedDisksVariable);
    EXPECT_FALSE(engine::listedDiskPaths().has_value());
    ::setenv(engine::kListedDisksVariable, ":/a.img::/dev/sdb:", 1);
    EXPECT_EQ(engine::listedDiskPaths(), (std::vector<std::string>{"/a.img", "/dev/sdb"}));
    ::setenv(engine::kListedDisksVariable, "", 1);
    EXPECT_EQ(engine::listedDiskPaths(), std::vector<std::string>{});
    ::unsetenv(engine::kListedDisksVariable);
}

}  // namespace
