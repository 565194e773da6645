// A drive's whole-disk path, and its exclusive claim (Lock, Unlock) on plain files and on
// a mounted block device.

#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "disk_test_support.h"
#include "engine/disk/drive.h"

namespace {

using disktest::TempFile;

TEST(DrivePaths, PhysicalPathIsTheWholeDiskOrTheImage) {
    const struct {
        std::int32_t kind;
        std::string path, disk, parent;
        std::u16string physical;
    } cases[] = {
        {kDrivePhysical, "/dev/sdb", "", "", u"/dev/sdb"},
        {kDriveVolume, "/dev/sdb2", "/dev/sdb", "", u"/dev/sdb"},
        {kDriveVolume, "/srv/card.img", "/srv/card.img", "", u"/srv/card.img"},
        {kDriveVolume, "/dev/sdc1", "", "", u"/dev/sdc1"},  // added without its disk
        {kDriveImage, "/srv/disk.image", "", "", u"/srv/disk.image"},
        {kDriveLostPartition, "/dev/sdd", "", "/dev/sdd", u"/dev/sdd"},
    };
    for (const auto& c : cases) {
        CDrive drive;
        DriveSource source;
        source.kind = c.kind;
        source.path = c.path;
        source.diskPath = c.disk;
        drive.SetSource(source);
        drive.SetParentPath(c.parent);
        EXPECT_EQ(drive.GetPhysicalPath(), c.physical) << c.path;
    }
}

TEST(DriveClaim, LockHoldsTheFileForOneDriveUntilUnlock) {
    disktest::ScopedSettings settings;
    TempFile file;
    ASSERT_TRUE(file.resize(64 * 512));
    CDrive first;
    CDrive second;
    first.SetSource({kDriveImage, file.path(), 0, 0});
    second.SetSource({kDriveImage, file.path(), 0, 0});
    EXPECT_FALSE(first.Unlock());
    ASSERT_TRUE(first.Lock());
    EXPECT_TRUE(first.Lock());  // already held
    EXPECT_FALSE(second.Lock());
    EXPECT_EQ(errno, EWOULDBLOCK);
    EXPECT_EQ(first.Initialize(), 64u);  // the holder still reads
    EXPECT_TRUE(first.Unlock());
    EXPECT_TRUE(second.Lock());
    EXPECT_TRUE(second.Unlock());
}

// The block device that holds the root file system, when it is visible.
std::optional<std::string> rootDevice() {
    struct stat root {};
    if (::stat("/", &root) != 0) return std::nullopt;
    return disktest::findBlockDevice([&root](const struct stat& status) { return status.st_rdev == root.st_dev; });
}

TEST(DriveClaim, AMountedBlockDeviceIsRefused) {
    const std::optional<std::string> device = rootDevice();
    if (!device) GTEST_SKIP() << "the root file system's device is not visible";
    CDrive drive;
    drive.SetSource({kDrivePhysical, *device, 0, 0});
    if (!drive.OpenDrive()) GTEST_SKIP() << "cannot read " << *device;
    EXPECT_FALSE(drive.Lock());
    EXPECT_EQ(errno, EBUSY);
    EXPECT_FALSE(drive.Unlock());
}

}  // namespace
