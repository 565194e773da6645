// The sector tests and the scanner of the lost-partition search over in-memory disks.

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "engine/disk/lost_partition_scan.h"
#include "engine/records.h"

namespace {

using engine::lost::LostPartitionScanner;
using engine::lost::LostRegion;
using Sector = std::array<std::uint8_t, 512>;

// A sparse disk: sectors not written read as zeros.
struct SparseDisk {
    std::uint64_t total;
    std::map<std::uint64_t, Sector> sectors;
    int reads = 0;

    Sector& at(std::uint64_t lba) { return sectors[lba]; }
    Sector get(std::uint64_t lba) const {
        auto found = sectors.find(lba);
        return found == sectors.end() ? Sector{} : found->second;
    }
    engine::SectorSource source() {
        return [this](std::uint64_t lba, std::span<std::uint8_t, 512> out) {
            ++reads;
            const Sector s = get(lba);
            std::memcpy(out.data(), s.data(), 512);
            return lba < total;
        };
    }
    // Every sector that holds something, in order, as the search would meet them.
    std::vector<LostRegion> scanAll(std::size_t maxRegions = 100) {
        LostPartitionScanner scanner(source(), total, maxRegions);
        std::vector<LostRegion> found;
        for (const auto& [lba, bytes] : sectors) {
            const Sector copy = bytes;
            for (const LostRegion& r : scanner.examine(lba, engine::lost::SectorView(copy))) found.push_back(r);
        }
        for (const LostRegion& r : scanner.finish()) found.push_back(r);
        return found;
    }
};

void put32(Sector& s, std::size_t at, std::uint32_t v) { std::memcpy(s.data() + at, &v, 4); }
void put16(Sector& s, std::size_t at, std::uint16_t v) { std::memcpy(s.data() + at, &v, 2); }
void sign(Sector& s) { s[510] = 0x55; s[511] = 0xAA; }
void entry(Sector& s, int slot, std::uint8_t type, std::uint32_t first, std::uint32_t count) {
    const std::size_t at = 446 + static_cast<std::size_t>(slot) * 16;
    s[at + 4] = type;
    put32(s, at + 8, first);
    put32(s, at + 12, count);
    sign(s);
}
Sector fatBoot(std::uint16_t sectors16, std::uint32_t sectors32, const char* label = "VOLUME     ") {
    Sector s{};
    s[0] = 0xEB; s[1] = 0x3C; s[2] = 0x90;
    std::memcpy(s.data() + 3, "mkfs.fat", 8);
    put16(s, 11, 512);
    s[13] = 4;
    put16(s, 14, 4);
    s[16] = 2;
    put16(s, 19, sectors16);
    s[21] = 0xF8;
    put32(s, 32, sectors32);
    std::memcpy(s.data() + 43, label, 11);
    std::memcpy(s.data() + 54, "FAT16   ", 8);
    sign(s);
    return s;
}
Sector ntfsBoot(std::uint64_t sectors) {
    Sector s{};
    s[0] = 0xEB; s[1] = 0x52; s[2] = 0x90;
    std::memcpy(s.data() + 3, "NTFS    ", 8);
    put16(s, 11, 512);
    s[13] = 8;
    std::memcpy(s.data() + 40, &sectors, 8);
    sign(s);
    return s;
}

TEST(LostSectorTests, SignatureBootSectorAndTableAreTold) {
    Sector s{};
    EXPECT_FALSE(engine::lost::HasBootSignature(engine::lost::SectorView(s)));
    sign(s);
    EXPECT_TRUE(engine::lost::HasBootSignature(engine::lost::SectorView(s)));
    EXPECT_FALSE(engine::lost::IsPartitionTable(engine::lost::SectorView(s)));

    const Sector fat = fatBoot(8192, 0);
    EXPECT_TRUE(engine::lost::IsBootSector(engine::lost::SectorView(fat)));
    EXPECT_EQ(engine::lost::bootSectorFileSystem(engine::lost::SectorView(fat)), kFileSystemFat16);
    EXPECT_EQ(engine::lost::bootSectorVolumeSectors(engine::lost::SectorView(fat)), 8192u);
    EXPECT_EQ(engine::lost::bootSectorVolumeSectors(engine::lost::SectorView(fatBoot(0, 70000))), 70000u);
    const Sector ntfs = ntfsBoot(12287);
    EXPECT_EQ(engine::lost::bootSectorVolumeSectors(engine::lost::SectorView(ntfs)), 12288u);

    // A boot loader that starts with a jump but has no parameter block is no volume.
    Sector loader{};
    loader[0] = 0xEB; loader[1] = 0x63; loader[2] = 0x90;
    entry(loader, 0, 0x83, 2048, 1000);
    EXPECT_FALSE(engine::lost::IsBootSector(engine::lost::SectorView(loader)));
    EXPECT_TRUE(engine::lost::IsPartitionTable(engine::lost::SectorView(loader)));

    Sector halfEntry{};
    entry(halfEntry, 0, 7, 2048, 409600);
    put32(halfEntry, 446 + 16 + 8, 500000);  // entry 1: a start but no count
    EXPECT_FALSE(engine::lost::IsPartitionTable(engine::lost::SectorView(halfEntry)));
}

TEST(LostTables, OneEntryBecomesOneRegion) {
    SparseDisk disk{1000000, {}};
    entry(disk.at(0), 0, 7, 2048, 409600);
    const auto found = disk.scanAll();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].firstSector, 2048u);
    EXPECT_EQ(found[0].sectorCount, 409600u);
    EXPECT_EQ(found[0].fileSystemCode, 7);
    EXPECT_TRUE(found[0].fromTable);
}

TEST(LostTables, PartitionEndingAtTheDiskEndIsFoundOnePastIsNot) {
    SparseDisk exact{411648, {}};
    entry(exact.at(0), 0, 7, 2048, 409600);
    EXPECT_EQ(exact.scanAll().size(), 1u);
    SparseDisk short_{411647, {}};
    entry(short_.at(0), 0, 7, 2048, 409600);
    EXPECT_TRUE(short_.scanAll().empty());
}

TEST(LostTables, LogicalPartitionsAreRelativeToTheirChain) {
    SparseDisk disk{1000000, {}};
    entry(disk.at(0), 0, 6, 2048, 8192);
    entry(disk.at(0), 1, 15, 100000, 200000);
    // First EBR: logical 63 sectors past itself, next EBR 50000 past the extended start.
    entry(disk.at(100000), 0, 7, 63, 10000);
    entry(disk.at(100000), 1, 5, 50000, 20000);
    entry(disk.at(150000), 0, 11, 63, 5000);
    LostPartitionScanner scanner(disk.source(), disk.total, 100);
    const Sector mbr = disk.get(0);
    const auto found = scanner.examine(0, engine::lost::SectorView(mbr));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].firstSector, 2048u);
    EXPECT_EQ(found[1].firstSector, 100063u);
    EXPECT_EQ(found[1].fileSystemCode, 7);
    EXPECT_EQ(found[2].firstSector, 150063u);
    EXPECT_EQ(found[2].sectorCount, 5000u);
    // Meeting the extended records again later in the scan repeats nothing.
    for (std::uint64_t lba : {100000u, 150000u}) {
        const Sector ebr = disk.get(lba);
        EXPECT_TRUE(scanner.examine(lba, engine::lost::SectorView(ebr)).empty());
    }
}

TEST(LostTables, ExtendedRecordFoundAloneGivesItsLogicalPartition) {
    SparseDisk disk{1000000, {}};
    entry(disk.at(100000), 0, 7, 2048, 10000);
    const auto found = disk.scanAll();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].firstSector, 102048u);
}

TEST(LostTables, LoopingChainEnds) {
    SparseDisk disk{1000000, {}};
    entry(disk.at(0), 0, 15, 1000, 100000);
    entry(disk.at(1000), 0, 7, 10, 10);
    entry(disk.at(1000), 1, 5, 2000, 100);
    entry(disk.at(3000), 0, 7, 10, 10);
    entry(disk.at(3000), 1, 5, 0 + 1, 100);  // back towards the first record's neighbourhood
    entry(disk.at(1001), 0, 7, 10, 10);
    entry(disk.at(1001), 1, 5, 2000, 100);  // and into the loop
    LostPartitionScanner scanner(disk.source(), disk.total, 100);
    const Sector mbr = disk.get(0);
    const auto found = scanner.examine(0, engine::lost::SectorView(mbr));
    EXPECT_EQ(found.size(), 3u);
    EXPECT_LT(disk.reads, 20);
}

TEST(LostTables, SumsPastFourGigasectorsStayExact) {
    const std::uint64_t table = 0xFFFFF000ull;
    SparseDisk disk{std::uint64_t{1} << 34, {}};
    entry(disk.at(table), 0, 7, 0xFFFF0000u, 0x10000000u);
    const auto found = disk.scanAll();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].firstSector, table + 0xFFFF0000ull);
    EXPECT_EQ(found[0].sectorCount, 0x10000000u);
}

TEST(LostBootSectors, SizesComeFromTheBootSectorAndBackupsAreSkipped) {
    SparseDisk disk{24576, {}};
    disk.at(2048) = fatBoot(8192, 0);
    disk.at(10240) = ntfsBoot(12287);
    disk.at(22527) = ntfsBoot(12287);  // the NTFS backup boot sector
    const auto found = disk.scanAll();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].firstSector, 2048u);
    EXPECT_EQ(found[0].sectorCount, 8192u);
    EXPECT_EQ(found[0].fileSystemCode, kFileSystemFat16);
    EXPECT_FALSE(found[0].fromTable);
    EXPECT_EQ(found[1].firstSector, 10240u);
    EXPECT_EQ(found[1].sectorCount, 12288u);
    EXPECT_EQ(found[1].fileSystemCode, kFileSystemNtfs);
}

TEST(LostBootSectors, VolumeWithoutASizeEndsAtTheNextBootSectorOrTheDisk) {
    SparseDisk disk{10000, {}};
    disk.at(100) = fatBoot(0, 0, "FIRST      ");
    disk.at(3000) = fatBoot(0, 0, "SECOND     ");
    const auto found = disk.scanAll();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].firstSector, 100u);
    EXPECT_EQ(found[0].sectorCount, 2900u);
    EXPECT_EQ(found[1].firstSector, 3000u);
    EXPECT_EQ(found[1].sectorCount, 7000u);
}

TEST(LostBootSectors, SizeIsCutAtTheDiskEnd) {
    SparseDisk disk{5000, {}};
    disk.at(1000) = fatBoot(0, 100000);
    const auto found = disk.scanAll();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].sectorCount, 4000u);
}

TEST(LostRegions, KnownStartsAndTheCapHoldBack) {
    SparseDisk disk{1000000, {}};
    entry(disk.at(0), 0, 7, 2048, 1000);
    entry(disk.at(0), 1, 7, 4096, 1000);
    disk.at(2048) = fatBoot(1000, 0);  // the first partition's own boot sector
    disk.at(8192) = fatBoot(1000, 0, "OTHER      ");
    disk.at(9000) = fatBoot(1000, 0, "THIRD      ");
    LostPartitionScanner known(disk.source(), disk.total, 100);
    known.markKnown(4096);
    std::vector<std::uint64_t> starts;
    for (std::uint64_t lba : {0u, 2048u, 8192u, 9000u}) {
        const Sector s = disk.get(lba);
        for (const LostRegion& r : known.examine(lba, engine::lost::SectorView(s))) starts.push_back(r.firstSector);
    }
    EXPECT_EQ(starts, (std::vector<std::uint64_t>{2048, 8192, 9000}));
    EXPECT_EQ(disk.scanAll(2).size(), 2u);
}

TEST(LostRegions, SectorsPastTheDiskAreIgnored) {
    SparseDisk disk{100, {}};
    const Sector boot = fatBoot(10, 0);
    LostPartitionScanner scanner(disk.source(), disk.total, 100);
    EXPECT_TRUE(scanner.examine(100, engine::lost::SectorView(boot)).empty());
    EXPECT_TRUE(scanner.finish().empty());
}

}  // namespace
