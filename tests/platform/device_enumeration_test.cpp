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

// "letter name disk #partition @baseOffset +bytes mountPoint" per volume.
std::vector<std::string> volumes(const DeviceList& list) {
    std::vector<std::string> out;
    for (const auto& v : list.volumes) {
        out.push_back(std::string(1, v.letter) + " " + v.name + " " + std::to_string(v.disk) + " #" +
                      std::to_string(v.partitionNumber) + " @" + std::to_string(v.baseOffset) + " +" +
                      std::to_string(v.bytes) + " " + v.mountPoint);
    }
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
    fs::path disk(const std::string& name, std::uint64_t sectors, const std::string& dev, bool removable = false) {
        const fs::path dir = root_ / "sys" / "block" / name;
        write(dir / "size", std::to_string(sectors));
        write(dir / "removable", removable ? "1" : "0");
        write(dir / "dev", dev);
        return dir;
    }
    void partition(const fs::path& diskDir, int number, std::uint64_t start, std::uint64_t sectors) {
        const fs::path dir = diskDir / (diskDir.filename().string() + std::to_string(number));
        write(dir / "partition", std::to_string(number));
        write(dir / "start", std::to_string(start));
        write(dir / "size", std::to_string(sectors));
        write(dir / "dev", "8:" + std::to_string(number));
    }
    DeviceEnumerator enumerator() {
        return DeviceEnumerator({(root_ / "sys").string(), (root_ / "dev").string(), (root_ / "mountinfo").string()});
    }
    fs::path root_;
};

TEST_F(FakeMachine, DisksInNameOrderWithAGapAndOtherDevicesIgnored) {
    for (const char* name : {"sdc", "sda", "sdaa", "nvme0n10", "nvme0n2", "sr0", "dm-0", "loop0"}) {
        disk(name, 2048, "8:0");  // sysfs names decide; sr, dm and unattached loops are skipped
    }
    disk("mmcblk0boot0", 64, "179:8");
    write(disk("loop1", 2048, "7:1") / "loop" / "backing_file", "/tmp/image");

    const DeviceList list = enumerator().enumerate();
    std::vector<std::string> names;
    for (const auto& d : list.disks) names.push_back(d.name);
    EXPECT_EQ(names, (std::vector<std::string>{"loop1", "nvme0n2", "nvme0n10", "sda", "sdc", "sdaa"}));
    EXPECT_EQ(list.disks[3].path, (root_ / "dev" / "sda").string());
    EXPECT_EQ(list.disks[3].bytes, 2048u * 512);
    EXPECT_EQ(letters(list), "CDEFGH");  // each unpartitioned disk is one volume
}

TEST_F(FakeMachine, PartitionsLetteredInOrderExtendedContainerSkipped) {
    const fs::path sda = disk("sda", 100000, "8:0");
    partition(sda, 1, 2048, 8192);
    partition(sda, 2, 10240, 2);  // the container as the kernel shows it
    partition(sda, 6, 30000, 4000);
    partition(sda, 5, 12000, 4000);
    write(root_ / "mountinfo", "36 25 8:5 / /media/my\\040stick rw - vfat /dev/sda5 rw\n");

    const DeviceList list = enumerator().enumerate();
    ASSERT_EQ(list.disks.size(), 1u);
    // A partition device starts at its partition: no base offset.
    EXPECT_EQ(volumes(list), (std::vector<std::string>{"C sda1 0 #1 @0 +4194304 ", "D sda5 0 #5 @0 +2048000 /media/my stick",
                                                       "E sda6 0 #6 @0 +2048000 "}));
}

TEST_F(FakeMachine, EmptyCardReaderAndGarbledAttributesGiveNotReadyEntries) {
    disk("sda", 4096, "8:0");
    disk("sdb", 0, "8:16", true);
    const fs::path sdc = disk("sdc", 0, "8:32");
    write(sdc / "size", "lots");
    write(sdc / "sdc1" / "partition", "-1");  // not a partition number
    const DeviceList list = enumerator().enumerate();
    ASSERT_EQ(list.disks.size(), 3u);
    EXPECT_FALSE(list.disks[1].ready);
    EXPECT_EQ(list.disks[1].driveType, platform::kEnumeratedRemovable);
    EXPECT_EQ(list.disks[2].bytes, 0u);
    EXPECT_FALSE(list.disks[2].ready);
    ASSERT_EQ(list.volumes.size(), 3u);  // sdc has no partitions: the disk itself
    EXPECT_EQ(letters(list), "CDE");
    EXPECT_TRUE(list.volumes[0].ready);
    EXPECT_FALSE(list.volumes[1].ready);
    EXPECT_EQ(list.volumes[2].name, "sdc");

    fs::remove_all(root_ / "sys");
    fs::remove(root_ / "mountinfo");
    const DeviceList nothing = enumerator().enumerate();
    EXPECT_TRUE(nothing.disks.empty());
    EXPECT_TRUE(nothing.volumes.empty());
}

TEST_F(FakeMachine, ThirtyPartitionsRunOutOfLetters) {
    const fs::path sda = disk("sda", 1000000, "8:0");
    for (int n = 1; n <= 30; ++n) partition(sda, n, 2048u * n, 1000);
    const DeviceList list = enumerator().enumerate();
    ASSERT_EQ(list.volumes.size(), 24u);  // C..Z
    EXPECT_EQ(list.volumes.front().letter, 'C');
    EXPECT_EQ(list.volumes.back().letter, 'Z');
    EXPECT_EQ(list.volumes.back().name, "sda24");
    EXPECT_EQ(list.unlettered, (std::vector<std::string>{"sda25", "sda26", "sda27", "sda28", "sda29", "sda30"}));
}

TEST_F(FakeMachine, DeviceKeepsItsLetterWhileAttached) {
    for (const char* name : {"sda", "sdb", "sdc"}) disk(name, 4096, "8:0");
    DeviceEnumerator devices = enumerator();
    EXPECT_EQ(letters(devices.enumerate()), "CDE");

    fs::remove_all(root_ / "sys" / "block" / "sdb");  // stick pulled
    DeviceList after = devices.enumerate();
    ASSERT_EQ(after.volumes.size(), 2u);
    EXPECT_EQ(letters(after), "CE");  // sdc keeps E
    EXPECT_EQ(after.volumes[1].name, "sdc");

    disk("sdd", 4096, "8:48");  // a new stick takes the free letter
    after = devices.enumerate();
    ASSERT_EQ(after.volumes.size(), 3u);
    EXPECT_EQ(after.volumes[1].name, "sdd");
    EXPECT_EQ(after.volumes[1].letter, 'D');
}

TEST(BlockDeviceNames, CountedOrder) {
    const std::pair<const char*, const char*> ordered[] = {
        {"sdb", "sdaa"}, {"sdz", "sdaa"}, {"nvme0n2", "nvme0n10"}, {"nvme2n1", "nvme10n1"}, {"mmcblk9", "mmcblk10"}};
    for (const auto& [lower, higher] : ordered) {
        EXPECT_TRUE(platform::blockDeviceNameLess(lower, higher)) << lower << " < " << higher;
        EXPECT_FALSE(platform::blockDeviceNameLess(higher, lower)) << higher << " < " << lower;
    }
    EXPECT_FALSE(platform::blockDeviceNameLess("sda", "sda"));
}

}  // namespace
