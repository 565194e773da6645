#include "engine/disk/partition_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

namespace {

using engine::PartitionScheme;
using engine::PartitionTable;

// A sparse in-memory disk: sectors not written read as zeros; chosen sectors fail.
class MemoryDisk {
public:
    explicit MemoryDisk(std::uint64_t sectors) : sectors_(sectors) {}

    std::uint8_t* sector(std::uint64_t lba) { return sectorData_[lba].data(); }
    void failRead(std::uint64_t lba) { failing_.insert(lba); }

    void putLe32(std::uint64_t lba, std::size_t offset, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) sector(lba)[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    void putLe64(std::uint64_t lba, std::size_t offset, std::uint64_t value) {
        putLe32(lba, offset, static_cast<std::uint32_t>(value));
        putLe32(lba, offset + 4, static_cast<std::uint32_t>(value >> 32));
    }
    void sign(std::uint64_t lba) {
        sector(lba)[510] = 0x55;
        sector(lba)[511] = 0xAA;
    }
    // One 16-byte slot of a boot record at `lba`.
    void slot(std::uint64_t lba, int index, std::uint8_t type, std::uint32_t first, std::uint32_t count,
              std::uint8_t flag = 0) {
        const std::size_t at = 446 + static_cast<std::size_t>(index) * 16;
        sector(lba)[at] = flag;
        sector(lba)[at + 4] = type;
        putLe32(lba, at + 8, first);
        putLe32(lba, at + 12, count);
        sign(lba);
    }

    PartitionTable parse() {
        return engine::readPartitionTable(
            [this](std::uint64_t lba, std::span<std::uint8_t, engine::kPartitionSectorSize> out) {
                ++reads_;
                if (failing_.count(lba)) return false;
                auto found = sectorData_.find(lba);
                if (found == sectorData_.end())
                    std::memset(out.data(), 0, out.size());
                else
                    std::memcpy(out.data(), found->second.data(), out.size());
                return true;
            },
            sectors_);
    }
    std::size_t reads() const { return reads_; }

private:
    std::uint64_t sectors_;
    std::map<std::uint64_t, std::array<std::uint8_t, 512>> sectorData_;
    std::set<std::uint64_t> failing_;
    std::size_t reads_ = 0;
};

TEST(MbrTable, PrimaryPartitionsInSlotOrderWithTheirNumbers) {
    MemoryDisk disk(100000);
    disk.slot(0, 0, 0x06, 2048, 8192, 0x80);
    disk.slot(0, 2, 0x07, 10240, 12288);
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
    MemoryDisk disk(10000);
    disk.slot(0, 0, 0x06, 0, 100);        // would overlay the MBR itself
    disk.slot(0, 1, 0x06, 10000, 100);    // starts past the end
    disk.slot(0, 2, 0x0B, 9000, 0);       // empty
    disk.slot(0, 3, 0x07, 8000, 0xFFFFFFFF);  // runs far past the end
    const PartitionTable table = disk.parse();
    ASSERT_EQ(table.partitions.size(), 1u);
    EXPECT_EQ(table.partitions[0].number, 4u);
    EXPECT_EQ(table.partitions[0].sectorCount, 2000u);
    EXPECT_TRUE(table.partitions[0].cutAtDiskEnd);
}

TEST(MbrTable, NoSignatureOrBadBootFlagIsNoTable) {
    MemoryDisk unsigned_(10000);
    unsigned_.slot(0, 0, 0x06, 64, 100);
    unsigned_.sector(0)[511] = 0;
    EXPECT_EQ(unsigned_.parse().scheme, PartitionScheme::None);

    MemoryDisk badFlag(10000);
    badFlag.slot(0, 0, 0x06, 64, 100, 0x12);
    EXPECT_EQ(badFlag.parse().scheme, PartitionScheme::None);
}

TEST(MbrTable, UnreadableOrTinyDiskIsNoTable) {
    MemoryDisk unreadable(10000);
    unreadable.slot(0, 0, 0x06, 64, 100);
    unreadable.failRead(0);
    EXPECT_EQ(unreadable.parse().scheme, PartitionScheme::None);

    MemoryDisk empty(0);
    EXPECT_EQ(empty.parse().scheme, PartitionScheme::None);
    EXPECT_EQ(empty.reads(), 0u);
}

TEST(MbrTable, VolumeBootSectorsAreNotPartitionTables) {
    MemoryDisk fat(10000);
    std::uint8_t* s = fat.sector(0);
    s[0] = 0xEB;
    s[2] = 0x90;
    s[11] = 0x00;
    s[12] = 0x02;  // 512 bytes per sector
    s[13] = 4;
    s[14] = 1;
    s[16] = 2;
    s[21] = 0xF8;
    std::memcpy(s + 54, "FAT16   ", 8);
    fat.slot(0, 0, 0x06, 64, 100);  // boot code that happens to look like a slot
    EXPECT_EQ(fat.parse().scheme, PartitionScheme::None);

    MemoryDisk ntfs(10000);
    std::memcpy(ntfs.sector(0) + 3, "NTFS    ", 8);
    ntfs.slot(0, 0, 0x07, 64, 100);
    EXPECT_EQ(ntfs.parse().scheme, PartitionScheme::None);
}

// An extended container at 1000 with logical partitions chained through boot records.
TEST(MbrTable, ExtendedChainGivesLogicalPartitionsFromFive) {
    MemoryDisk disk(20000);
    disk.slot(0, 0, 0x06, 63, 900);
    disk.slot(0, 1, 0x0F, 1000, 9000);
    disk.slot(1000, 0, 0x07, 63, 2000);   // logical 5 at 1063
    disk.slot(1000, 1, 0x05, 3000, 4000); // next record at 4000
    disk.slot(4000, 0, 0x0B, 63, 1000);   // logical 6 at 4063
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

TEST(MbrTable, ChainThatLoopsStopsAfterEachRecordOnce) {
    MemoryDisk disk(20000);
    disk.slot(0, 0, 0x05, 1000, 9000);
    disk.slot(1000, 0, 0x07, 63, 100);
    disk.slot(1000, 1, 0x05, 2000, 100);  // -> 3000
    disk.slot(3000, 0, 0x07, 63, 100);
    disk.slot(3000, 1, 0x05, 2000, 100);  // -> 3000 again
    const PartitionTable table = disk.parse();
    EXPECT_EQ(table.partitions.size(), 2u);
    EXPECT_LT(disk.reads(), 10u);
}

TEST(MbrTable, ChainLeavingItsContainerOrPointingBackStops) {
    MemoryDisk disk(50000);
    disk.slot(0, 0, 0x05, 1000, 5000);
    disk.slot(1000, 0, 0x07, 63, 100);
    disk.slot(1000, 1, 0x05, 9000, 100);  // 10000: outside the container
    EXPECT_EQ(disk.parse().partitions.size(), 1u);

    MemoryDisk back(50000);
    back.slot(0, 0, 0x05, 1000, 5000);
    back.slot(1000, 0, 0x07, 63, 100);
    back.slot(1000, 1, 0x05, 0, 100);  // the container's own start
    EXPECT_EQ(back.parse().partitions.size(), 1u);
}

TEST(MbrTable, LogicalPartitionOutsideItsContainerIsDroppedButChainGoesOn) {
    MemoryDisk disk(50000);
    disk.slot(0, 0, 0x05, 1000, 5000);
    disk.slot(1000, 0, 0x07, 20000, 100);  // far past the container
    disk.slot(1000, 1, 0x05, 1000, 1000);
    disk.slot(2000, 0, 0x07, 63, 100);
    const PartitionTable table = disk.parse();
    ASSERT_EQ(table.partitions.size(), 1u);
    EXPECT_EQ(table.partitions[0].firstSector, 2063u);
    EXPECT_EQ(table.partitions[0].number, 5u);
}

TEST(MbrTable, VeryLongChainIsCapped) {
    MemoryDisk disk(1000000);
    disk.slot(0, 0, 0x05, 1000, 900000);
    for (std::uint32_t i = 0; i < 300; ++i) {
        const std::uint64_t record = 1000 + i * 200ull;
        disk.slot(record, 0, 0x07, 10, 100);
        disk.slot(record, 1, 0x05, (i + 1) * 200, 200);
    }
    EXPECT_EQ(disk.parse().partitions.size(), engine::kMaxLogicalPartitions);
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

// Writes a GPT header at `headerLba` with `count` entries of 128 bytes at `entriesLba`.
void writeGpt(MemoryDisk& disk, std::uint64_t headerLba, std::uint64_t entriesLba, std::uint32_t count,
              const std::vector<std::pair<std::uint64_t, std::uint64_t>>& extents) {
    const std::size_t arrayBytes = std::size_t{count} * 128;
    std::vector<std::uint8_t> array(arrayBytes, 0);
    for (std::size_t i = 0; i < extents.size(); ++i) {
        std::uint8_t* e = array.data() + i * 128;
        e[0] = 0xA2;  // a basic-data type GUID needs only to be non-zero here
        e[15] = 0xC7;
        for (int b = 0; b < 8; ++b) {
            e[32 + b] = static_cast<std::uint8_t>(extents[i].first >> (8 * b));
            e[40 + b] = static_cast<std::uint8_t>(extents[i].second >> (8 * b));
        }
    }
    for (std::size_t s = 0; s * 512 < arrayBytes; ++s)
        std::memcpy(disk.sector(entriesLba + s), array.data() + s * 512, std::min<std::size_t>(512, arrayBytes - s * 512));
    std::uint8_t* h = disk.sector(headerLba);
    std::memcpy(h, "EFI PART", 8);
    disk.putLe32(headerLba, 8, 0x00010000);
    disk.putLe32(headerLba, 12, 92);
    disk.putLe32(headerLba, 16, 0);
    disk.putLe64(headerLba, 24, headerLba);
    disk.putLe64(headerLba, 72, entriesLba);
    disk.putLe32(headerLba, 80, count);
    disk.putLe32(headerLba, 84, 128);
    disk.putLe32(headerLba, 88, crc32(array.data(), arrayBytes));
    disk.putLe32(headerLba, 16, crc32(h, 92));
}

TEST(GptTable, EntriesWithInclusiveLastSectorAndEntryNumbers) {
    MemoryDisk disk(20000);
    disk.slot(0, 0, 0xEE, 1, 19999);
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
    MemoryDisk disk(20000);
    disk.slot(0, 0, 0xEE, 1, 19999);
    writeGpt(disk, 1, 2, 4, {{2048, 4095}});
    writeGpt(disk, 19999, 19998, 4, {{2048, 4095}});
    disk.sector(1)[40] ^= 0xFF;  // CRC no longer matches
    const PartitionTable table = disk.parse();
    EXPECT_EQ(table.scheme, PartitionScheme::Gpt);
    ASSERT_EQ(table.partitions.size(), 1u);
    EXPECT_EQ(table.partitions[0].firstSector, 2048u);
}

TEST(GptTable, HostileHeadersAreRefused) {
    for (std::uint32_t count : {100000u, 0xFFFFFFFFu}) {
        MemoryDisk disk(20000);
        disk.slot(0, 0, 0xEE, 1, 19999);
        writeGpt(disk, 1, 2, 4, {{2048, 4095}});
        disk.putLe32(1, 80, count);
        disk.putLe32(1, 16, 0);
        disk.putLe32(1, 16, crc32(disk.sector(1), 92));
        const PartitionTable table = disk.parse();
        EXPECT_EQ(table.scheme, PartitionScheme::Mbr) << count;  // the protective entry alone
        EXPECT_TRUE(table.partitions.empty());
        EXPECT_LT(disk.reads(), 10u);
    }
    MemoryDisk pastEnd(20000);
    pastEnd.slot(0, 0, 0xEE, 1, 19999);
    writeGpt(pastEnd, 1, 19990, 128, {{2048, 4095}});  // array runs past the disk
    EXPECT_TRUE(pastEnd.parse().partitions.empty());
}

TEST(GptTable, ReversedOrOutOfDiskEntriesDroppedOverlongCut) {
    MemoryDisk disk(20000);
    disk.slot(0, 0, 0xEE, 1, 19999);
    writeGpt(disk, 1, 2, 4, {{5000, 4000}, {30000, 40000}, {15000, ~std::uint64_t{0}}, {0, 100}});
    const PartitionTable table = disk.parse();
    ASSERT_EQ(table.partitions.size(), 1u);
    EXPECT_EQ(table.partitions[0].number, 3u);
    EXPECT_EQ(table.partitions[0].sectorCount, 5000u);
    EXPECT_TRUE(table.partitions[0].cutAtDiskEnd);
}

}  // namespace
