#include "platform/device_enumeration.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using platform::DeviceEnumerator;
using platform::DeviceList;

std::string letters(const DeviceList& list) {
    std::string out;
    for (const auto& volume : list.volumes) out += volume.letter;
    return out;
}

// A fake /sys, /dev and mountinfo of plain files.
class FakeMachine : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("enum-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "sys" / "block");
        fs::create_directories(root_ / "dev");
        write(root_ / "mountinfo", "");
    }
    void TearDown() override { fs::remove_all(root_); }

    static void write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << "\n";
    }
    fs::path disk(const std::string& name, std::uint64_t sectors, int major, int minor, bool removable = false) {
        const fs::path dir = root_ / "sys" / "block" / name;
        write(dir / "size", std::to_string(sectors));
        write(dir / "removable", removable ? "1" : "0");
        write(dir / "dev", std::to_string(major) + ":" + std::to_string(minor));
        return dir;
    }
    void partition(const fs::path& diskDir, const std::string& name, int number, std::uint64_t start,
                   std::uint64_t sectors, int minor) {
        const fs::path dir = diskDir / name;
        write(dir / "partition", std::to_string(number));
        write(dir / "start", std::to_string(start));
        write(dir / "size", std::to_string(sectors));
        write(dir / "dev", "8:" + std::to_string(minor));
    }
    DeviceEnumerator enumerator() {
        return DeviceEnumerator({(root_ / "sys").string(), (root_ / "dev").string(), (root_ / "mountinfo").string()});
    }
    fs::path root_;
};

TEST_F(FakeMachine, DisksInNameOrderWithAGapAndOtherDevicesIgnored) {
    disk("sdc", 2048, 8, 32);
    disk("sda", 2048, 8, 0);
    disk("sdaa", 2048, 65, 160);
    disk("nvme0n10", 2048, 259, 10);
    disk("nvme0n2", 2048, 259, 2);
    disk("sr0", 2048, 11, 0);       // optical drive
    disk("dm-0", 2048, 253, 0);     // device mapper
    disk("mmcblk0boot0", 64, 179, 8);
    disk("loop0", 2048, 7, 0);      // no backing file: nothing attached
    const fs::path loop1 = disk("loop1", 2048, 7, 1);
    write(loop1 / "loop" / "backing_file", "/tmp/image");

    const DeviceList list = enumerator().enumerate();
    std::vector<std::string> names;
    for (const auto& d : list.disks) names.push_back(d.name);
    EXPECT_EQ(names, (std::vector<std::string>{"loop1", "nvme0n2", "nvme0n10", "sda", "sdc", "sdaa"}));
    EXPECT_EQ(list.disks[3].path, (root_ / "dev" / "sda").string());
    EXPECT_EQ(list.disks[3].bytes, 2048u * 512);
    EXPECT_EQ(letters(list), "CDEFGH");  // each unpartitioned disk is one volume
}

TEST_F(FakeMachine, PartitionsLetteredInOrderExtendedContainerSkipped) {
    const fs::path sda = disk("sda", 100000, 8, 0);
    partition(sda, "sda1", 1, 2048, 8192, 1);
    partition(sda, "sda2", 2, 10240, 2, 2);  // the container as the kernel shows it
    partition(sda, "sda6", 6, 30000, 4000, 6);
    partition(sda, "sda5", 5, 12000, 4000, 5);
    write(root_ / "mountinfo", "36 25 8:5 / /media/my\\040stick rw - vfat /dev/sda5 rw\n");

    const DeviceList list = enumerator().enumerate();
    ASSERT_EQ(list.disks.size(), 1u);
    ASSERT_EQ(list.volumes.size(), 3u);
    EXPECT_EQ(list.volumes[0].name, "sda1");
    EXPECT_EQ(list.volumes[0].letter, 'C');
    EXPECT_EQ(list.volumes[0].bytes, 8192u * 512);
    EXPECT_EQ(list.volumes[0].baseOffset, 0u);  // a partition device starts at its partition
    EXPECT_EQ(list.volumes[1].name, "sda5");
    EXPECT_EQ(list.volumes[1].letter, 'D');
    EXPECT_EQ(list.volumes[1].partitionNumber, 5u);
    EXPECT_EQ(list.volumes[1].mountPoint, "/media/my stick");
    EXPECT_EQ(list.volumes[2].name, "sda6");
    EXPECT_EQ(list.volumes[2].disk, 0u);
}

TEST_F(FakeMachine, EmptyCardReaderIsListedNotReady) {
    disk("sda", 4096, 8, 0);
    disk("sdb", 0, 8, 16, true);
    const DeviceList list = enumerator().enumerate();
    ASSERT_EQ(list.disks.size(), 2u);
    EXPECT_FALSE(list.disks[1].ready);
    EXPECT_EQ(list.disks[1].driveType, platform::kEnumeratedRemovable);
    ASSERT_EQ(list.volumes.size(), 2u);
    EXPECT_EQ(list.volumes[1].letter, 'D');
    EXPECT_FALSE(list.volumes[1].ready);
    EXPECT_TRUE(list.volumes[0].ready);
}

TEST_F(FakeMachine, ThirtyPartitionsRunOutOfLetters) {
    const fs::path sda = disk("sda", 1000000, 8, 0);
    for (int n = 1; n <= 30; ++n) partition(sda, "sda" + std::to_string(n), n, 2048u * n, 1000, n);
    const DeviceList list = enumerator().enumerate();
    ASSERT_EQ(list.volumes.size(), 24u);  // C..Z
    EXPECT_EQ(list.volumes.front().letter, 'C');
    EXPECT_EQ(list.volumes.back().letter, 'Z');
    EXPECT_EQ(list.volumes.back().name, "sda24");
    EXPECT_EQ(list.unlettered, (std::vector<std::string>{"sda25", "sda26", "sda27", "sda28", "sda29", "sda30"}));
}

TEST_F(FakeMachine, DeviceKeepsItsLetterWhileAttached) {
    disk("sda", 4096, 8, 0);
    disk("sdb", 4096, 8, 16);
    disk("sdc", 4096, 8, 32);
    DeviceEnumerator devices = enumerator();
    EXPECT_EQ(letters(devices.enumerate()), "CDE");

    fs::remove_all(root_ / "sys" / "block" / "sdb");  // stick pulled
    DeviceList after = devices.enumerate();
    ASSERT_EQ(after.volumes.size(), 2u);
    EXPECT_EQ(after.volumes[0].letter, 'C');
    EXPECT_EQ(after.volumes[1].letter, 'E');  // sdc keeps E
    EXPECT_EQ(after.volumes[1].name, "sdc");

    disk("sdd", 4096, 8, 48);  // a new stick takes the free letter
    after = devices.enumerate();
    ASSERT_EQ(after.volumes.size(), 3u);
    EXPECT_EQ(after.volumes[1].name, "sdd");
    EXPECT_EQ(after.volumes[1].letter, 'D');
}

TEST_F(FakeMachine, MissingOrGarbledAttributesGiveEmptyNotReadyEntries) {
    const fs::path sda = disk("sda", 0, 8, 0);
    write(sda / "size", "lots");
    write(sda / "sda1" / "partition", "-1");  // not a partition number
    const DeviceList list = enumerator().enumerate();
    ASSERT_EQ(list.disks.size(), 1u);
    EXPECT_EQ(list.disks[0].bytes, 0u);
    EXPECT_FALSE(list.disks[0].ready);
    ASSERT_EQ(list.volumes.size(), 1u);  // no partitions: the disk itself
    EXPECT_EQ(list.volumes[0].name, "sda");
}

TEST_F(FakeMachine, NoSysfsAtAllGivesNothing) {
    fs::remove_all(root_ / "sys");
    fs::remove(root_ / "mountinfo");
    const DeviceList list = enumerator().enumerate();
    EXPECT_TRUE(list.disks.empty());
    EXPECT_TRUE(list.volumes.empty());
}

TEST(ListedDisks, PartitionsAndWholeFilesLetteredInOrder) {
    DeviceEnumerator devices({"/nonexistent", "/nonexistent", "/nonexistent"});
    const DeviceList list = devices.enumerateListed({
        {"/images/mbr.img", 12u << 20, true, {{1, 6, 1u << 20, 4u << 20}, {2, 7, 5u << 20, 6u << 20}}},
        {"/images/bare.img", 2u << 20, true, {}},
        {"/images/missing.img", 0, false, {}},
    });
    ASSERT_EQ(list.disks.size(), 3u);
    EXPECT_FALSE(list.disks[2].ready);
    ASSERT_EQ(list.volumes.size(), 3u);
    EXPECT_EQ(letters(list), "CDE");
    EXPECT_EQ(list.volumes[1].path, "/images/mbr.img");
    EXPECT_EQ(list.volumes[1].baseOffset, 5u << 20);
    EXPECT_EQ(list.volumes[1].bytes, 6u << 20);
    EXPECT_EQ(list.volumes[1].partitionType, 7);
    EXPECT_EQ(list.volumes[2].disk, 1u);
    EXPECT_EQ(list.volumes[2].baseOffset, 0u);
    EXPECT_EQ(list.volumes[2].bytes, 2u << 20);
}

TEST(BlockDeviceNames, CountedOrder) {
    EXPECT_TRUE(platform::blockDeviceNameLess("sdb", "sdaa"));
    EXPECT_TRUE(platform::blockDeviceNameLess("sdz", "sdaa"));
    EXPECT_FALSE(platform::blockDeviceNameLess("sdaa", "sdb"));
    EXPECT_TRUE(platform::blockDeviceNameLess("nvme0n2", "nvme0n10"));
    EXPECT_TRUE(platform::blockDeviceNameLess("nvme2n1", "nvme10n1"));
    EXPECT_TRUE(platform::blockDeviceNameLess("mmcblk9", "mmcblk10"));
    EXPECT_FALSE(platform::blockDeviceNameLess("sda", "sda"));
}

}  // namespace
