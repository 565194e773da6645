// The FAT reader over the committed fixture images: every listed entry with its name,
// folder, flags and size, and the data of every file read back byte for byte.

#include <gtest/gtest.h>

#include <map>

#include "engine/exports.h"
#include "engine/fs/fat_reader.h"
#include "engine/fs/fat_fixture.h"
#include "platform/time.h"

namespace {

using fattest::ExpectedEntry;
using fattest::MemoryDrive;

struct Listed {
    FoundFileRecord record;
    std::string name;
    std::string path;  // "A/B/name"
};

std::string folderOf(const char16_t* path) {
    std::string text = fattest::utf8(path);  // "X:\A\B\"
    std::string folder = text.size() > 3 ? text.substr(3) : "";
    for (char& c : folder) c = c == '\\' ? '/' : c;
    return folder;
}

std::map<std::string, Listed> listAll(CFAT& reader) {
    std::map<std::string, Listed> all;
    while (FoundFileRecord* record = reader.GetFileNext()) {
        Listed listed{*record, fattest::utf8(record->Name), ""};
        listed.path = folderOf(reader.GetFilePath(record)) + listed.name;
        all.emplace(listed.path, listed);
    }
    return all;
}

std::string readAll(CFAT& reader, const FoundFileRecord& record, std::uint64_t pieceSize) {
    std::string data;
    std::vector<std::uint8_t> buffer((pieceSize + 511) / 512 * 512);
    for (std::uint64_t offset = 0; offset < record.Size; offset += pieceSize) {
        const std::uint64_t wanted = std::min(pieceSize, record.Size - offset);
        const FileReadRequest request{buffer.data(), offset, wanted, &record};
        const std::uint64_t got = reader.FileRead(request);
        data.append(reinterpret_cast<const char*>(buffer.data()), got);
        if (got < wanted) break;
    }
    return data;
}

class FatFixture : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        drive_ = std::make_unique<MemoryDrive>(fattest::loadImage(GetParam()), fattest::codeOf(GetParam()));
        ASSERT_GT(drive_->image().size(), 0u) << "fixture " << GetParam() << " missing";
        reader_ = std::make_unique<CFAT>(drive_.get());
    }
    std::unique_ptr<MemoryDrive> drive_;
    std::unique_ptr<CFAT> reader_;
};

TEST_P(FatFixture, ListsEveryExpectedEntryWithItsFlagsAndSize) {
    ASSERT_GT(reader_->Initialize(), 0);
    const auto listed = listAll(*reader_);
    for (const ExpectedEntry& expected : fattest::loadListing(GetParam())) {
        SCOPED_TRACE(expected.path);
        const auto found = listed.find(expected.path);
        ASSERT_NE(found, listed.end());
        const FoundFileRecord& record = found->second.record;
        EXPECT_EQ((+record.Flags & kFileDeleted) != 0, expected.deleted);
        EXPECT_EQ((+record.Flags & kFileDirectory) != 0, expected.directory);
        EXPECT_TRUE(+record.Flags & kFileHasName);
        if (!expected.directory) {
            EXPECT_EQ(+record.Size, expected.size);
        }
    }
}

TEST_P(FatFixture, ReadsEveryFileBackByteForByte) {
    ASSERT_GT(reader_->Initialize(), 0);
    const auto listed = listAll(*reader_);
    for (const ExpectedEntry& expected : fattest::loadListing(GetParam())) {
        if (expected.directory) continue;
        SCOPED_TRACE(expected.path);
        const auto found = listed.find(expected.path);
        ASSERT_NE(found, listed.end());
        const std::string wanted = fattest::content(expected.start, expected.size);
        // Whole, in odd pieces (unaligned offsets) and in recovery-sized pieces.
        EXPECT_EQ(readAll(*reader_, found->second.record, expected.size + 1), wanted);
        EXPECT_EQ(readAll(*reader_, found->second.record, 700), wanted);
        EXPECT_EQ(readAll(*reader_, found->second.record, 0x200000), wanted);
    }
}

INSTANTIATE_TEST_SUITE_P(Images, FatFixture, ::testing::Values("fat12", "fat16", "fat32", "fat16-4k"),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name) c = c == '-' ? '_' : c;
                             return name;
                         });

class Fat12Image : public ::testing::Test {
protected:
    void SetUp() override {
        drive_ = std::make_unique<MemoryDrive>(fattest::loadImage("fat12"), kFileSystemFat12);
        reader_ = std::make_unique<CFAT>(drive_.get());
    }
    std::unique_ptr<MemoryDrive> drive_;
    std::unique_ptr<CFAT> reader_;
};

TEST_F(Fat12Image, FillsEveryFieldOfARootFile) {
    reader_->Initialize();
    const auto listed = listAll(*reader_);
    const FoundFileRecord& readme = listed.at("README.TXT").record;
    const FatGeometry& geometry = *reader_->geometry();
    EXPECT_EQ(+readme.ParentNumber, 0u);
    EXPECT_EQ(+readme.Flags, kFileHasName);
    EXPECT_EQ(+readme.Size, 300u);
    EXPECT_EQ(+readme.RecordNumber, +readme.FirstCluster);
    EXPECT_GE(+readme.RecordNumber, 2u);
    EXPECT_EQ(+readme.DataPosition, geometry.dataOffset + (+readme.RecordNumber - 2) * geometry.bytesPerCluster);
    EXPECT_EQ(+readme.Attributes, 0x20u);
    EXPECT_EQ(+readme.TypeCode, 0);
    FILETIME written{};
    // 2023-05-06 07:08:10, as stored: no zone applied.
    ASSERT_TRUE(DosDateTimeToFileTime((43 << 9) | (5 << 5) | 6, (7 << 11) | (8 << 5) | 5, &written));
    EXPECT_EQ(platform::toUint64(readme.LastWriteTime), platform::toUint64(written));
    EXPECT_EQ(platform::toUint64(readme.CreationTime), platform::toUint64(written));
    FILETIME accessed{};
    ASSERT_TRUE(DosDateTimeToFileTime((43 << 9) | (5 << 5) | 6, 0, &accessed));
    EXPECT_EQ(platform::toUint64(readme.LastAccessTime), platform::toUint64(accessed));
}

TEST_F(Fat12Image, NamesLongShortAndDeletedEntries) {
    reader_->Initialize();
    const auto listed = listAll(*reader_);
    EXPECT_TRUE(listed.contains("photo_001.jpg"));  // exactly 13 characters
    EXPECT_TRUE(listed.contains("MAKEFILE"));
    EXPECT_TRUE(listed.contains("_ELETED.TXT"));
    EXPECT_TRUE(listed.contains("deleted long name.txt"));
    EXPECT_TRUE(listed.contains("DOCS/notes about recovery.txt"));
    const FoundFileRecord& label = listed.at("FAT12").record;  // the volume label
    EXPECT_EQ(+label.Attributes, 0x08u);
}

TEST_F(Fat12Image, EntriesOfADeletedFolderAreDeletedAndKeepTheirFolder) {
    reader_->Initialize();
    const auto listed = listAll(*reader_);
    const FoundFileRecord& folder = listed.at("_LD").record;
    const FoundFileRecord& inside = listed.at("_LD/old notes.txt").record;
    EXPECT_EQ(+folder.Flags, kFileHasName | kFileDeleted | kFileDirectory);
    EXPECT_EQ(+inside.ParentNumber, +folder.RecordNumber);
    EXPECT_EQ(fattest::utf8(reader_->GetFilePath(&inside)), "X:\\_LD\\");
}

TEST_F(Fat12Image, WarnsWhenTheFatCopiesDiffer) {
    fattest::LogCapture log;
    reader_->Initialize();
    EXPECT_EQ(log.count("CFAT.Initialize: FAT1 and FAT2 not equal! (FAT1 or FAT2 corruppted)"), 1u);
}

TEST(Fat32Image, EqualFatCopiesGiveNoWarning) {
    MemoryDrive drive(fattest::loadImage("fat32"), kFileSystemFat32);
    CFAT reader(&drive);
    fattest::LogCapture log;
    reader.Initialize();
    EXPECT_EQ(log.count("not equal"), 0u);
}

TEST_F(Fat12Image, ClusterMapBitsFollowTheFat) {
    reader_->Initialize();
    const CBitArray& map = drive_->clusterMap();
    const FatTable& fat = reader_->fat();
    ASSERT_GE(map.sizeInBits(), fat.entryCount());
    for (std::uint32_t i = 0; i < fat.entryCount(); ++i) {
        ASSERT_EQ(map.GetBit(i), fat.value(i) != 0) << i;
    }
}

TEST_F(Fat12Image, PathOfARecordWithoutFolderIsTheDriveRoot) {
    reader_->Initialize();
    FoundFileRecord record{};
    EXPECT_EQ(fattest::utf8(reader_->GetFilePath(&record)), "X:\\");
}

TEST_F(Fat12Image, ReadOfSizeZeroAndOfAnOutOfRangeClusterGiveNothing) {
    reader_->Initialize();
    FoundFileRecord record{};
    std::uint8_t buffer[512];
    record.RecordNumber = 5;
    EXPECT_EQ(reader_->FileRead({buffer, 0, 0, &record}), 0u);
    record.RecordNumber = 0xFFFFFF;
    EXPECT_EQ(reader_->FileRead({buffer, 0, 100, &record}), 0u);
    record.RecordNumber = 1;
    EXPECT_EQ(reader_->FileRead({buffer, 0, 100, &record}), 0u);
}

TEST(Fat16Image, ALoopedChainEndsWithOneErrorLine) {
    MemoryDrive drive(fattest::loadImage("fat16"), kFileSystemFat16);
    CFAT reader(&drive);
    reader.Initialize();
    const auto listed = listAll(reader);
    const FoundFileRecord& loop = listed.at("LOOP.BIN").record;
    fattest::LogCapture log;
    const auto chain = reader.fat().chain(static_cast<std::uint32_t>(loop.RecordNumber));
    ASSERT_EQ(chain.size(), 3u);
    char line[160];
    std::snprintf(line, sizeof line,
                  "CreateFileClustersList: error in FAT, corrupted file chain, NextCluster = 0x%X already "
                  "exist in chain",
                  chain[0]);
    EXPECT_EQ(log.count(line), 1u);
    // The loop data is read once, not forever.
    std::vector<std::uint8_t> buffer(8192);
    EXPECT_EQ(reader.FileRead({buffer.data(), 0, 8192, &loop}), 6144u);
}

TEST(Fat16Image, AStaleLongNameGivesWayToThe83Name) {
    MemoryDrive drive(fattest::loadImage("fat16"), kFileSystemFat16);
    CFAT reader(&drive);
    reader.Initialize();
    const auto listed = listAll(reader);
    EXPECT_TRUE(listed.contains("RENAMED.TXT"));
    EXPECT_FALSE(listed.contains("stale name.txt"));
}

TEST(FatImages, ATruncatedImageListsWhatItCanWithoutFaults) {
    std::vector<std::uint8_t> image = fattest::loadImage("fat32");
    image.resize(image.size() / 3);
    MemoryDrive drive(std::move(image), kFileSystemFat32);
    CFAT reader(&drive);
    reader.Initialize();
    const auto listed = listAll(reader);
    for (const auto& [path, entry] : listed) {
        const std::uint64_t size = std::min<std::uint64_t>(+entry.record.Size, 1 << 20);
        std::vector<std::uint8_t> buffer((size + 511) / 512 * 512);
        EXPECT_LE(reader.FileRead({buffer.data(), 0, size, &entry.record}), size);
    }
}

TEST(FatImages, AnUnreadableDriveGivesNoEntries) {
    MemoryDrive drive(fattest::loadImage("fat12"), kFileSystemFat12);
    drive.failReads = true;
    CFAT reader(&drive);
    EXPECT_EQ(reader.Initialize(), 0);
    EXPECT_EQ(reader.GetFileNext(), nullptr);
}

TEST(FatImages, AVolumeWithOnlyHiddenEntriesCountsNone) {
    MemoryDrive drive(fattest::loadImage("fat12"), kFileSystemFat12);
    CFAT probe(&drive);
    probe.Initialize();
    const FatGeometry geometry = *probe.geometry();
    // Hide every root entry and drop the folders' entries.
    for (std::uint32_t i = 0; i < geometry.rootEntryCount; ++i) {
        std::uint8_t* entry = drive.image().data() + geometry.rootOffset + i * 32;
        if (entry[0] != 0 && entry[11] != 0x0F) entry[11] = 0x02;
    }
    CFAT reader(&drive);
    EXPECT_EQ(reader.Initialize(), 0);
    EXPECT_NE(reader.GetFileNext(), nullptr);
}

}  // namespace
