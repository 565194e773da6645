// Boot-sector checks, FAT entries and chains, and directory entries and names, on bytes
// built in memory.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <span>
#include <vector>

#include "engine/byte_order.h"
#include "engine/fs/fat_copies.h"
#include "engine/fs/fat_entry.h"
#include "engine/fs/fat_fixture.h"
#include "engine/fs/fat_geometry.h"
#include "engine/fs/fat_table.h"
#include "engine/records.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

template <typename T>
void put(Bytes& bytes, std::size_t at, T value) {
    engine::storeLittleEndian(bytes.data() + at, value);
}

// A 16 MiB FAT16 volume: 512-byte sectors, 4 sectors per cluster, 2 FATs of 32 sectors.
Bytes fat16Boot() {
    Bytes boot(512, 0);
    put<std::uint16_t>(boot, 11, 512);
    boot[13] = 4;
    put<std::uint16_t>(boot, 14, 4);
    boot[16] = 2;
    put<std::uint16_t>(boot, 17, 512);
    put<std::uint16_t>(boot, 19, 32768);
    put<std::uint16_t>(boot, 22, 32);
    return boot;
}

// The same volume as FAT32, its root directory at cluster 2.
Bytes fat32Boot() {
    Bytes boot = fat16Boot();
    put<std::uint16_t>(boot, 17, 0);
    put<std::uint16_t>(boot, 22, 0);
    put<std::uint32_t>(boot, 36, 64);
    put<std::uint32_t>(boot, 44, 2);
    return boot;
}

TEST(FatGeometry, DerivesTheRegionsInBytes) {
    const auto result = parseFatGeometry(fat16Boot(), kFileSystemFat16, 16 * 1024 * 1024);
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

    Bytes large = fat16Boot();  // 4096-byte sectors
    put<std::uint16_t>(large, 11, 4096);
    large[13] = 1;
    put<std::uint16_t>(large, 19, 4096);
    const auto big = parseFatGeometry(large, kFileSystemFat16, 0);
    ASSERT_TRUE(big.geometry) << big.error;
    EXPECT_EQ(big.geometry->fatOffset, 4u * 4096);
    EXPECT_EQ(big.geometry->bytesPerCluster, 4096u);
    EXPECT_EQ(big.geometry->volumeBytes, 4096ull * 4096);
    EXPECT_TRUE(parseFatGeometry(fat32Boot(), kFileSystemFat32, 0).geometry);
}

TEST(FatGeometry, RejectsHostileBootSectors) {
    const auto set16 = [](std::size_t at, std::uint16_t v) { return [=](Bytes& b) { put(b, at, v); }; };
    const auto set8 = [](std::size_t at, std::uint8_t v) { return [=](Bytes& b) { b[at] = v; }; };
    const auto root32 = [](std::uint32_t v) { return [=](Bytes& b) { put(b, 44, v); }; };
    const auto none = [](Bytes&) {};
    const struct {
        const char* name;
        std::function<void(Bytes&)> damage;
        std::int32_t code = kFileSystemFat16;
        std::uint64_t driveBytes = 0;
        const char* error = nullptr;  // the field the message names
    } cases[] = {
        {"sector 0", set16(11, 0), kFileSystemFat16, 0, "bytes per sector"},
        {"sector 513", set16(11, 513), kFileSystemFat16, 0, "bytes per sector"},
        {"sector 8192", set16(11, 8192), kFileSystemFat16, 0, "bytes per sector"},
        {"cluster 0", set8(13, 0), kFileSystemFat16, 0, "sectors per cluster"},
        {"cluster 3", set8(13, 3), kFileSystemFat16, 0, "sectors per cluster"},
        {"reserved 0", set16(14, 0), kFileSystemFat16, 0, "reserved sectors"},
        {"no FATs", set8(16, 0), kFileSystemFat16, 0, "FAT count"},
        {"no root", set16(17, 0), kFileSystemFat16, 0, "root entry count"},
        {"FAT size 0", set16(22, 0), kFileSystemFat16, 0, "FAT sectors"},
        {"data past the end", set16(14, 40000), kFileSystemFat16, 0, "data area start"},
        {"zero sectors", set16(19, 0)},
        {"NTFS code", none, kFileSystemNtfs},
        {"no file system code", none, kFileSystemNone},
        {"overhangs the drive", none, kFileSystemFat16, 10 * 512, "data area start"},
        {"FAT32 root cluster 1", root32(1), kFileSystemFat32},
        {"FAT32 root past the data", root32(0x0FFFFFFF), kFileSystemFat32},
    };
    for (const auto& c : cases) {
        Bytes boot = c.code == kFileSystemFat32 ? fat32Boot() : fat16Boot();
        c.damage(boot);
        const auto result = parseFatGeometry(boot, c.code, c.driveBytes);
        EXPECT_FALSE(result.geometry) << c.name;
        if (c.error) {
            EXPECT_NE(result.error.find(std::string("not a FAT volume: ") + c.error), std::string::npos)
                << c.name << ": " << result.error;
        }
    }
    const Bytes boot = fat16Boot();
    EXPECT_FALSE(parseFatGeometry(std::span(boot).first(100), kFileSystemFat16, 0).geometry);
}

TEST(FatGeometry, TotalSectorFieldsGiveWayToTheDriveSize) {
    constexpr std::uint64_t kMiB = 1024 * 1024;
    const struct {
        const char* name;
        std::uint16_t sectors16;
        std::uint32_t sectors32;
        std::uint64_t driveBytes;
        std::uint64_t volumeBytes;
    } cases[] = {
        {"fields agree with the drive", 32768, 0, 16 * kMiB, 16 * kMiB},
        {"smaller than the drive", 16384, 0, 16 * kMiB, 8 * kMiB},
        {"both fields zero", 0, 0, 12 * kMiB, 12 * kMiB},
        {"16-bit field past the drive", 32768, 0, 8 * kMiB, 8 * kMiB},
        {"32-bit field past the drive", 0, 0xFFFFFFFF, 8 * kMiB, 8 * kMiB},
        {"no drive size: the field", 0, 65536, 0, 32 * kMiB},
    };
    for (const auto& c : cases) {
        Bytes boot = fat16Boot();
        put<std::uint16_t>(boot, 19, c.sectors16);
        put<std::uint32_t>(boot, 32, c.sectors32);
        const auto result = parseFatGeometry(boot, kFileSystemFat16, c.driveBytes);
        ASSERT_TRUE(result.geometry) << c.name << ": " << result.error;
        EXPECT_EQ(result.geometry->volumeBytes, c.volumeBytes) << c.name;
        EXPECT_EQ(result.geometry->clusterCount, std::min<std::uint64_t>((c.volumeBytes / 512 - 100) / 4, 8192 - 2))
            << c.name;
    }
}

TEST(FatGeometry, OnlyTheFatEntriesOfTheClustersAreRead) {
    const auto inUse = [](Bytes boot, std::int32_t code) {
        const auto result = parseFatGeometry(boot, code, 16 * 1024 * 1024);
        EXPECT_TRUE(result.geometry) << result.error;
        return result.geometry ? std::pair{result.geometry->fatBytesInUse(), result.geometry->fatBytes}
                               : std::pair{std::uint64_t{0}, std::uint64_t{0}};
    };
    // 8167 clusters: 8169 entries of 2 or 4 bytes, in whole sectors, never past the FAT;
    // as FAT12, only the 4085 clusters it can number: 4087 entries of 1.5 bytes.
    EXPECT_EQ(inUse(fat16Boot(), kFileSystemFat12), std::pair(std::uint64_t{6144}, std::uint64_t{16384}));
    EXPECT_EQ(inUse(fat16Boot(), kFileSystemFat16), std::pair(std::uint64_t{16384}, std::uint64_t{16384}));
    Bytes wide = fat32Boot();
    put<std::uint32_t>(wide, 36, 1000);  // 7691 clusters behind two 500 KiB FATs
    EXPECT_EQ(inUse(wide, kFileSystemFat32), std::pair(std::uint64_t{31232}, std::uint64_t{512000}));
}

TEST(FatGeometry, ClaimsPastWhatTheKindCanNumberAreNotRead) {
    constexpr std::uint64_t kDrive = 2ull << 40;
    // FAT16 of 4 KiB sectors with a 256 MiB FAT, the volume the whole 2 TiB drive: only the
    // entries of the clusters 16-bit values can number are read.
    Bytes fat16 = fat16Boot();
    put<std::uint16_t>(fat16, 11, 4096);
    put<std::uint16_t>(fat16, 19, 0);
    put<std::uint16_t>(fat16, 22, 0xFFFF);
    auto result = parseFatGeometry(fat16, kFileSystemFat16, kDrive);
    ASSERT_TRUE(result.geometry) << result.error;
    EXPECT_EQ(result.geometry->clusterCount, 0xFFF5u);
    EXPECT_EQ(result.geometry->fatBytesInUse(), 131072u);
    // FAT32 of 512-byte clusters on the same drive: a 1 GiB FAT is the most FAT32 can use
    // and is read as far as its clusters go; an 8 GiB one is forged, and so is the size.
    Bytes fat32 = fat32Boot();
    fat32[13] = 1;
    put<std::uint16_t>(fat32, 19, 0);
    put<std::uint32_t>(fat32, 36, 1u << 21);
    result = parseFatGeometry(fat32, kFileSystemFat32, kDrive);
    ASSERT_TRUE(result.geometry) << result.error;
    EXPECT_EQ(result.geometry->clusterCount, 0x0FFFFFF5u);
    put<std::uint32_t>(fat32, 36, 16u << 20);
    result = parseFatGeometry(fat32, kFileSystemFat32, kDrive);
    EXPECT_FALSE(result.geometry);
    EXPECT_EQ(result.error, "not a FAT volume: FAT sectors 16777216");
}

FatGeometry smallGeometry(FatKind kind, std::uint32_t clusters) {
    FatGeometry g;
    g.kind = kind;
    g.bytesPerCluster = 512;
    g.clusterCount = clusters;
    return g;
}

TEST(FatTable, ReadsTwelveSixteenAndTwentyEightBitEntries) {
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

TEST(FatTable, TheLastClustersEntryIsReadWhereverItFalls) {
    const struct {
        FatKind kind;
        std::uint32_t clusters;
    } cases[] = {
        // FAT12 entry 682 takes bytes 1023 and 1024: across the end of the second sector.
        {FatKind::Fat12, 681},
        // The last entry opens a sector of its own.
        {FatKind::Fat16, 255},
        {FatKind::Fat32, 127},
    };
    for (const auto& c : cases) {
        FatGeometry g = smallGeometry(c.kind, c.clusters);
        g.fatCount = 1;
        g.fatBytes = 8 * 512;
        Bytes disk(g.fatBytes, 0);
        const std::uint32_t last = c.clusters + 1;  // its chain goes on at cluster 2
        if (c.kind == FatKind::Fat12) {
            put<std::uint16_t>(disk, last * 3 / 2, 0x002);
        } else if (c.kind == FatKind::Fat16) {
            put<std::uint16_t>(disk, last * 2, 2);
        } else {
            put<std::uint32_t>(disk, last * 4, 2);
        }
        const FatReadFunction read = [&disk](std::uint64_t at, std::span<std::uint8_t> out) {
            if (at + out.size() > disk.size()) return false;
            std::copy_n(disk.begin() + static_cast<long>(at), out.size(), out.begin());
            return true;
        };
        const FatTable fat(g, readFatCopies(g, read).bytes);
        EXPECT_EQ(fat.chain(last), (std::vector<std::uint32_t>{last, 2})) << c.clusters;
    }
}

TEST(FatTable, ChainsStopAtEndMarksBadLinksAndLoopsWithOneErrorLine) {
    Bytes bytes(40, 0);
    for (auto [entry, next] : {std::pair{2, 3}, {3, 7}, {7, 0xFFFF}, {8, 1}, {9, 0x4000}, {5, 6}, {6, 5},
                               {10, 11}, {11, 12}, {12, 11}})
        put<std::uint16_t>(bytes, entry * 2, static_cast<std::uint16_t>(next));
    const FatTable fat(smallGeometry(FatKind::Fat16, 15), bytes);
    fattest::LogCapture log;
    EXPECT_EQ(fat.chain(2), (std::vector<std::uint32_t>{2, 3, 7}));
    EXPECT_EQ(fat.chain(8), (std::vector<std::uint32_t>{8}));  // cluster 1 is not data
    EXPECT_EQ(fat.chain(9), (std::vector<std::uint32_t>{9}));  // past the data area
    EXPECT_EQ(fat.chain(5), (std::vector<std::uint32_t>{5, 6}));
    EXPECT_EQ(fat.chain(10), (std::vector<std::uint32_t>{10, 11, 12}));  // a loop into its middle
    EXPECT_TRUE(fat.chain(0).empty());
    EXPECT_EQ(log.count("except in CreateFileClustersList, NextCluster = 0x1"), 1u);
    EXPECT_EQ(log.count("except in CreateFileClustersList, NextCluster = 0x4000"), 1u);
    EXPECT_EQ(log.count("NextCluster = 0x5 already exist in chain"), 1u);
    EXPECT_EQ(log.count("NextCluster = 0xB already exist in chain"), 1u);
}

FatDirEntry shortEntry(const char (&name)[12], std::uint8_t attributes = 0x20) {
    FatDirEntry entry{};
    std::memcpy(entry.raw.data(), name, 11);
    entry.raw[11] = attributes;
    return entry;
}

FatDirEntry deletedEntry(FatDirEntry entry) {
    entry.raw[0] = 0xE5;
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

TEST(FatEntry, ShortNamesAndValidity) {
    EXPECT_EQ(fatShortName(shortEntry("README  TXT")), u"README.TXT");
    EXPECT_EQ(fatShortName(shortEntry("MAKEFILE   ")), u"MAKEFILE");
    EXPECT_TRUE(deletedEntry(shortEntry("README  TXT")).isDeleted());
    EXPECT_EQ(fatShortName(deletedEntry(shortEntry("README  TXT"))), u"_EADME.TXT");
    FatDirEntry kanji = shortEntry("\x05" "BC     TXT");
    EXPECT_FALSE(kanji.isDeleted());
    EXPECT_TRUE(kanji.isValid());
    EXPECT_EQ(fatShortName(kanji), u"\u00E5BC.TXT");
    FatDirEntry lower = shortEntry("GONE    TXT");
    lower.raw[12] = kFatLowerCaseBase | kFatLowerCaseExtension;
    EXPECT_EQ(fatShortName(lower), u"gone.txt");

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

TEST(FatEntry, LongNames) {
    const FatDirEntry photo = shortEntry("PHOTO_~1JPG"), notes = shortEntry("NOTESA~1TXT");
    const FatDirEntry stale = shortEntry("STALEN~1TXT"), gone = shortEntry("DELETE~1TXT");
    const std::u16string twoParts = u"notes about recovery.txt";
    const struct {
        const char* name;
        std::vector<FatDirEntry> parts;  // nearest the 8.3 entry first
        FatDirEntry owner;
        std::u16string expected;
    } cases[] = {
        {"exactly 13 units", {longPart(u"photo_001.jpg", 1, true, photo)}, photo, u"photo_001.jpg"},
        {"two parts", {longPart(twoParts, 1, false, notes), longPart(twoParts, 2, true, notes)}, notes, twoParts},
        {"stale checksum", {longPart(u"stale name.txt", 1, true, stale)}, shortEntry("RENAMED TXT"), u""},
        {"deleted",
         {deletedEntry(longPart(u"deleted one.txt", 1, false, gone)),
          deletedEntry(longPart(u"deleted one.txt", 2, true, gone))},
         deletedEntry(gone),
         u"deleted one.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(fatLongName(c.parts, c.owner), c.expected) << c.name;
}

}  // namespace
