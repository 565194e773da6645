#include "wizard/utilities/same_drive.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// A sysfs of its own: disk sdb (8:16) with partitions sdb1, sdb2; disk sdc (8:32); dm-0
// (253:0) mapped onto sdb2; md0 (9:0) over sdc and dm-0.
class FakeSysfs {
public:
    FakeSysfs() {
        const fs::path devices = root() / "devices";
        addDevice(devices / "pci" / "block" / "sdb", "8:16", false);
        addDevice(devices / "pci" / "block" / "sdb" / "sdb1", "8:17", true);
        addDevice(devices / "pci" / "block" / "sdb" / "sdb2", "8:18", true);
        addDevice(devices / "pci" / "block" / "sdc", "8:32", false);
        addDevice(devices / "virtual" / "block" / "dm-0", "253:0", false);
        addDevice(devices / "virtual" / "block" / "md0", "9:0", false);
        addSlave("dm-0", "sdb2");
        addSlave("md0", "sdc");
        addSlave("md0", "dm-0");
    }

    fs::path root() const { return fs::path(folder_.path().toStdString()); }
    std::string mountInfo() const { return (root() / "mountinfo").string(); }
    void writeMountInfo(const std::string& text) const { std::ofstream(mountInfo()) << text; }

private:
    void addDevice(const fs::path& folder, const std::string& number, bool partition) {
        fs::create_directories(folder / "slaves");
        std::ofstream(folder / "dev") << number << "\n";
        if (partition) std::ofstream(folder / "partition") << "1\n";
        fs::create_directories(root() / "dev" / "block");
        fs::create_directories(root() / "class" / "block");
        fs::create_directory_symlink(folder, root() / "dev" / "block" / number);
        fs::create_directory_symlink(folder, root() / "class" / "block" / folder.filename());
        folders_[folder.filename().string()] = folder;
    }
    void addSlave(const std::string& holder, const std::string& member) {
        fs::create_directory_symlink(folders_.at(member), folders_.at(holder) / "slaves" / member);
    }

    QTemporaryDir folder_;
    std::map<std::string, fs::path> folders_;
};

dev_t Device(unsigned majorNumber, unsigned minorNumber) { return makedev(majorNumber, minorNumber); }

TEST(SameDrive, DevicesOverlapWhenTheyShareSectors) {
    const FakeSysfs sysfs;
    const BlockDeviceTopology topology(sysfs.root().string(), sysfs.mountInfo());
    const dev_t sdb = Device(8, 16), sdb1 = Device(8, 17), sdb2 = Device(8, 18), sdc = Device(8, 32);
    const dev_t dm0 = Device(253, 0), md0 = Device(9, 0), unknown = Device(7, 3);
    const struct {
        const char* what;
        dev_t first;
        dev_t second;
        bool overlap;
    } cases[] = {
        {"the same disk", sdb, sdb, true},
        {"a disk and its partition", sdb, sdb2, true},
        {"a partition and its disk", sdb1, sdb, true},
        {"two partitions of one disk", sdb1, sdb2, false},
        {"two disks", sdb, sdc, false},
        {"a mapping and the disk below it", sdb, dm0, true},
        {"a mapping and the partition below it", dm0, sdb2, true},
        {"a mapping and another partition", sdb1, dm0, false},
        {"an array over a mapping over a partition", md0, sdb2, true},
        {"an array and a disk it holds", sdc, md0, true},
        {"an array and another partition", md0, sdb1, false},
        {"an unknown device and itself", unknown, unknown, true},
        {"an unknown device and a disk", unknown, sdb, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(topology.Overlap(c.first, c.second), c.overlap) << c.what;
        EXPECT_EQ(topology.Overlap(c.second, c.first), c.overlap) << c.what << ", reversed";
    }
}

TEST(SameDrive, FileSystemsWithoutADeviceOfTheirOwnAreTracedThroughTheirMount) {
    const FakeSysfs sysfs;
    sysfs.writeMountInfo(
        "21 1 0:45 / / rw - btrfs /dev/sdb1 rw\n"
        "22 21 0:46 / /with\\040blank rw shared:1 - ext4 /dev/dm-0 rw\n"
        "23 21 0:47 / /tmp rw - tmpfs tmpfs rw\n"
        "24 21 0:48 / /x rw - ext4 /dev/../dev/nonexistent rw\n");
    const BlockDeviceTopology topology(sysfs.root().string(), sysfs.mountInfo());
    EXPECT_EQ(topology.BackingDevice(Device(8, 17)), Device(8, 17));
    EXPECT_EQ(topology.BackingDevice(Device(0, 45)), Device(8, 17));
    EXPECT_EQ(topology.BackingDevice(Device(0, 46)), Device(253, 0));
    EXPECT_EQ(topology.BackingDevice(Device(0, 47)), dev_t{0});
    EXPECT_EQ(topology.BackingDevice(Device(0, 48)), dev_t{0});
    EXPECT_EQ(topology.BackingDevice(Device(0, 99)), dev_t{0});
}

TEST(SameDrive, TargetsAreJudgedByTheFileSystemHoldingThem) {
    const FakeSysfs sysfs;
    QTemporaryDir work;
    const fs::path folder = work.path().toStdString();
    struct stat status {};
    ASSERT_EQ(::stat(folder.c_str(), &status), 0);
    const BlockDeviceTopology topology(sysfs.root().string(), sysfs.mountInfo());
    const std::string missing = (folder / "not" / "yet" / "made").string();

    EXPECT_TRUE(TargetOnSource({status.st_dev, 0}, missing, topology)) << "a parent is examined";
    EXPECT_TRUE(TargetOnSource({status.st_dev, 0}, folder.string() + "/", topology));
    EXPECT_FALSE(TargetOnSource({Device(8, 16), 0}, missing, topology));
    EXPECT_FALSE(TargetOnSource({status.st_dev, 0}, "", topology)) << "no target, no overlap";

    // A file system without a block device of its own (btrfs, overlay, a bind mount):
    // the mount table names the partition it lies on, sdb1 of the source disk.
    sysfs.writeMountInfo("30 1 0:77 / /data rw - btrfs /dev/sdb1 rw\n");
    const BlockDeviceTopology mounted(sysfs.root().string(), sysfs.mountInfo());
    struct stat onBtrfs {};
    onBtrfs.st_dev = Device(0, 77);
    EXPECT_TRUE(StatusOnSource({Device(8, 16), 0}, onBtrfs, mounted)) << "traced to the source disk";
    EXPECT_FALSE(StatusOnSource({Device(8, 32), 0}, onBtrfs, mounted));

    // An image file as the source: only the file itself is refused.
    const fs::path image = folder / "card.img";
    std::ofstream(image) << "image";
    struct stat imageStatus {};
    ASSERT_EQ(::stat(image.c_str(), &imageStatus), 0);
    const DriveSource source{imageStatus.st_dev, imageStatus.st_ino};
    EXPECT_TRUE(TargetOnSource(source, image.string(), topology));
    EXPECT_FALSE(TargetOnSource(source, folder.string(), topology));
    EXPECT_FALSE(TargetOnSource(source, (folder / "recovered").string(), topology));
}

}  // namespace
