// What a user does: disk images named in UNDELETE_DISKS are listed, their volumes opened,
// their files (deleted ones included) enumerated and recovered byte-identical, all through
// the exports alone.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "engine/disk/listed_disks.h"
#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/fs/fat_fixture.h"
#include "engine/support/scoped_settings.h"
#include "engine/support/test_images.h"
#include "platform/handles.h"
#include "platform/text.h"

namespace {

namespace fs = std::filesystem;

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        work_ = fs::temp_directory_path() / ("end-to-end-" + std::to_string(::getpid()));
        fs::create_directories(work_);
        ASSERT_EQ(Library_Initialize(u"\\Software\\Test"), 1);
        const std::string disks = unpack("fat/fat16.img.gz", "fat16.img") + ":" +
                                  unpack("ntfs/ntfs-basic.img.gz", "ntfs.img");
        ::setenv(engine::kListedDisksVariable, disks.c_str(), 1);
        HANDLE rescan = DrivesRescan(0);
        ASSERT_NE(rescan, nullptr);
        ASSERT_EQ(WaitForSingleObject(rescan, 20000), WAIT_OBJECT_0);
        CloseHandle(rescan);
    }
    void TearDown() override {
        engine::releaseFileReaders();
        ::unsetenv(engine::kListedDisksVariable);
        fs::remove_all(work_);
    }

    std::string unpack(const std::string& source, const std::string& name) {
        const auto bytes = test_images::gunzip(source);
        const fs::path target = work_ / name;
        std::ofstream(target, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return target.string();
    }

    // Every entry of volume `letter` by its full path.
    std::map<std::string, FoundFileRecord> list(const char* letter) {
        settings_.DiskNumber = DriveIDByLetter(letter);
        EXPECT_GT(DriveInitialize(&settings_), 0) << GetLastErrorString();
        std::map<std::string, FoundFileRecord> entries;
        while (FoundFileRecord* record = FileGetNext()) {
            if (!record->Name) continue;
            entries[platform::toUtf8(FileGetPath(record)) + platform::toUtf8(record->Name)] = *record;
        }
        return entries;
    }

    std::string recover(FoundFileRecord record, const std::string& name) {
        const fs::path target = work_ / name;
        HANDLE thread = FileRecovery(platform::toUtf16(target.string()).c_str(), 0, &record);
        EXPECT_NE(thread, nullptr);
        EXPECT_EQ(WaitForSingleObject(thread, 20000), WAIT_OBJECT_0);
        CloseHandle(thread);
        std::ifstream in(target, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path work_;
    test_support::ScopedSettings scopedSettings_{2};
    EngineSettings& settings_ = scopedSettings_.get();
};

TEST_F(EndToEnd, DeletedFatFilesComeBackWhole) {
    ASSERT_EQ(DriveGetCount(), 4);  // two disks, volumes C and D
    auto entries = list("C");
    ASSERT_TRUE(entries.contains("C:\\deleted long name.txt"));
    const FoundFileRecord deleted = entries["C:\\deleted long name.txt"];
    EXPECT_TRUE(deleted.Flags & kFileDeleted);
    EXPECT_EQ(recover(deleted, "deleted.txt"), fattest::content(5000, 10000));

    ASSERT_TRUE(entries.contains("C:\\_EEP\\LIVE1.TXT"));  // a file of a deleted folder
    EXPECT_EQ(recover(entries["C:\\_EEP\\LIVE1.TXT"], "live1.txt"), fattest::content(2000, 3000));
}

TEST_F(EndToEnd, DeletedNtfsFilesAndLostFoldersAreListedAndRecovered) {
    auto entries = list("D");
    ASSERT_TRUE(entries.contains("D:\\olddir\\child.txt"));
    const FoundFileRecord child = entries["D:\\olddir\\child.txt"];
    EXPECT_TRUE(child.Flags & kFileDeleted);
    EXPECT_EQ(recover(child, "child.txt").size(), 9000u);
    // A folder whose chain breaks is named after the record it was lost under, without
    // a drive.
    EXPECT_TRUE(entries.contains("lost_folder_76\\orphan.txt"));
    EXPECT_EQ(recover(entries["D:\\hello.txt"], "hello.txt").size(), 13u);
}

// A card image with no file system left is searched sector by sector for file headers.
TEST_F(EndToEnd, ARawImageIsSearchedForFileHeaders) {
    std::vector<std::uint8_t> card(1 << 20, 0);
    const std::uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    const std::uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0};
    std::copy(std::begin(png), std::end(png), card.begin() + 100 * 512);
    std::copy(std::begin(gif), std::end(gif), card.end() - 512);  // the drive's last sector
    const fs::path raw = work_ / "card.img";
    std::ofstream(raw, std::ios::binary).write(reinterpret_cast<const char*>(card.data()),
                                               static_cast<std::streamsize>(card.size()));
    ::setenv(engine::kListedDisksVariable, raw.c_str(), 1);
    HANDLE rescan = DrivesRescan(0);
    ASSERT_EQ(WaitForSingleObject(rescan, 20000), WAIT_OBJECT_0);
    CloseHandle(rescan);

    settings_.DiskNumber = DriveIDByLetter("C");
    ASSERT_GT(DriveInitialize(&settings_), 0);
    static std::vector<std::uint64_t> positions;
    positions.clear();
    settings_.FoundCallback = [](std::uint32_t, FoundFileRecord* hit) { positions.push_back(std::uint64_t{hit->DataPosition}); };
    EXPECT_EQ(DriveSearchSignatures(), kSearchRanOnCaller);
    EXPECT_EQ(positions, (std::vector<std::uint64_t>{100 * 512, card.size() - 512}));
}

}  // namespace
