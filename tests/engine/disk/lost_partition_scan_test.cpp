// The sector tests and the scanner of the lost-partition search over in-memory disks.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "engine/disk/lost_partition_scan.h"
#include "engine/records.h"
#include "sparse_disk.h"

namespace {

using disktest::fatBoot;
using disktest::ntfsBoot;
using disktest::Sector;
using disktest::slot;
using disktest::SparseDisk;
using engine::lost::LostPartitionScanner;
using engine::lost::LostRegion;
using engine::lost::SectorView;

std::vector<LostRegion> examine(LostPartitionScanner& scanner, const SparseDisk& disk, std::uint64_t lba) {
    const Sector s = disk.get(lba);
    return scanner.examine(lba, SectorView(s));
}

// Every sector that holds something, in order, as the search would meet them.
std::vector<LostRegion> scanAll(SparseDisk& disk, std::size_t maxRegions = 100) {
    LostPartitionScanner scanner(disk.source(), disk.total, maxRegions);
    std::vector<LostRegion> found;
    for (const auto& entry : disk.sectors)
        for (const LostRegion& r : examine(scanner, disk, entry.first)) found.push_back(r);
    for (const LostRegion& r : scanner.finish()) found.push_back(r);
    return found;
}

TEST(LostSectorTests, SignatureBootSectorAndTableAreTold) {
    Sector s{};
    EXPECT_FALSE(engine::lost::HasBootSignature(SectorView(s)));
    disktest::sign(s);
    EXPECT_TRUE(engine::lost::HasBootSignature(SectorView(s)));
    EXPECT_FALSE(engine::lost::IsPartitionTable(SectorView(s)));

    const Sector fat = fatBoot(8192);
    EXPECT_TRUE(engine::lost::IsBootSector(SectorView(fat)));
    EXPECT_EQ(engine::lost::bootSectorFileSystem(SectorView(fat)), kFileSystemFat16);
    EXPECT_EQ(engine::lost::bootSectorVolumeSectors(SectorView(fat)), 8192u);
    EXPECT_EQ(engine::lost::bootSectorVolumeSectors(SectorView(fatBoot(0, 70000))), 70000u);
    EXPECT_EQ(engine::lost::bootSectorVolumeSectors(SectorView(ntfsBoot(12287))), 12288u);

    // A boot loader that starts with a jump but has no parameter block is no volume.
    Sector loader{0xEB, 0x63, 0x90};
    slot(loader, 0, 0x83, 2048, 1000);
    EXPECT_FALSE(engine::lost::IsBootSector(SectorView(loader)));
    EXPECT_TRUE(engine::lost::IsPartitionTable(SectorView(loader)));

    Sector halfEntry{};
    slot(halfEntry, 0, 7, 2048, 409600);
    disktest::putLe(halfEntry.data() + 446 + 16 + 8, 500000, 4);  // entry 1: a start but no count
    EXPECT_FALSE(engine::lost::IsPartitionTable(SectorView(halfEntry)));
}

TEST(LostRegions, WhereTablesAndBootSectorsPlaceThem) {
    using Extents = std::vector<std::pair<std::uint64_t, std::uint64_t>>;
    const struct {
        const char* name;
        std::uint64_t sectors;
        std::function<void(SparseDisk&)> build;
        Extents found;  // first sector and count of each region
    } cases[] = {
        {"partition ending at the disk end", 411648, [](SparseDisk& d) { slot(d.at(0), 0, 7, 2048, 409600); },
         {{2048, 409600}}},
        {"one sector past it", 411647, [](SparseDisk& d) { slot(d.at(0), 0, 7, 2048, 409600); }, {}},
        {"extended record found alone", 1000000, [](SparseDisk& d) { slot(d.at(100000), 0, 7, 2048, 10000); },
         {{102048, 10000}}},
        {"sums past four gigasectors", std::uint64_t{1} << 34,
         [](SparseDisk& d) { slot(d.at(0xFFFFF000ull), 0, 7, 0xFFFF0000u, 0x10000000u); },
         {{0xFFFFF000ull + 0xFFFF0000ull, 0x10000000u}}},
        {"no size: up to the next boot sector or the disk end", 10000,
         [](SparseDisk& d) {
             d.at(100) = fatBoot(0, 0, "FIRST      ");
             d.at(3000) = fatBoot(0, 0, "SECOND     ");
         },
         {{100, 2900}, {3000, 7000}}},
        {"size cut at the disk end", 5000, [](SparseDisk& d) { d.at(1000) = fatBoot(0, 100000); }, {{1000, 4000}}},
    };
    for (const auto& c : cases) {
        SparseDisk disk{c.sectors};
        c.build(disk);
        Extents found;
        for (const LostRegion& r : scanAll(disk)) found.emplace_back(r.firstSector, r.sectorCount);
        EXPECT_EQ(found, c.found) << c.name;
    }
}

TEST(LostTables, LogicalPartitionsAreRelativeToTheirChain) {
    SparseDisk disk{1000000};
    slot(disk.at(0), 0, 6, 2048, 8192);
    slot(disk.at(0), 1, 15, 100000, 200000);
    // First EBR: logical 63 sectors past itself, next EBR 50000 past the extended start.
    slot(disk.at(100000), 0, 7, 63, 10000);
    slot(disk.at(100000), 1, 5, 50000, 20000);
    slot(disk.at(150000), 0, 11, 63, 5000);
    LostPartitionScanner scanner(disk.source(), disk.total, 100);
    const auto found = examine(scanner, disk, 0);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].firstSector, 2048u);
    EXPECT_EQ(found[1].firstSector, 100063u);
    EXPECT_EQ(found[1].fileSystemCode, 7);
    EXPECT_TRUE(found[1].fromTable);
    EXPECT_EQ(found[2].firstSector, 150063u);
    EXPECT_EQ(found[2].sectorCount, 5000u);
    // Meeting the extended records again later in the scan repeats nothing.
    EXPECT_TRUE(examine(scanner, disk, 100000).empty());
    EXPECT_TRUE(examine(scanner, disk, 150000).empty());
}

TEST(LostTables, LoopingChainEnds) {
    SparseDisk disk{1000000};
    slot(disk.at(0), 0, 15, 1000, 100000);
    slot(disk.at(1000), 0, 7, 10, 10);
    slot(disk.at(1000), 1, 5, 2000, 100);
    slot(disk.at(3000), 0, 7, 10, 10);
    slot(disk.at(3000), 1, 5, 1, 100);  // back towards the first record's neighbourhood
    slot(disk.at(1001), 0, 7, 10, 10);
    slot(disk.at(1001), 1, 5, 2000, 100);  // and into the loop
    LostPartitionScanner scanner(disk.source(), disk.total, 100);
    EXPECT_EQ(examine(scanner, disk, 0).size(), 3u);
    EXPECT_LT(disk.reads, 20);
}

TEST(LostBootSectors, SizesComeFromTheBootSectorAndBackupsAreSkipped) {
    SparseDisk disk{24576};
    disk.at(2048) = fatBoot(8192);
    disk.at(10240) = ntfsBoot(12287);
    disk.at(22527) = ntfsBoot(12287);  // the NTFS backup boot sector
    const auto found = scanAll(disk);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].firstSector, 2048u);
    EXPECT_EQ(found[0].sectorCount, 8192u);
    EXPECT_EQ(found[0].fileSystemCode, kFileSystemFat16);
    EXPECT_FALSE(found[0].fromTable);
    EXPECT_EQ(found[1].firstSector, 10240u);
    EXPECT_EQ(found[1].sectorCount, 12288u);
    EXPECT_EQ(found[1].fileSystemCode, kFileSystemNtfs);
}

TEST(LostRegions, KnownStartsAndTheCapHoldBack) {
    SparseDisk disk{1000000};
    slot(disk.at(0), 0, 7, 2048, 1000);
    slot(disk.at(0), 1, 7, 4096, 1000);
    disk.at(2048) = fatBoot(1000);  // the first partition's own boot sector
    disk.at(8192) = fatBoot(1000, 0, "OTHER      ");
    disk.at(9000) = fatBoot(1000, 0, "THIRD      ");
    LostPartitionScanner known(disk.source(), disk.total, 100);
    known.markKnown(4096);
    std::vector<std::uint64_t> starts;
    for (std::uint64_t lba : {0u, 2048u, 8192u, 9000u})
        for (const LostRegion& r : examine(known, disk, lba)) starts.push_back(r.firstSector);
    EXPECT_EQ(starts, (std::vector<std::uint64_t>{2048, 8192, 9000}));
    EXPECT_EQ(scanAll(disk, 2).size(), 2u);
}

TEST(LostTables, RepeatedGptHeadersCostABoundedNumberOfReads) {
    // 6 MiB: 1024 table positions, each of whose headers asks for an array of 8192 sectors.
    SparseDisk disk{12288};
    disktest::repeatedGptHeaders(disk, 1024);
    LostPartitionScanner scanner(disk.source(), disk.total, 100);
    std::vector<LostRegion> found;
    for (const auto& entry : disk.sectors)
        for (const LostRegion& r : examine(scanner, disk, entry.first)) found.push_back(r);
    EXPECT_TRUE(found.empty());
    EXPECT_TRUE(scanner.tableBudgetSpent());
    EXPECT_LE(static_cast<std::uint64_t>(disk.reads), engine::lost::kTableReadBudget);
}

TEST(LostTables, EachGptHeaderPositionIsExaminedOnce) {
    // Protective MBRs without a primary header: each table looks for its backup header in
    // the disk's last sector.
    SparseDisk disk{100000};
    for (std::uint64_t lba = 0; lba < 2000; lba += 2) slot(disk.at(lba), 0, 0xEE, 1, 0xFFFFFFFF);
    std::map<std::uint64_t, int> readsAt;
    const engine::SectorSource counting = [&](std::uint64_t lba, std::span<std::uint8_t, 512> out) {
        ++readsAt[lba];
        return disk.source()(lba, out);
    };
    LostPartitionScanner scanner(counting, disk.total, 100);
    for (const auto& entry : disk.sectors) examine(scanner, disk, entry.first);
    EXPECT_EQ(readsAt[disk.total - 1], 1);
    for (std::uint64_t header = 1; header < 2000; header += 2) EXPECT_EQ(readsAt[header], 1) << header;
}

TEST(LostRegions, SectorsPastTheDiskAreIgnored) {
    SparseDisk disk{100};
    const Sector boot = fatBoot(10);
    LostPartitionScanner scanner(disk.source(), disk.total, 100);
    EXPECT_TRUE(scanner.examine(100, SectorView(boot)).empty());
    EXPECT_TRUE(scanner.finish().empty());
}

}  // namespace
