// Hostile FAT volumes listed in bounded memory and time: a FAT size that asks for 8 GiB,
// total-sector fields that are zero or too large, and a folder chain 70,000 deep.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>

#include "engine/byte_order.h"
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
