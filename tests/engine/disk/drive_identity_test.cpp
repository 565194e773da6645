// Where each drive's bytes come from (SourceDevice, SourceInode): lost partitions, drive
// images written and loaded back, block devices.

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "engine/disk/drive_image.h"
#include "engine/disk/lost_partition_search.h"
#include "listed_images.h"
#include "platform/text.h"

namespace {

struct stat statOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status;
}

using disktest::expectFileIdentity;
using DriveIdentity = disktest::ListedImages;

TEST_F(DriveIdentity, LostPartitionsTakeTheirDisksIdentity) {
    const std::string image = unpack("lost_primary.img");
    ASSERT_EQ(rescan(image).first, 2u);
    LostSearchRequest request{};
    request.EndSector = ~std::uint64_t{0};
    ASSERT_EQ(disktest::waitForThread(DrivesLostSearch(&request)), 4u);
    for (int index : {2, 3}) {
        EXPECT_EQ(+DriveGetInformation(index)->Kind, kDriveLostPartition);
        expectFileIdentity(DriveGetInformation(index), image);
    }
}

TEST_F(DriveIdentity, ImageFilesStoreNoIdentityAndLoadWithTheirOwn) {
    const std::string disk = unpack("mbr_fat_ntfs.img");
    ASSERT_EQ(rescan(disk).first, 3u);
    const std::string target = (work_ / "disk.image").string();
    ImageRequest request{};
    request.DiskIndex = 0;
    platform::copyToField(request.Path, engine::image::kPathCapacity, platform::toUtf16(target));
    disktest::waitForThread(DriveImageCreate(&request));

    std::ifstream in(target, std::ios::binary);
    const std::vector<std::uint8_t> header((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(header.size(), 4096u + 2 * sizeof(_LDRIVE));
    const std::vector<std::size_t> records = {32, 4096, 4096 + sizeof(_LDRIVE)};
    for (const std::size_t record : records) {
        const auto* reserved = header.data() + record + offsetof(_LDRIVE, SourceDevice);
        EXPECT_EQ(std::vector<std::uint8_t>(reserved, reserved + 20), std::vector<std::uint8_t>(20, 0)) << record;
    }

    CDrive* loaded = DriveImageLoad(platform::toUtf16(target).c_str());
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(DriveGetCount(), 6);
    for (int index : {3, 4, 5}) {
        EXPECT_EQ(+DriveGetInformation(index)->Kind, kDriveImage);
        expectFileIdentity(DriveGetInformation(index), target);
    }
    // Loaded records keep the imaged volumes' flags and labels.
    EXPECT_STREQ(DriveGetInformation(5)->Label, "MBRNTFS");
}

TEST(DriveIdentityOfDevices, BlockDeviceIsKnownByItsDeviceNumberWithoutInode) {
    const std::optional<std::string> device = disktest::findBlockDevice([](const struct stat&) { return true; });
    if (!device) GTEST_SKIP() << "no block device on this machine";
    CDrive drive;
    drive.SetSource({kDrivePhysical, *device, 0, 0});
    EXPECT_EQ(+drive.GetDriveInfo()->SourceDevice, static_cast<std::uint64_t>(statOf(*device).st_rdev));
    EXPECT_EQ(+drive.GetDriveInfo()->SourceInode, 0u);

    CDrive missing;
    missing.SetSource({kDriveImage, "/nonexistent/undelete.img", 0, 0});
    EXPECT_EQ(+missing.GetDriveInfo()->SourceDevice, 0u);
    EXPECT_EQ(+missing.GetDriveInfo()->SourceInode, 0u);
}

}  // namespace
