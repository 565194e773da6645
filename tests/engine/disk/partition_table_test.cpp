#include "engine/disk/partition_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "sparse_disk.h"

namespace {

using disktest::crc32;
using disktest::putLe;
using disktest::slot;
using disktest::SparseDisk;
using engine::PartitionScheme;
using engine::PartitionTable;

TEST(MbrTable, PrimaryPartitionsInSlotOrderWithTheirNumbers) {
    SparseDisk disk{100000};
    slot(disk.at(0), 0, 0x06, 2048, 8192, 0x80);
    slot(disk.at(0), 2, 0x07, 10240, 12288);
    const PartitionTable table = disk.parse();
    EXPECT_EQ(table.scheme, PartitionScheme::Mbr);
    ASSERT_EQ(table.partitions.size(), 2u);
    EXPECT_EQ(table.partitions[0].number, 1u);
    EXPECT_EQ(table.partitions[0].mbrType, 0x06);
    EXPECT_EQ(table.partitions[0].byteOffset(), 2048u * 512);
    EXPECT_EQ(table.partitions[0].byteLength(), 8192u * 512);
    EXPECT_EQ(table.partitions[1].number, 3u);
    EXPECT_FALSE(table.partitions[1].logical);
}

TEST(MbrTable, EntriesOutsideTheDiskAreDroppedAndOverlongOnesCut) {
    SparseDisk disk{10000};
    slot(disk.at(0), 0, 0x06, 0, 100);           // would overlay the MBR itself
    slot(disk.at(0), 1, 0x06, 10000, 100);       // starts past the end
    slot(disk.at(0), 2, 0x0B, 9000, 0);          // empty
    slot(disk.at(0), 3, 0x07, 8000, 0xFFFFFFFF);  // runs far past the end
    const PartitionTable table = disk.parse();
    ASSERT_EQ(table.partitions.size(), 1u);
    EXPECT_EQ(table.partitions[0].number, 4u);
    EXPECT_EQ(table.partitions[0].sectorCount, 2000u);
    EXPECT_TRUE(table.partitions[0].cutAtDiskEnd);
}

TEST(MbrTable, SectorsThatAreNoPartitionTable) {
    const struct {
        const char* name;
        std::uint64_t sectors;
        std::function<void(SparseDisk&)> build;
    } cases[] = {
        {"unsigned", 10000, [](SparseDisk& d) { slot(d.at(0), 0, 0x06, 64, 100); d.at(0)[511] = 0; }},
        {"bad boot flag", 10000, [](SparseDisk& d) { slot(d.at(0), 0, 0x06, 64, 100, 0x12); }},
        {"unreadable", 10000, [](SparseDisk& d) { slot(d.at(0), 0, 0x06, 64, 100); d.failing.insert(0); }},
        {"empty disk", 0, [](SparseDisk&) {}},
        // Volume boot code that happens to look like a slot.
        {"FAT boot", 10000, [](SparseDisk& d) { d.at(0) = disktest::fatBoot(100); slot(d.at(0), 0, 0x06, 64, 100); }},
        {"NTFS boot", 10000, [](SparseDisk& d) {
             std::memcpy(d.at(0).data() + 3, "NTFS    ", 8);
             slot(d.at(0), 0, 0x07, 64, 100);
         }},
    };
    for (const auto& c : cases) {
        SparseDisk disk{c.sectors};
        c.build(disk);
        EXPECT_EQ(disk.parse().scheme, PartitionScheme::None) << c.name;
        if (c.sectors == 0) {
            EXPECT_EQ(disk.reads, 0);
        }
    }
}

// An extended container at 1000 with logical partitions chained through boot records.
TEST(MbrTable, ExtendedChainGivesLogicalPartitionsFromFive) {
    SparseDisk disk{20000};
    slot(disk.at(0), 0, 0x06, 63, 900);
    slot(disk.at(0), 1, 0x0F, 1000, 9000);
    slot(disk.at(1000), 0, 0x07, 63, 2000);    // logical 5 at 1063
    slot(disk.at(1000), 1, 0x05, 3000, 4000);  // next record at 4000
    slot(disk.at(4000), 0, 0x0B, 63, 1000);    // logical 6 at 4063
    const PartitionTable table = disk.parse();
    ASSERT_EQ(table.partitions.size(), 3u);
    EXPECT_EQ(table.partitions[0].number, 1u);
    EXPECT_EQ(table.partitions[1].number, 5u);
    EXPECT_TRUE(table.partitions[1].logical);
    EXPECT_EQ(table.partitions[1].firstSector, 1063u);
    EXPECT_EQ(table.partitions[1].mbrType, 0x07);
    EXPECT_EQ(table.partitions[2].number, 6u);
    EXPECT_EQ(table.partitions[2].firstSector, 4063u);
}

TEST(MbrTable, ChainThatLoopsLeavesItsContainerOrPointsBackStops) {
    const struct {
        const char* name;
        std::uint32_t secondNext;  // the link of the record at 3000, relative to the container
        std::uint32_t firstNext;   // the link of the record at 1000
        std::size_t partitions;
    } cases[] = {
        {"loop", 2000, 2000, 2},
        {"outside the container", 0, 9000, 1},
        {"container start", 0, 0, 1},
    };
    for (const auto& c : cases) {
        SparseDisk disk{50000};
        slot(disk.at(0), 0, 0x05, 1000, 5000);
        slot(disk.at(1000), 0, 0x07, 63, 100);
        slot(disk.at(1000), 1, 0x05, c.firstNext, 100);
        slot(disk.at(3000), 0, 0x07, 63, 100);
        slot(disk.at(3000), 1, 0x05, c.secondNext, 100);
        EXPECT_EQ(disk.parse().partitions.size(), c.partitions) << c.name;
        EXPECT_LT(disk.reads, 10) << c.name;
    }
}

TEST(MbrTable, LogicalPartitionOutsideItsContainerIsDroppedButChainGoesOn) {
    SparseDisk disk{50000};
    slot(disk.at(0), 0, 0x05, 1000, 5000);
    slot(disk.at(1000), 0, 0x07, 20000, 100);  // far past the container
    slot(disk.at(1000), 1, 0x05, 1000, 1000);
    slot(disk.at(2000), 0, 0x07, 63, 100);
    const PartitionTable table = disk.parse();
    ASSERT_EQ(table.partitions.size(), 1u);
    EXPECT_EQ(table.partitions[0].firstSector, 2063u);
    EXPECT_EQ(table.partitions[0].number, 5u);
}

TEST(MbrTable, VeryLongChainIsCapped) {
    SparseDisk disk{1000000};
    slot(disk.at(0), 0, 0x05, 1000, 900000);
    for (std::uint32_t i = 0; i < 300; ++i) {
        const std::uint64_t record = 1000 + i * 200ull;
        slot(disk.at(record), 0, 0x07, 10, 100);
        slot(disk.at(record), 1, 0x05, (i + 1) * 200, 200);
    }
    EXPECT_EQ(disk.parse().partitions.size(), engine::kMaxLogicalPartitions);
}

void sealGptHeader(SparseDisk& disk, std::uint64_t headerLba) {
    std::uint8_t* h = disk.at(headerLba).data();
    putLe(h + 16, 0, 4);
    putLe(h + 16, crc32(h, 92), 4);
}

// A protective MBR and a GPT header at `headerLba` with `count` 128-byte entries at `entriesLba`.
void writeGpt(SparseDisk& disk, std::uint64_t headerLba, std::uint64_t entriesLba, std::uint32_t count,
              const std::vector<std::pair<std::uint64_t, std::uint64_t>>& extents) {
    slot(disk.at(0), 0, 0xEE, 1, 19999);
    std::vector<std::uint8_t> array(std::size_t{count} * 128, 0);
    for (std::size_t i = 0; i < extents.size(); ++i) {
        std::uint8_t* e = array.data() + i * 128;
        e[0] = 0xA2;  // a basic-data type GUID needs only to be non-zero here
        e[15] = 0xC7;
        putLe(e + 32, extents[i].first, 8);
        putLe(e + 40, extents[i].second, 8);
    }
    for (std::size_t s = 0; s * 512 < array.size(); ++s)
        std::memcpy(disk.at(entriesLba + s).data(), array.data() + s * 512, std::min<std::size_t>(512, array.size() - s * 512));
    // The usable range lies between the primary and the backup arrays.
    const std::uint64_t arraySectors = (array.size() + 511) / 512;
    const bool primary = headerLba == 1;
    std::uint8_t* h = disk.at(headerLba).data();
    std::memcpy(h, "EFI PART", 8);
    putLe(h + 8, 0x00010000, 4);
    putLe(h + 12, 92, 4);
    putLe(h + 24, headerLba, 8);
    putLe(h + 32, primary ? disk.total - 1 : 1, 8);
    putLe(h + 40, primary ? entriesLba + arraySectors : 2 + arraySectors, 8);
    putLe(h + 48, primary ? disk.total - 2 - arraySectors : entriesLba - 1, 8);
    putLe(h + 72, entriesLba, 8);
    putLe(h + 80, count, 4);
    putLe(h + 84, 128, 4);
    putLe(h + 88, crc32(array.data(), array.size()), 4);
    sealGptHeader(disk, headerLba);
}

TEST(GptTable, EntriesWithInclusiveLastSectorAndEntryNumbers) {
    SparseDisk disk{20000};
    writeGpt(disk, 1, 2, 128, {{2048, 10239}, {0, 0}, {12000, 12999}});
    const PartitionTable table = disk.parse();
    EXPECT_EQ(table.scheme, PartitionScheme::Gpt);
    ASSERT_EQ(table.partitions.size(), 2u);  // the middle entry starts at sector 0
    EXPECT_EQ(table.partitions[0].number, 1u);
    EXPECT_EQ(table.partitions[0].sectorCount, 8192u);
    EXPECT_EQ(table.partitions[1].number, 3u);
    EXPECT_EQ(table.partitions[1].firstSector, 12000u);
    EXPECT_NE(table.partitions[0].gptType, engine::Guid{});
}

TEST(GptTable, DamagedPrimaryHeaderFallsBackToTheBackup) {
    SparseDisk disk{20000};
    writeGpt(disk, 1, 2, 4, {{2048, 4095}});
    writeGpt(disk, 19999, 19998, 4, {{2048, 4095}});
    disk.at(1)[40] ^= 0xFF;  // CRC no longer matches
    const PartitionTable table = disk.parse();
    EXPECT_EQ(table.scheme, PartitionScheme::Gpt);
    ASSERT_EQ(table.partitions.size(), 1u);
    EXPECT_EQ(table.partitions[0].firstSector, 2048u);
}

TEST(GptTable, HostileHeadersAreRefused) {
    for (std::uint32_t count : {100000u, 0xFFFFFFFFu}) {
        SparseDisk disk{20000};
        writeGpt(disk, 1, 2, 4, {{2048, 4095}});
        putLe(disk.at(1).data() + 80, count, 4);
        sealGptHeader(disk, 1);
        const PartitionTable table = disk.parse();
        EXPECT_EQ(table.scheme, PartitionScheme::Mbr) << count;  // the protective entry alone
        EXPECT_TRUE(table.partitions.empty());
        EXPECT_LT(disk.reads, 10);
    }
    SparseDisk pastEnd{20000};
    writeGpt(pastEnd, 1, 19990, 128, {{2048, 4095}});  // array runs past the disk
    EXPECT_TRUE(pastEnd.parse().partitions.empty());
}

TEST(GptTable, HeaderWhoseFiguresDoNotFitTheDiskIsNotFollowedToItsArray) {
    const struct {
        const char* what;
        std::size_t offset;
        std::uint64_t value;
    } cases[] = {
        {"own position", 24, 7},
        {"alternate header past the disk", 32, 20000},
        {"last usable past the disk", 48, 20000},
        {"usable range reversed", 40, 19900},
        {"array inside the usable range", 40, 2},
    };
    for (const auto& c : cases) {
        SparseDisk disk{20000};
        writeGpt(disk, 1, 2, 1024, {{2048, 4095}});
        putLe(disk.at(1).data() + c.offset, c.value, 8);
        sealGptHeader(disk, 1);
        const PartitionTable table = disk.parse();
        EXPECT_TRUE(table.partitions.empty()) << c.what;
        EXPECT_LT(disk.reads, 10) << c.what;  // neither array of 256 sectors was read
    }
}

TEST(GptTable, ReversedOrOutOfDiskEntriesDroppedOverlongCut) {
    SparseDisk disk{20000};
    writeGpt(disk, 1, 2, 4, {{5000, 4000}, {30000, 40000}, {15000, ~std::uint64_t{0}}, {0, 100}});
    const PartitionTable table = disk.parse();
    ASSERT_EQ(table.partitions.size(), 1u);
    EXPECT_EQ(table.partitions[0].number, 3u);
    EXPECT_EQ(table.partitions[0].sectorCount, 5000u);
    EXPECT_TRUE(table.partitions[0].cutAtDiskEnd);
}

}  // namespace
