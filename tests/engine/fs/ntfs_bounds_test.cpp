// Counts from a hostile disk bounded by the drive's size: the fixture with its boot
// sector, $MFT or $Bitmap forged lists what it holds, in memory proportional to the
// drive, with the error that names the forgery.

#include <gtest/gtest.h>

#include <functional>

#include "engine/exports.h"
#include "engine/log.h"
#include "fat_fixture.h"
#include "engine/support/largest_allocation.h"
#include "ntfs_crafted.h"

using namespace ntfs_crafted;

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

struct Opened {
    std::unique_ptr<CDrive> drive;
    std::unique_ptr<CNTFS> ntfs;
    int total = 0;
    Listing listing;
    std::size_t largestAllocation = 0;
};

Opened openAndList(std::unique_ptr<CDrive> drive) {
    Opened opened;
    opened.drive = std::move(drive);
    test_support::LargestAllocation probe;
    opened.ntfs = std::make_unique<CNTFS>(opened.drive.get());
    opened.total = opened.ntfs->Initialize();
    opened.listing = listAll(*opened.ntfs);
    opened.largestAllocation = probe.bytes();
    return opened;
}

Opened openFixture(const std::function<void(Buffer&)>& forge) {
    Buffer image = fixture();
    EXPECT_FALSE(image.empty());
    forge(image);
    return openAndList(std::make_unique<ntfs_test::MemoryDrive>(std::move(image), 'E'));
}

// Every record of `intact` is listed alike in `listing`, but for the size of `forged`.
void expectHolds(const Listing& listing, const Listing& intact, const char* name,
                 std::uint64_t forged) {
    for (const auto& [number, entry] : intact.records) {
        auto found = listing.records.find(number);
        ASSERT_NE(found, listing.records.end()) << name << " record " << number;
        Listed expected = entry;
        if (number == forged) expected.size = found->second.size;
        EXPECT_EQ(found->second, expected) << name << " record " << number;
    }
}

}  // namespace

TEST(NtfsBounds, ForgedCountsAreBoundedByTheDrive) {
    const Opened intact = openFixture([](Buffer&) {});
    ASSERT_GT(intact.total, 0);
    ASSERT_GT(intact.listing.records.size(), 20u);
    const std::uint64_t driveClusters = 8 * kMiB / 4096;

    const struct {
        const char* name;
        std::function<void(Buffer&)> forge;
        const char* error;
        std::uint64_t forgedRecord;  // its size differs
        bool sameRecordCount;
    } cases[] = {
        {"volume of 2^40 sectors", forgeTotalSectors,
         "CNTFS.Initialize: the volume's 1099511627776 sectors exceed the drive's 16384", 1000,
         true},
        {"$MFT of 2^32 records in a volume of 2^40 sectors",
         [](Buffer& image) {
             forgeTotalSectors(image);
             forgeMftLength(image);
         },
         "CNTFS.CheckMFT: Not all found MFT clusters! Must be: 1073741824, Found : 2044,", 0,
         false},
        {"$Bitmap of 8 GiB in a volume of 2^40 sectors",
         [](Buffer& image) {
             forgeTotalSectors(image);
             forgeBitmapSize(image);
         },
         "CNTFS.Initialize: the volume's 1099511627776 sectors exceed the drive's 16384",
         ntfs::kBitmapRecord, true},
    };
    for (const auto& c : cases) {
        fattest::LogCapture log;
        const Opened crafted = openFixture(c.forge);
        ASSERT_GT(crafted.total, 0) << c.name;
        EXPECT_EQ(log.count(c.error), 1u) << c.name;
        EXPECT_EQ(+crafted.drive->GetDriveInfo()->TotalClusters, driveClusters) << c.name;
        EXPECT_LE(crafted.ntfs->TotalMFTRecords(), 8 * kMiB / 1024) << c.name;
        EXPECT_LE(crafted.drive->clusterMap().sizeInBytes(), driveClusters / 8) << c.name;
        if (test_support::LargestAllocation::available()) {
            EXPECT_LE(crafted.largestAllocation, 2 * kMiB) << c.name;
        }
        if (c.sameRecordCount) {
            EXPECT_EQ(crafted.listing.reported, intact.listing.reported) << c.name;
        }
        expectHolds(crafted.listing, intact.listing, c.name, c.forgedRecord);
    }
}

TEST(NtfsBounds, BitmapOfATwoTebibyteDriveHoldsWhatItsRunsStore) {
    // A whole 2 TiB volume (a sparse drive) whose $Bitmap claims 8 GiB in its one cluster.
    constexpr std::uint64_t kSectors = std::uint64_t{1} << 32;
    const Opened intact = openFixture([](Buffer&) {});
    const struct {
        const char* name;
        std::uint32_t bitmapClusters;
        std::uint64_t mapBytes;
    } cases[] = {
        {"one cluster", 1, 4096},
        // A run as long as the volume: the map is as large as the volume needs.
        {"a run over the volume", 0x1FFFFEF9, kSectors / 8 / 8},
    };
    for (const auto& c : cases) {
        Buffer image = fixture();
        ASSERT_FALSE(image.empty());
        put<std::uint64_t>(image, 40, kSectors - 1);
        forgeBitmapSize(image);
        const Layout layout(image);
        const std::uint64_t attribute = layout.attribute(image, ntfs::kBitmapRecord, ntfs::kAttrData);
        const std::uint64_t pairs = attribute + ntfs::fieldOr<std::uint16_t>(image, attribute + 32);
        const std::uint64_t lcn = layout.firstCluster(image, ntfs::kBitmapRecord, ntfs::kAttrData);
        const Buffer run = {0x24, std::uint8_t(c.bitmapClusters), std::uint8_t(c.bitmapClusters >> 8),
                            std::uint8_t(c.bitmapClusters >> 16), std::uint8_t(c.bitmapClusters >> 24),
                            std::uint8_t(lcn), std::uint8_t(lcn >> 8), 0};
        std::copy(run.begin(), run.end(), image.begin() + static_cast<std::ptrdiff_t>(pairs));
        const Opened crafted = openAndList(std::make_unique<SparseDrive>(std::move(image), kSectors));
        ASSERT_EQ(crafted.total, intact.total) << c.name;
        EXPECT_EQ(crafted.drive->clusterMap().sizeInBytes(), c.mapBytes) << c.name;
        if (test_support::LargestAllocation::available()) {
            EXPECT_LE(crafted.largestAllocation, c.mapBytes + kMiB) << c.name;
        }
        EXPECT_EQ(crafted.listing.records.size(), intact.listing.records.size()) << c.name;
        expectHolds(crafted.listing, intact.listing, c.name, ntfs::kBitmapRecord);
    }
}
