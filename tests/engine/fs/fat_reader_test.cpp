// The FAT reader over the committed fixture images: every listed entry with its name,
// folder, flags and size, the data of every file read back byte for byte, and damage.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "engine/exports.h"
#include "engine/fs/fat_reader.h"
#include "engine/fs/fat_fixture.h"
#include "platform/time.h"

namespace {

using fattest::MemoryDrive;

std::string readAll(CFAT& reader, const FoundFileRecord& record, std::uint64_t pieceSize) {
    std::string data;
    std::vector<std::uint8_t> buffer((pieceSize + 511) / 512 * 512);
    for (std::uint64_t offset = 0; offset < record.Size; offset += pieceSize) {
        const std::uint64_t wanted = std::min(pieceSize, record.Size - offset);
        const std::uint64_t got = reader.FileRead({buffer.data(), offset, wanted, &record});
        data.append(reinterpret_cast<const char*>(buffer.data()), got);
        if (got < wanted) break;
    }
    return data;
}

std::int32_t codeOf(const std::string& image) {
    return image == "fat12" ? kFileSystemFat12 : image == "fat32" ? kFileSystemFat32 : kFileSystemFat16;
}

// One fixture image opened by the reader.
struct Opened {
    explicit Opened(const std::string& image) : drive(fattest::loadImage(image), codeOf(image)) {}
    MemoryDrive drive;
    CFAT reader{&drive};
};

class FatFixture : public ::testing::TestWithParam<std::string> {};

TEST_P(FatFixture, ListsEveryEntryAndReadsEveryFileBack) {
    Opened fat(GetParam());
    ASSERT_GT(fat.drive.image().size(), 0u) << "fixture " << GetParam() << " missing";
    ASSERT_GT(fat.reader.Initialize(), 0);
    const auto listed = fattest::listByPath(fat.reader);
    for (const fattest::ExpectedEntry& expected : fattest::loadListing(GetParam())) {
        SCOPED_TRACE(expected.path);
        const auto found = listed.find(expected.path);
        ASSERT_NE(found, listed.end());
        const FoundFileRecord& record = found->second;
        EXPECT_EQ((+record.Flags & kFileDeleted) != 0, expected.deleted);
        EXPECT_EQ((+record.Flags & kFileDirectory) != 0, expected.directory);
        EXPECT_TRUE(+record.Flags & kFileHasName);
        if (expected.directory) continue;
        EXPECT_EQ(+record.Size, expected.size);
        const std::string wanted = fattest::content(expected.start, expected.size);
        // Whole, in odd pieces (unaligned offsets) and in recovery-sized pieces.
        for (std::uint64_t piece : {expected.size + 1, std::uint64_t{700}, std::uint64_t{0x200000}})
            EXPECT_EQ(readAll(fat.reader, record, piece), wanted) << "pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(Images, FatFixture, ::testing::Values("fat12", "fat16", "fat32", "fat16-4k"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(FatImages, Fat12FillsEveryFieldOfARootFile) {
    Opened fat("fat12");
    fat.reader.Initialize();
    const FoundFileRecord readme = fattest::listByPath(fat.reader).at("README.TXT");
    const FatGeometry& geometry = *fat.reader.geometry();
    EXPECT_EQ(+readme.ParentNumber, 0u);
    EXPECT_EQ(+readme.Flags, kFileHasName);
    EXPECT_EQ(+readme.Size, 300u);
    EXPECT_EQ(+readme.RecordNumber, +readme.FirstCluster);
    EXPECT_EQ(+readme.DataPosition, geometry.dataOffset + (+readme.RecordNumber - 2) * geometry.bytesPerCluster);
    EXPECT_EQ(+readme.Attributes, 0x20u);
    FILETIME written{}, accessed{};
    // 2023-05-06 07:08:10, as stored: no zone applied.
    ASSERT_TRUE(DosDateTimeToFileTime((43 << 9) | (5 << 5) | 6, (7 << 11) | (8 << 5) | 5, &written));
    ASSERT_TRUE(DosDateTimeToFileTime((43 << 9) | (5 << 5) | 6, 0, &accessed));
    EXPECT_EQ(platform::toUint64(readme.LastWriteTime), platform::toUint64(written));
    EXPECT_EQ(platform::toUint64(readme.CreationTime), platform::toUint64(written));
    EXPECT_EQ(platform::toUint64(readme.LastAccessTime), platform::toUint64(accessed));
}

TEST(FatImages, Fat12LabelAndDeletedFolders) {
    Opened fat("fat12");
    fat.reader.Initialize();
    const auto listed = fattest::listByPath(fat.reader);  // names are checked against the listing above
    EXPECT_EQ(+listed.at("FAT12").Attributes, 0x08u);  // the volume label
    // Entries of a deleted folder keep it as their folder.
    const FoundFileRecord& folder = listed.at("_LD");
    const FoundFileRecord& inside = listed.at("_LD/old notes.txt");
    EXPECT_EQ(+folder.Flags, kFileHasName | kFileDeleted | kFileDirectory);
    EXPECT_EQ(+inside.ParentNumber, +folder.RecordNumber);
    EXPECT_EQ(fattest::utf8(fat.reader.GetFilePath(&inside)), "X:\\_LD\\");
    FoundFileRecord orphan{};
    EXPECT_EQ(fattest::utf8(fat.reader.GetFilePath(&orphan)), "X:\\");
}

TEST(FatImages, WarnsOnceWhenTheFatCopiesDiffer) {
    for (auto [image, warnings] : {std::pair{"fat12", 1u}, std::pair{"fat32", 0u}}) {
        Opened fat(image);
        fattest::LogCapture log;
        fat.reader.Initialize();
        EXPECT_EQ(log.count("CFAT.Initialize: FAT1 and FAT2 not equal! (FAT1 or FAT2 corruppted)"), warnings)
            << image;
    }
}

TEST(FatImages, Fat12ClusterMapFollowsTheFatAndBadRecordsReadNothing) {
    Opened fat("fat12");
    fat.reader.Initialize();
    const CBitArray& map = fat.drive.clusterMap();
    const FatTable& table = fat.reader.fat();
    ASSERT_GE(map.sizeInBits(), table.entryCount());
    for (std::uint32_t i = 0; i < table.entryCount(); ++i) ASSERT_EQ(map.GetBit(i), table.value(i) != 0) << i;

    FoundFileRecord record{};
    std::uint8_t buffer[512];
    record.RecordNumber = 5;
    EXPECT_EQ(fat.reader.FileRead({buffer, 0, 0, &record}), 0u);
    for (std::uint64_t cluster : {0xFFFFFFu, 1u}) {
        record.RecordNumber = cluster;
        EXPECT_EQ(fat.reader.FileRead({buffer, 0, 100, &record}), 0u) << cluster;
    }
}

TEST(FatImages, Fat16LoopedChainAndStaleLongName) {
    Opened fat("fat16");
    fat.reader.Initialize();
    const auto listed = fattest::listByPath(fat.reader);
    EXPECT_TRUE(listed.contains("RENAMED.TXT"));
    EXPECT_FALSE(listed.contains("stale name.txt"));

    const FoundFileRecord& loop = listed.at("LOOP.BIN");
    fattest::LogCapture log;
    const auto chain = fat.reader.fat().chain(static_cast<std::uint32_t>(loop.RecordNumber));
    ASSERT_EQ(chain.size(), 3u);
    char line[160];
    std::snprintf(line, sizeof line,
                  "CreateFileClustersList: error in FAT, corrupted file chain, NextCluster = 0x%X already "
                  "exist in chain",
                  chain[0]);
    EXPECT_EQ(log.count(line), 1u);
    // The loop data is read once, not forever.
    std::vector<std::uint8_t> buffer(8192);
    EXPECT_EQ(fat.reader.FileRead({buffer.data(), 0, 8192, &loop}), 6144u);
}

TEST(FatImages, ALiveFolderInADeletedFolderIsReadAlongItsWholeChain) {
    Opened fat("fat16");
    fat.reader.Initialize();
    const auto listed = fattest::listByPath(fat.reader);
    // KEEP's own entry is deleted; SUB inside it is live and spans two clusters.
    const FoundFileRecord& sub = listed.at("_EEP/SUB");
    EXPECT_EQ(+sub.Flags, kFileHasName | kFileDeleted | kFileDirectory);
    std::size_t files = 0;
    for (const auto& [path, record] : listed) {
        if (!path.starts_with("_EEP/SUB/")) continue;
        ++files;
        EXPECT_EQ(+record.Flags, kFileHasName | kFileDeleted) << path;
        EXPECT_EQ(+record.ParentNumber, +sub.RecordNumber) << path;
    }
    EXPECT_EQ(files, 70u);
}

TEST(FatImages, TruncatedOrUnreadableDrivesFailSafely) {
    std::vector<std::uint8_t> image = fattest::loadImage("fat32");
    image.resize(image.size() / 3);
    MemoryDrive truncated(std::move(image), kFileSystemFat32);
    CFAT reader(&truncated);
    reader.Initialize();
    for (const auto& [path, record] : fattest::listByPath(reader)) {
        const std::uint64_t size = std::min<std::uint64_t>(+record.Size, 1 << 20);
        std::vector<std::uint8_t> buffer((size + 511) / 512 * 512);
        EXPECT_LE(reader.FileRead({buffer.data(), 0, size, &record}), size) << path;
    }

    Opened unreadable("fat12");
    unreadable.drive.failReads = true;
    EXPECT_EQ(unreadable.reader.Initialize(), 0);
    EXPECT_EQ(unreadable.reader.GetFileNext(), nullptr);
}

}  // namespace
