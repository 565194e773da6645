#include "engine/disk/disk_scanner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <future>

namespace {

using namespace std::chrono_literals;

std::vector<platform::DiskDevice> twoDisks() {
    return {{.name = "sda", .path = "/dev/sda"}, {.name = "sdc", .path = "/dev/sdc"}};
}

TEST(DiskScanner, DevicesAreNumberedNamesUntilTheirQueriesReplaceThem) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    CDiskScanner scanner(twoDisks, [&](CDrive& drive) {
        released.wait();
        std::strcpy(drive.GetDriveInfo()->Description, "ACME, Disk");
        drive.GetDriveInfo()->Geometry.BytesPerSector = 512;
    }, 20ms);
    scanner.waitForScan();  // settles after the deadline although the queries still run
    auto devices = scanner.devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0]->name(), u"Device #0");
    EXPECT_EQ(devices[1]->name(), u"Device #1");
    EXPECT_EQ(devices[1]->path(), "/dev/sdc");

    release.set_value();
    for (const auto& device : devices) EXPECT_TRUE(device->waitUntil(std::chrono::steady_clock::now() + 10s));
    EXPECT_EQ(devices[0]->name(), u"ACME, Disk");
    EXPECT_EQ(devices[0]->geometry().BytesPerSector, 512u);
}

TEST(DiskScanner, QueryWithoutANameKeepsTheNumberedOneAndAFailingQueryIsContained) {
    CDiskScanner scanner(twoDisks, [](CDrive& drive) {
        if (drive.GetDriveInfo()->Letter == '1') throw std::runtime_error("device vanished");
    });
    scanner.waitForScan();
    auto devices = scanner.devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0]->name(), u"Device #0");
    EXPECT_EQ(devices[1]->name(), u"Device #1");
}

TEST(DiskScanner, NoDisksNoDevices) {
    CDiskScanner scanner([] { return std::vector<platform::DiskDevice>{}; });
    scanner.waitForScan();
    EXPECT_TRUE(scanner.devices().empty());
}

}  // namespace
