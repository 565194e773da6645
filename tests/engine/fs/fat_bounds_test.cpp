// Hostile FAT volumes listed in bounded memory and time: a FAT size that asks for 8 GiB,
// total-sector fields that are zero or too large, and a folder chain 70,000 deep.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "engine/byte_order.h"
#include "engine/disk/bit_array.h"
#include "engine/disk/drive.h"
#include "engine/fs/fat_crafted_images.h"
#include "engine/fs/fat_fixture.h"
#include "engine/fs/fat_reader.h"
#include "engine/support/largest_allocation.h"

namespace {

using fattest::MemoryDrive;

// Path and flags of every listed entry.
std::map<std::string, std::uint16_t> listFlags(CFAT& reader) {
    std::map<std::string, std::uint16_t> listed;
    for (const auto& [path, record] : fattest::listByPath(reader)) listed.emplace(path, +record.Flags);
    return listed;
}

std::map<std::string, std::uint16_t> listImage(std::vector<std::uint8_t> image, std::int32_t code) {
    MemoryDrive drive(std::move(image), code);
    CFAT reader(&drive);
    reader.Initialize();
    return listFlags(reader);
}

TEST(FatBounds, AnEightGigabyteFatOnATwoTerabyteSparseFileReadsOnlyTheEntriesInUse) {
    const std::vector<std::uint8_t> fixture = fattest::loadImage("fat32");
    ASSERT_FALSE(fixture.empty());
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp ? tmp : "/tmp") + "/undelete-fat-wide-" + std::to_string(::getpid());
    constexpr std::uint32_t kFatSectors = 16u << 20;  // 8 GiB per copy
    ASSERT_TRUE(fattest::writeWideFatImage(fixture, path, 2ull << 40, kFatSectors));

    CDrive drive;
    drive.SetSource({kDriveImage, path, 0, 0});
    drive.GetDriveInfo()->Letter = 'X';
    CFAT reader(&drive);
    std::size_t largest = 0;
    int counted = 0;
    std::map<std::string, std::uint16_t> listed;
    {
        const test_support::LargestAllocation probe;
        counted = reader.Initialize();
        listed = listFlags(reader);
        largest = probe.bytes();
    }
    ::unlink(path.c_str());

    EXPECT_GT(counted, 0);
    EXPECT_EQ(listed, listImage(fixture, kFileSystemFat32));
    const FatGeometry& geometry = *reader.geometry();
    EXPECT_EQ(geometry.fatBytes, std::uint64_t{kFatSectors} * 512);
    EXPECT_EQ(reader.fat().entryCount(), geometry.clusterCount + 2);
    EXPECT_EQ(geometry.fatBytesInUse(), (std::uint64_t{geometry.clusterCount} + 2 + 127) / 128 * 512);
    if (test_support::LargestAllocation::available()) {
        // The FAT in use is 312 KiB here; the largest other block is a 4 MiB read.
        EXPECT_LE(largest, std::size_t{4} << 20);
    }
}

// A file named by `path`, removed when the test ends.
struct ScratchFile {
    explicit ScratchFile(const char* name) {
        const char* tmp = std::getenv("TMPDIR");
        path = std::string(tmp ? tmp : "/tmp") + "/undelete-" + name + "-" + std::to_string(::getpid());
    }
    ~ScratchFile() { ::unlink(path.c_str()); }
    std::string path;
};

TEST(FatBounds, AFatAndAVolumeBothLargerThanTheKindCanNumberCostNoMemoryForTheClaim) {
    constexpr std::uint64_t kFileBytes = 2ull << 40;
    // FAT32: an 8 GiB FAT with the volume the whole 2 TiB file, 512-byte clusters; no
    // size in that boot sector can hold.
    {
        const std::vector<std::uint8_t> fixture = fattest::loadImage("fat32");
        const ScratchFile file("fat-claims");
        ASSERT_TRUE(fattest::writeWideFatImage(fixture, file.path, kFileBytes, 16u << 20, 0));
        CDrive drive;
        drive.SetSource({kDriveImage, file.path, 0, 0});
        CFAT reader(&drive);
        fattest::LogCapture log;
        const test_support::LargestAllocation probe;
        EXPECT_EQ(reader.Initialize(), 0);
        EXPECT_EQ(log.count("not a FAT volume: FAT sectors 16777216"), 1u);
        if (test_support::LargestAllocation::available()) {
            EXPECT_LE(probe.bytes(), std::size_t{1} << 20);
        }
    }
    // FAT12 and FAT16 (4 KiB sectors): FATs of 0xFFFF sectors, 32 MiB and 256 MiB, on the
    // same file: the clusters past the kind's numbers are never used, so the FAT read
    // stops at theirs.
    const struct {
        const char* image;
        std::int32_t code;
        std::uint32_t clusters;
    } cases[] = {{"fat12", kFileSystemFat12, 0xFF5}, {"fat16-4k", kFileSystemFat16, 0xFFF5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.image);
        std::vector<std::uint8_t> boot = fattest::loadImage(c.image);
        ASSERT_GE(boot.size(), 512u);
        boot.resize(512);
        engine::storeLittleEndian<std::uint16_t>(boot.data() + 19, 0);
        engine::storeLittleEndian<std::uint32_t>(boot.data() + 32, 0);
        engine::storeLittleEndian<std::uint16_t>(boot.data() + 22, 0xFFFF);
        const ScratchFile file("fat-claims");
        const int fd = ::open(file.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        const bool written = ::ftruncate(fd, static_cast<off_t>(kFileBytes)) == 0 &&
                             fattest::writeAt(fd, 0, boot.data(), boot.size());
        ::close(fd);
        ASSERT_TRUE(written);
        CDrive drive;
        drive.SetSource({kDriveImage, file.path, 0, 0});
        drive.GetDriveInfo()->FileSystemCode = c.code;
        CFAT reader(&drive);
        const test_support::LargestAllocation probe;
        reader.Initialize();
        ASSERT_TRUE(reader.geometry());
        EXPECT_EQ(reader.geometry()->clusterCount, c.clusters);
        EXPECT_EQ(reader.fat().entryCount(), c.clusters + 2);
        if (test_support::LargestAllocation::available()) {
            EXPECT_LE(probe.bytes(), std::size_t{1} << 20);
        }
    }
}

// A volume of 512-byte sectors and clusters, one reserved sector, two FATs of `fatSectors`
// each (FAT12 and FAT16 with a one-sector root region, FAT32 with its root at cluster 3)
// and `clusters` data clusters. Its one file, LAST.BIN, starts at the last cluster and goes
// on at cluster 2: 512 bytes of 'L', then 512 of '2'.
std::vector<std::uint8_t> lastClusterImage(std::int32_t code, std::uint32_t clusters, std::uint32_t fatSectors) {
    const bool fat32 = code == kFileSystemFat32;
    const std::uint32_t rootSectors = fat32 ? 0 : 1;
    const std::uint64_t fatOffset = 512;
    const std::uint64_t dataOffset = fatOffset + (2ull * fatSectors + rootSectors) * 512;
    std::vector<std::uint8_t> image(dataOffset + std::uint64_t{clusters} * 512, 0);
    std::uint8_t* boot = image.data();
    engine::storeLittleEndian<std::uint16_t>(boot + 11, 512);
    boot[13] = 1;
    engine::storeLittleEndian<std::uint16_t>(boot + 14, 1);
    boot[16] = 2;
    engine::storeLittleEndian<std::uint32_t>(boot + 32, static_cast<std::uint32_t>(image.size() / 512));
    if (fat32) {
        engine::storeLittleEndian<std::uint32_t>(boot + 36, fatSectors);
        engine::storeLittleEndian<std::uint32_t>(boot + 44, 3);
        std::memcpy(boot + 82, "FAT32   ", 8);
    } else {
        engine::storeLittleEndian<std::uint16_t>(boot + 17, 16);
        engine::storeLittleEndian<std::uint16_t>(boot + 22, static_cast<std::uint16_t>(fatSectors));
        std::memcpy(boot + 54, code == kFileSystemFat12 ? "FAT12   " : "FAT16   ", 8);
    }
    const std::uint32_t last = clusters + 1;
    const auto setEntry = [&](std::uint32_t cluster, std::uint32_t value) {
        for (std::uint64_t copy = 0; copy < 2; ++copy) {
            std::uint8_t* fat = image.data() + fatOffset + copy * fatSectors * 512;
            if (code == kFileSystemFat32) {
                engine::storeLittleEndian<std::uint32_t>(fat + cluster * 4, value);
            } else if (code == kFileSystemFat16) {
                engine::storeLittleEndian<std::uint16_t>(fat + cluster * 2, static_cast<std::uint16_t>(value));
            } else {
                std::uint8_t* at = fat + cluster * 3 / 2;
                const std::uint16_t pair = engine::loadLittleEndian<std::uint16_t>(at);
                const std::uint16_t mixed = (cluster & 1) ? static_cast<std::uint16_t>((pair & 0x000F) | (value << 4))
                                                          : static_cast<std::uint16_t>((pair & 0xF000) | value);
                engine::storeLittleEndian<std::uint16_t>(at, mixed);
            }
        }
    };
    const std::uint32_t endMark = fat32 ? 0x0FFFFFFF : code == kFileSystemFat16 ? 0xFFFF : 0xFFF;
    setEntry(0, endMark - 7);
    setEntry(1, endMark);
    setEntry(last, 2);
    setEntry(2, endMark);
    std::uint64_t root = dataOffset - 512;
    if (fat32) {
        setEntry(3, endMark);
        root = dataOffset + 512;
    }
    std::memcpy(image.data() + root, "LAST    BIN", 11);
    image[root + 11] = 0x20;
    engine::storeLittleEndian<std::uint16_t>(image.data() + root + 20, static_cast<std::uint16_t>(last >> 16));
    engine::storeLittleEndian<std::uint16_t>(image.data() + root + 26, static_cast<std::uint16_t>(last));
    engine::storeLittleEndian<std::uint32_t>(image.data() + root + 28, 1024);
    std::memset(image.data() + dataOffset + (last - 2) * 512ull, 'L', 512);
    std::memset(image.data() + dataOffset, '2', 512);
    return image;
}

TEST(FatBounds, TheEntryOfTheLastClusterIsReadWhereverItFalls) {
    const struct {
        const char* name;
        std::int32_t code;
        std::uint32_t clusters;
    } cases[] = {
        // FAT12 entry 682 takes bytes 1023 and 1024: it spans the end of the second sector.
        {"FAT12", kFileSystemFat12, 681},
        // The last entry starts a FAT sector of its own.
        {"FAT16", kFileSystemFat16, 255},
        {"FAT32", kFileSystemFat32, 127},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryDrive drive(lastClusterImage(c.code, c.clusters, 8), c.code);
        CFAT reader(&drive);
        ASSERT_EQ(reader.Initialize(), 1);
        EXPECT_EQ(reader.geometry()->clusterCount, c.clusters);
        const FoundFileRecord* record = reader.GetFileNext();
        ASSERT_NE(record, nullptr);
        ASSERT_EQ(+record->RecordNumber, c.clusters + 1);
        std::string data(1024, '\0');
        EXPECT_EQ(reader.FileRead({data.data(), 0, 1024, record}), 1024u);
        EXPECT_EQ(data, std::string(512, 'L') + std::string(512, '2'));
        EXPECT_TRUE(drive.clusterMap().GetBit(c.clusters + 1));
    }
}

TEST(FatBounds, DamagedTotalSectorFieldsTakeTheDriveSize) {
    const struct {
        const char* image;
        std::int32_t code;
        std::uint16_t sectors16;
        std::uint32_t sectors32;
    } cases[] = {
        {"fat32", kFileSystemFat32, 0, 0},
        {"fat32", kFileSystemFat32, 0, 0xFFFFFFFF},
        {"fat16", kFileSystemFat16, 0, 0},
        {"fat16", kFileSystemFat16, 0xFFFF, 0},  // the 16-bit field wins when set
        {"fat12", kFileSystemFat12, 0, 0},
        {"fat12", kFileSystemFat12, 0, 0x7FFFFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.image) + " " + std::to_string(c.sectors16) + "/" + std::to_string(c.sectors32));
        const std::vector<std::uint8_t> intact = fattest::loadImage(c.image);
        std::vector<std::uint8_t> damaged = intact;
        engine::storeLittleEndian<std::uint16_t>(damaged.data() + 19, c.sectors16);
        engine::storeLittleEndian<std::uint32_t>(damaged.data() + 32, c.sectors32);
        const auto listed = listImage(damaged, c.code);
        EXPECT_FALSE(listed.empty());
        EXPECT_EQ(listed, listImage(intact, c.code));
    }
}

TEST(FatBounds, FieldsTheReaderUsesAreStillCheckedWithTheirReason) {
    std::vector<std::uint8_t> image = fattest::loadImage("fat16");
    engine::storeLittleEndian<std::uint16_t>(image.data() + 19, 0);
    engine::storeLittleEndian<std::uint16_t>(image.data() + 22, 0xFFFF);  // FATs past the drive
    MemoryDrive drive(std::move(image), kFileSystemFat16);
    CFAT reader(&drive);
    fattest::LogCapture log;
    EXPECT_EQ(reader.Initialize(), 0);
    EXPECT_EQ(log.count("CFAT.Initialize: not a FAT volume: data area start"), 1u);
    EXPECT_EQ(reader.GetFileNext(), nullptr);
}

TEST(FatBounds, AFolderChainSeventyThousandDeepListsWithFlagsAndInnerPaths) {
    constexpr std::uint32_t kDepth = 70000;
    constexpr std::uint32_t kDeletedLevel = 10;
    MemoryDrive drive(fattest::deepChainImage(kDepth, kDeletedLevel), kFileSystemFat32);
    CFAT reader(&drive);
    ASSERT_EQ(reader.Initialize(), static_cast<int>(kDepth + 1));

    std::uint32_t level = 0;  // of the folder listed last
    std::size_t listed = 0;
    while (FoundFileRecord* record = reader.GetFileNext()) {
        ++listed;
        const std::string path = fattest::utf8(reader.GetFilePath(record));
        const std::string name = fattest::utf8(record->Name);
        if (name == "END.TXT") {
            // Only the inner part of the path fits: 2,046 levels of "\D" after "X:".
            std::string inner = "X:";
            for (int k = 0; k < 2046; ++k) inner += "\\D";
            EXPECT_EQ(path, inner + "\\");
            EXPECT_TRUE(+record->Flags & kFileDeleted);
            continue;
        }
        ++level;
        const bool deleted = level >= kDeletedLevel;
        ASSERT_EQ((+record->Flags & kFileDeleted) != 0, deleted) << "level " << level;
        ASSERT_EQ(name, level == kDeletedLevel ? "_" : "D") << "level " << level;
        if (level == 12) {
            EXPECT_EQ(path, "X:\\D\\D\\D\\D\\D\\D\\D\\D\\D\\_\\D\\");
        }
    }
    EXPECT_EQ(level, kDepth);
    EXPECT_EQ(listed, kDepth + 1);
}

}  // namespace
