// One unreadable sector on a failing disk costs the NTFS listing only what the sector
// held: the fixture read through the fault-injection backend, each listing compared with
// the intact one.

#include <gtest/gtest.h>

#include <cerrno>
#include <set>

#include "../disk/disk_test_support.h"
#include "engine/fs/ntfs.h"
#include "fat_fixture.h"
#include "ntfs_crafted.h"
#include "platform/fault_injection.h"

using namespace ntfs_crafted;

namespace {

constexpr std::uint64_t kSector = 512;
constexpr std::int32_t kRetries = 3;
constexpr std::uint32_t kPause = 7;

// The fixture on a drive whose reads of one sector always fail.
struct FailingDisk {
    FailingDisk(const Buffer& image, std::optional<std::uint64_t> badSector)
        : bytes(std::make_shared<std::vector<std::uint8_t>>(image)),
          plan(std::make_shared<platform::FaultPlan>()) {
        drive.SetSource({kDriveImage, "memory", 0, bytes->size()});
        drive.SetDeviceOpener(platform::faultyOpener(plan, platform::memoryOpener(bytes)));
        drive.SetSleeper(pauses.sleeper());
        drive.GetDriveInfo()->Letter = 'E';
        if (badSector) plan->failReads(*badSector * kSector, (*badSector + 1) * kSector, EIO, -1);
    }

    std::shared_ptr<std::vector<std::uint8_t>> bytes;
    std::shared_ptr<platform::FaultPlan> plan;
    disktest::PauseLog pauses;
    CDrive drive;
};

}  // namespace

TEST(NtfsBadSector, ListingLosesOnlyWhatTheSectorHeld) {
    disktest::ScopedSettings settings(kRetries, kPause);
    const Buffer image = fixture();
    ASSERT_FALSE(image.empty());
    const Layout layout(image);
    const std::uint64_t rootIndex =
        layout.firstCluster(image, ntfs::kRootDirectory, 0xA0) * layout.clusterSize / kSector;
    ASSERT_NE(rootIndex, 0u);

    FailingDisk intactDisk(image, std::nullopt);
    CNTFS intactReader(&intactDisk.drive);
    ASSERT_GT(intactReader.Initialize(), 0);
    const Listing intact = listAll(intactReader);
    ASSERT_GT(intact.records.size(), 20u);
    EXPECT_TRUE(intactDisk.pauses.pauses.empty());

    const struct {
        const char* name;
        std::uint64_t sector;
        std::set<std::uint64_t> lost;  // records the sector held
    } cases[] = {
        {"$MFT record 1", layout.record(1) / kSector, {1}},
        {"$MFT record 3, second sector", layout.record(3) / kSector + 1, {3}},
        {"the root folder's index record", rootIndex, {}},
    };
    for (const auto& c : cases) {
        FailingDisk disk(image, c.sector);
        fattest::LogCapture log;
        CNTFS reader(&disk.drive);
        ASSERT_EQ(reader.Initialize(), intactReader.TotalMFTRecords()) << c.name;
        const Listing listing = listAll(reader);
        EXPECT_EQ(listing.reported, intact.reported) << c.name;
        Listing expected = intact;
        for (std::uint64_t number : c.lost) {
            expected.records.erase(number);
            EXPECT_EQ(log.count("FileGetNext: Can't read file record " + std::to_string(number)), 1u)
                << c.name;
        }
        EXPECT_EQ(listing.records, expected.records) << c.name;
        // The $MFT records compared with their mirror: the comparison notices the loss.
        const bool mirrored = !c.lost.empty() && *c.lost.begin() < 4;
        EXPECT_EQ(log.count("MFT and MFTMirr not equal"), mirrored ? 1u : 0u) << c.name;
        // Each read of the bad sector was tried kRetries times: the window of records
        // around it, then the record alone; nothing else pauses.
        EXPECT_EQ(disk.pauses.pauses.size(), c.lost.empty() ? 0u : 2u * kRetries) << c.name;
    }
}
