// Boot-sector checks, FAT entry values and chains, and directory entry tests and names,
// on bytes built in memory.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "engine/byte_order.h"
#include "engine/disk/bit_array.h"
#include "engine/fs/fat_entry.h"
#include "engine/fs/fat_fixture.h"
#include "engine/fs/fat_geometry.h"
#include "engine/fs/fat_table.h"
#include "engine/records.h"

namespace {

void put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
    engine::storeLittleEndian(bytes.data() + at, value);
}

void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    engine::storeLittleEndian(bytes.data() + at, value);
}

// A 16 MiB FAT16 volume: 512-byte sectors, 4 sectors per cluster, 2 FATs of 32 sectors.
std::vector<std::uint8_t> fat16Boot() {
    std::vector<std::uint8_t> boot(512, 0);
    put16(boot, 11, 512);
    boot[13] = 4;
    put16(boot, 14, 4);
    boot[16] = 2;
    put16(boot, 17, 512);
    put16(boot, 19, 32768);
    put16(boot, 22, 32);
    return boot;
}

class FatGeometryTest : public ::testing::Test {
protected:
    FatGeometryResult parse(std::int32_t code = kFileSystemFat16, std::uint64_t driveBytes = 0) {
        return parseFatGeometry(boot_, code, driveBytes);
    }
    std::vector<std::uint8_t> boot_ = fat16Boot();
};

TEST_F(FatGeometryTest, DerivesTheRegionsInBytes) {
    const auto result = parse();
    ASSERT_TRUE(result.geometry) << result.error;
    const FatGeometry& g = *result.geometry;
    EXPECT_EQ(g.bytesPerCluster, 2048u);
    EXPECT_EQ(g.fatOffset, 4u * 512);
    EXPECT_EQ(g.fatBytes, 32u * 512);
    EXPECT_EQ(g.rootOffset, (4u + 64) * 512);
    EXPECT_EQ(g.dataOffset, (4u + 64 + 32) * 512);
    EXPECT_EQ(g.clusterCount, (32768u - 100) / 4);
    EXPECT_TRUE(g.isDataCluster(2));
    EXPECT_FALSE(g.isDataCluster(1));
    EXPECT_FALSE(g.isDataCluster(g.lastCluster() + 1));
}

TEST_F(FatGeometryTest, ConvertsLargerSectorsToBytes) {
    put16(boot_, 11, 4096);
    boot_[13] = 1;
    put16(boot_, 19, 4096);
    const auto result = parse();
    ASSERT_TRUE(result.geometry) << result.error;
    EXPECT_EQ(result.geometry->fatOffset, 4u * 4096);
    EXPECT_EQ(result.geometry->bytesPerCluster, 4096u);
    EXPECT_EQ(result.geometry->volumeBytes, 4096ull * 4096);
}

TEST_F(FatGeometryTest, RejectsZeroAndAbsurdFieldsByName) {
    const struct {
        std::size_t offset;
        std::uint16_t value;
        bool wide;
        const char* field;
    } cases[] = {
        {11, 0, true, "bytes per sector"},     {11, 513, true, "bytes per sector"},
        {11, 8192, true, "bytes per sector"},  {13, 0, false, "sectors per cluster"},
        {13, 3, false, "sectors per cluster"}, {14, 0, true, "reserved sectors"},
        {16, 0, false, "FAT count"},           {17, 0, true, "root entry count"},
        {22, 0, true, "FAT sectors"},          {14, 40000, true, "data area start"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        boot_ = fat16Boot();
        if (c.wide) {
            put16(boot_, c.offset, c.value);
        } else {
            boot_[c.offset] = static_cast<std::uint8_t>(c.value);
        }
        const auto result = parse();
        EXPECT_FALSE(result.geometry);
        EXPECT_NE(result.error.find(std::string("not a FAT volume: ") + c.field), std::string::npos) << result.error;
    }
}

TEST_F(FatGeometryTest, RejectsAZeroSizedVolumeAndOtherCodes) {
    put16(boot_, 19, 0);
    EXPECT_FALSE(parse().geometry);
    boot_ = fat16Boot();
    EXPECT_FALSE(parse(kFileSystemNtfs).geometry);
    EXPECT_FALSE(parse(kFileSystemNone).geometry);
    EXPECT_FALSE(parseFatGeometry(std::span(boot_).first(100), kFileSystemFat16, 0).geometry);
}

TEST_F(FatGeometryTest, RejectsAVolumeThatOverhangsTheDrive) {
    EXPECT_FALSE(parse(kFileSystemFat16, 10 * 512).geometry);
    EXPECT_TRUE(parse(kFileSystemFat16, 16 * 1024 * 1024).geometry);
}

TEST_F(FatGeometryTest, Fat32NeedsARootClusterInsideTheDataArea) {
    put16(boot_, 17, 0);
    put16(boot_, 22, 0);
    put32(boot_, 36, 64);
    put32(boot_, 44, 2);
    ASSERT_TRUE(parse(kFileSystemFat32).geometry);
    put32(boot_, 44, 1);
    EXPECT_FALSE(parse(kFileSystemFat32).geometry);
    put32(boot_, 44, 0x0FFFFFFF);
    EXPECT_FALSE(parse(kFileSystemFat32).geometry);
}

FatGeometry smallGeometry(FatKind kind, std::uint32_t clusters) {
    FatGeometry g;
    g.kind = kind;
    g.bytesPerCluster = 512;
    g.clusterCount = clusters;
    return g;
}

TEST(FatTableTest, ReadsTwelveSixteenAndTwentyEightBitEntries) {
    // FAT12 entries 2 and 3 share bytes 3..5: 0x003 and 0xFFF.
    FatTable fat12(smallGeometry(FatKind::Fat12, 10), {0xF0, 0xFF, 0xFF, 0x03, 0xF0, 0xFF});
    EXPECT_EQ(fat12.value(2), 0x003u);
    EXPECT_EQ(fat12.value(3), 0xFFFu);
    EXPECT_TRUE(fat12.isEndMark(0xFF8));
    EXPECT_FALSE(fat12.isEndMark(0xFF7));
    FatTable fat32(smallGeometry(FatKind::Fat32, 10), {0, 0, 0, 0, 0, 0, 0, 0, 0x05, 0x00, 0x00, 0xF0});
    EXPECT_EQ(fat32.value(2), 5u);  // top four bits are reserved
    EXPECT_EQ(fat32.value(99), 0u);
}

TEST(FatTableTest, ChainStopsAtTheEndMarkAndOutsideTheDataArea) {
    std::vector<std::uint8_t> bytes(40, 0);
    auto set = [&](std::uint32_t i, std::uint16_t v) { put16(bytes, i * 2, v); };
    set(2, 3);
    set(3, 7);
    set(7, 0xFFFF);
    set(8, 1);       // cluster 1 is not a data cluster
    set(9, 0x4000);  // past the data area
    const FatTable fat(smallGeometry(FatKind::Fat16, 15), bytes);
    EXPECT_EQ(fat.chain(2), (std::vector<std::uint32_t>{2, 3, 7}));
    fattest::LogCapture log;
    EXPECT_EQ(fat.chain(8), (std::vector<std::uint32_t>{8}));
    EXPECT_EQ(fat.chain(9), (std::vector<std::uint32_t>{9}));
    EXPECT_EQ(log.count("except in CreateFileClustersList, NextCluster = 0x1"), 1u);
    EXPECT_EQ(log.count("except in CreateFileClustersList, NextCluster = 0x4000"), 1u);
    EXPECT_TRUE(fat.chain(0).empty());
}

TEST(FatTableTest, ALoopEndsBeforeTheRepeatWithOneErrorLine) {
    std::vector<std::uint8_t> bytes(40, 0);
    put16(bytes, 5 * 2, 6);
    put16(bytes, 6 * 2, 5);
    const FatTable fat(smallGeometry(FatKind::Fat16, 15), bytes);
    fattest::LogCapture log;
    EXPECT_EQ(fat.chain(5), (std::vector<std::uint32_t>{5, 6}));
    EXPECT_EQ(log.count("NextCluster = 0x5 already exist in chain"), 1u);
}

TEST(FatTableTest, ClusterMapBitsAreTheNonZeroEntries) {
    std::vector<std::uint8_t> bytes(40, 0);
    put16(bytes, 0, 0xFFF8);
    put16(bytes, 2, 0xFFFF);
    put16(bytes, 4 * 2, 0xFFFF);
    put16(bytes, 9 * 2, 0xFFF7);  // bad cluster: in use for the search
    const FatTable fat(smallGeometry(FatKind::Fat16, 15), bytes);
    CBitArray map;
    ASSERT_TRUE(fat.fillClusterMap(map));
    for (std::uint32_t i = 0; i < fat.entryCount(); ++i) EXPECT_EQ(map.GetBit(i), fat.value(i) != 0) << i;
}

FatDirEntry shortEntry(const char (&name)[12], std::uint8_t attributes = 0x20) {
    FatDirEntry entry{};
    std::memcpy(entry.raw.data(), name, 11);
    entry.raw[11] = attributes;
    return entry;
}

// Long-name part `index` (1-based) of `name`, for the 8.3 entry `owner`.
FatDirEntry longPart(std::u16string_view name, int index, bool last, const FatDirEntry& owner) {
    static constexpr std::size_t offsets[] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
    FatDirEntry part{};
    part.raw[0] = static_cast<std::uint8_t>(index | (last ? 0x40 : 0));
    part.raw[11] = 0x0F;
    std::uint8_t sum = 0;
    for (int i = 0; i < 11; ++i) sum = static_cast<std::uint8_t>(((sum & 1) << 7) + (sum >> 1) + owner.raw[i]);
    part.raw[13] = sum;
    for (std::size_t k = 0; k < 13; ++k) {
        const std::size_t at = (index - 1) * 13 + k;
        const char16_t unit = at < name.size() ? name[at] : (at == name.size() ? 0 : 0xFFFF);
        engine::storeLittleEndian(part.raw.data() + offsets[k], static_cast<std::uint16_t>(unit));
    }
    return part;
}

TEST(FatEntryTest, ShortNames) {
    EXPECT_EQ(fatShortName(shortEntry("README  TXT")), u"README.TXT");
    EXPECT_EQ(fatShortName(shortEntry("MAKEFILE   ")), u"MAKEFILE");
    FatDirEntry deleted = shortEntry("README  TXT");
    deleted.raw[0] = 0xE5;
    EXPECT_TRUE(deleted.isDeleted());
    EXPECT_EQ(fatShortName(deleted), u"_EADME.TXT");
    FatDirEntry kanji = shortEntry("\x05" "BC     TXT");
    EXPECT_FALSE(kanji.isDeleted());
    EXPECT_TRUE(kanji.isValid());
    EXPECT_EQ(fatShortName(kanji), u"\u00E5BC.TXT");
    FatDirEntry lower = shortEntry("GONE    TXT");
    lower.raw[12] = kFatLowerCaseBase | kFatLowerCaseExtension;
    EXPECT_EQ(fatShortName(lower), u"gone.txt");
}

TEST(FatEntryTest, ValidityTests) {
    EXPECT_FALSE(shortEntry("readme  txt").isValid());  // lower case in the 8.3 name
    EXPECT_FALSE(shortEntry("READ*E  TXT").isValid());
    EXPECT_FALSE(shortEntry(" EADME  TXT").isValid());
    EXPECT_FALSE(FatDirEntry{}.isValid());
    EXPECT_TRUE(FatDirEntry{}.isEmpty());
    EXPECT_FALSE(shortEntry("README  TXT", 0x40).isValid());
    FatDirEntry tenths = shortEntry("README  TXT");
    tenths.raw[13] = 200;
    EXPECT_FALSE(tenths.isValid());
    EXPECT_TRUE(shortEntry(".          ", 0x10).isDotEntry());
    EXPECT_FALSE(shortEntry(".          ", 0x20).isDotEntry());
    FatDirEntry badLong = longPart(u"x", 1, true, shortEntry("X          "));
    badLong.raw[26] = 1;
    EXPECT_FALSE(badLong.isValid());
}

TEST(FatEntryTest, LongNameOfExactlyThirteenUnitsEndsAfterThem) {
    const FatDirEntry owner = shortEntry("PHOTO_~1JPG");
    const std::array parts = {longPart(u"photo_001.jpg", 1, true, owner)};
    EXPECT_EQ(fatLongName(parts, owner), u"photo_001.jpg");
}

TEST(FatEntryTest, LongNameSpansPartsNearestFirst) {
    const FatDirEntry owner = shortEntry("NOTESA~1TXT");
    const std::u16string name = u"notes about recovery.txt";
    const std::array parts = {longPart(name, 1, false, owner), longPart(name, 2, true, owner)};
    EXPECT_EQ(fatLongName(parts, owner), name);
}

TEST(FatEntryTest, AStaleLongNameIsDropped) {
    const FatDirEntry stale = shortEntry("STALEN~1TXT");
    const std::array parts = {longPart(u"stale name.txt", 1, true, stale)};
    EXPECT_EQ(fatLongName(parts, shortEntry("RENAMED TXT")), u"");
}

TEST(FatEntryTest, ADeletedLongNameStillMatchesItsDeletedOwner) {
    const FatDirEntry owner = shortEntry("DELETE~1TXT");
    std::array parts = {longPart(u"deleted one.txt", 2, true, owner), longPart(u"deleted one.txt", 1, false, owner)};
    std::swap(parts[0], parts[1]);
    for (FatDirEntry& part : parts) part.raw[0] = 0xE5;
    FatDirEntry deletedOwner = owner;
    deletedOwner.raw[0] = 0xE5;
    EXPECT_EQ(fatLongName(parts, deletedOwner), u"deleted one.txt");
}

}  // namespace
