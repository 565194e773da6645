// The committed images made by scripts/make-ntfs-fixtures: every listed file and folder,
// live, deleted or orphaned, is found with its name, flags, size, time and path, and its
// data reads back byte-identical; records that hold no file are not listed.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "engine/fs/ntfs.h"
#include "ntfs_test_volume.h"
#include "engine/support/log_capture.h"
#include "engine/support/test_images.h"
#include "platform/text.h"
#include "platform/time.h"

using namespace ntfs_test;

namespace {

struct Expected {
    std::uint64_t record;
    bool directory, deleted;
    std::uint64_t size, writeTime;
    std::string hash;  // FNV-1a 64, "-" for folders
    std::string path;  // "\folder\name" or "lost_folder_N\name"
};

std::vector<Expected> readListing(const std::string& path) {
    std::vector<Expected> rows;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Expected row;
        std::string flags;
        fields >> row.record >> flags >> row.size >> row.writeTime >> row.hash;
        fields.ignore(1);
        std::getline(fields, row.path);
        row.directory = flags.find('d') != std::string::npos;
        row.deleted = flags.find('x') != std::string::npos;
        rows.push_back(row);
    }
    return rows;
}

std::string fnv1a(const Buffer& data) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (std::uint8_t byte : data) hash = (hash ^ byte) * 0x100000001b3ULL;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

class NtfsFixtureTest : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(NtfsFixtureTest, ListsAndRecoversEveryFile) {
    const std::string name = GetParam();
    Buffer image = test_images::gunzip("ntfs/" + name + ".img.gz");
    ASSERT_FALSE(image.empty()) << "missing image " << name;
    std::vector<Expected> listing = readListing(test_images::dataPath("ntfs/" + name + ".listing"));
    ASSERT_FALSE(listing.empty());

    MemoryDrive drive(std::move(image), 'E');
    CNTFS ntfs(&drive);
    int total = 0;
    {
        test_support::LogCapture log;
        total = ntfs.Initialize();
        // $MFT's runs cover its allocation, which runs ahead of its data on a healthy volume.
        EXPECT_EQ(log.count("CheckMFT"), 0u) << log.text();
    }
    ASSERT_GT(total, 0);

    struct Seen {
        FoundFileRecord record;
        std::u16string name;
    };
    std::map<std::uint64_t, Seen> seen;
    while (FoundFileRecord* record = ntfs.FileGetNext()) {
        if (record->Flags & kFileDamaged) continue;
        seen[record->RecordNumber] = {*record, record->Name ? record->Name : u""};
    }
    EXPECT_EQ(ntfs.CurrentFileCount(), static_cast<std::uint64_t>(total));

    // Every listed record holds a file, a name or data: the reserved records and the
    // free slots that never held a file are left out, the deleted files all stay.
    std::set<std::uint64_t> deleted, expectedDeleted;
    for (const auto& [number, entry] : seen) {
        CNTFile file(ntfs);
        ASSERT_NE(ntfs.GetFileRec(number, file.RecordBuffer()), 0u);
        ASSERT_EQ(file.ParseRecord(), 1);
        EXPECT_TRUE(file.HasData() || file.HasAttribute(ntfs::kAttrFileName)) << number;
        if (entry.record.Flags & kFileDeleted) deleted.insert(number);
    }
    for (const Expected& row : listing) {
        if (row.deleted) expectedDeleted.insert(row.record);
    }
    EXPECT_EQ(deleted, expectedDeleted);

    for (const Expected& row : listing) {
        SCOPED_TRACE(row.path);
        auto found = seen.find(row.record);
        ASSERT_NE(found, seen.end());
        const FoundFileRecord& record = found->second.record;
        EXPECT_EQ((record.Flags & kFileDirectory) != 0, row.directory);
        EXPECT_EQ((record.Flags & kFileDeleted) != 0, row.deleted);
        EXPECT_EQ(platform::toUint64(record.LastWriteTime), row.writeTime);

        std::string fullPath = platform::toUtf8(ntfs.FileGetPath(&record)) +
                               platform::toUtf8(found->second.name);
        std::string expectedPath = row.path.rfind("lost_folder_", 0) == 0 ? row.path
                                                                          : "E:" + row.path;
        EXPECT_EQ(fullPath, expectedPath);
        if (row.directory) continue;

        EXPECT_EQ(+record.Size, row.size);
        Buffer data(row.size + 512, 0);
        EXPECT_EQ(ntfs.FileRead(FileReadRequest{data.data(), 0, data.size(), &record}), row.size);
        data.resize(row.size);
        EXPECT_EQ(fnv1a(data), row.hash);
    }
}

INSTANTIATE_TEST_SUITE_P(Images, NtfsFixtureTest,
                         ::testing::Values("ntfs-basic", "ntfs-sector4k", "ntfs-cluster8k"));
