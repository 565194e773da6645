// Whole runs on the real engine over the fixture images: what comes back is byte for byte
// what the images hold, in the folders they were listed in.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "engine/exports.h"
#include "engine/support/test_images.h"
#include "platform/handles.h"
#include "wizard/model/base_sorted_list.h"
#include "wizard/model/formats_unit.h"
#include "wizard/model/real_engine.h"
#include "wizard/recovery/recovery_flow.h"
#include "wizard/recovery/recovery_flow_fixture.h"
#include "wizard/settings/settings_store.h"

namespace fs = std::filesystem;

namespace {

std::uint64_t Fnv1a64(const std::string& data) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char byte : data) {
        hash ^= static_cast<std::uint8_t>(byte);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// A FAT fixture file's content: `seq start 9999999 | head -c size`.
std::string SeqContent(long start, std::uint64_t size) {
    std::string text;
    for (long number = start; text.size() < size; ++number) text += std::to_string(number) + "\n";
    text.resize(size);
    return text;
}

struct FatFile {
    std::uint64_t size;
    long start;
    bool deleted;
};

// The files of a FAT listing by path: kind, state, path, size, first number.
std::map<std::string, FatFile> FatListing(const std::string& name) {
    std::map<std::string, FatFile> files;
    std::ifstream listing(test_images::dataPath("fat/" + name + ".expected"));
    for (std::string line; std::getline(listing, line);) {
        std::istringstream fields(line);
        std::string field[5];
        for (std::string& text : field) std::getline(fields, text, '\t');
        if (field[0] == "f") files[field[2]] = {std::stoull(field[3]), std::stol(field[4]), field[1] == "deleted"};
    }
    return files;
}

std::string Slashed(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

class RealRecoveryTest : public RealEngineTest {
protected:
    void SetUp() override {
        RealEngineTest::SetUp();
        LoadSettings();
        FormatsUnitInit();
        Settings().RecoveryTargetFolder = QString::fromStdString(target().string()) + u'/';
        Settings().RecoveryAutoPilot = true;
        Settings().RecoveryKeepFolderStructure = true;
        flow = std::make_unique<RecoveryFlow>(host);
    }
    void TearDown() override {
        flow.reset();
        list.Clear();
        FormatsUnitDone();
        RealEngineTest::TearDown();
    }

    fs::path target() const { return workFolder() / "target"; }

    // Opens the only volume of the fixture image and lists its entries.
    void Open(const std::string& image) {
        useFixtureDisks({image});
        HANDLE rescan = realEngine().DrivesRescan(0);
        ASSERT_NE(rescan, nullptr);
        ASSERT_EQ(WaitForSingleObject(rescan, 20000), WAIT_OBJECT_0);
        CloseHandle(rescan);
        for (int i = 0; i < realEngine().DriveGetCount(); ++i) {
            const _LDRIVE* info = realEngine().DriveGetInformation(i);
            if (info->Letter == 'C') drive = std::make_shared<TRecoveryDrive>(*info);
        }
        ASSERT_TRUE(drive);
        host.settings.ReadRetries = 2;
        host.settings.DiskNumber = drive->DriveNumber();
        ASSERT_GT(realEngine().DriveInitialize(&host.settings), 0) << realEngine().GetLastErrorString();
    }
    void ListFiles() {
        std::int64_t serial = 0;
        while (const FoundFileRecord* record = realEngine().FileGetNext()) {
            list.Add(std::make_unique<TBaseElement>(*record, ++serial, drive));
        }
    }
    // Selects the files (no folders) that `wanted` accepts, by folder path and name.
    void Select(const std::function<bool(const std::string& path)>& wanted) {
        host.selected.clear();
        for (std::size_t i = 0; i < list.Count(); ++i) {
            TBaseElement& element = list[i];
            if (!element.IsFolder() && wanted(element.Path() + element.Name())) host.selected.push_back(&element);
        }
    }
    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    FakeRecoveryHost host;
    std::unique_ptr<RecoveryFlow> flow;
    std::shared_ptr<TRecoveryDrive> drive;
    TBaseSortedList list{kSortByPath, true};
};

TEST_F(RealRecoveryTest, Fat32FilesComeBackInTheirFoldersAsListed) {
    Open("fat/fat32.img.gz");
    ListFiles();
    const std::map<std::string, FatFile> files = FatListing("fat32");
    Select([&](const std::string& path) { return path.starts_with("C:\\") && files.contains(Slashed(path.substr(3))); });
    ASSERT_EQ(host.selected.size(), files.size());

    ASSERT_TRUE(flow->DoRealRecovery(true));
    EXPECT_EQ(host.recovered[0], static_cast<int>(files.size()));
    for (const auto& [path, file] : files) {
        EXPECT_EQ(Read(target() / path), SeqContent(file.start, file.size)) << path;
    }
    EXPECT_TRUE(files.at("A/B/_one.txt").deleted && files.at("_ELETED.BIN").deleted);
}

TEST_F(RealRecoveryTest, NtfsFilesComeBackWholeAndRerunsOverwriteThem) {
    Open("ntfs/ntfs-basic.img.gz");
    ListFiles();
    std::map<std::string, std::uint64_t> hashes;  // by path below the target
    std::ifstream listing(test_images::dataPath("ntfs/ntfs-basic.listing"));
    for (std::string line; std::getline(listing, line);) {
        std::istringstream fields(line);
        std::string field[6];
        for (std::string& text : field) std::getline(fields, text, '\t');
        if (field[4] == "-") continue;
        const std::string path = Slashed(field[5]);
        hashes[path.starts_with('/') ? path.substr(1) : path] = std::stoull(field[4], nullptr, 16);
    }
    Select([&](const std::string& path) {
        const std::string below = Slashed(path.size() > 3 && path[1] == ':' ? path.substr(3) : path);
        return hashes.contains(below);
    });
    ASSERT_EQ(host.selected.size(), hashes.size());

    for (const bool rerun : {false, true}) {
        Settings().ConfirmationsFileOverwrite = !rerun;
        ASSERT_TRUE(flow->DoRealRecovery(true));
        for (const auto& [path, hash] : hashes) EXPECT_EQ(Fnv1a64(Read(target() / path)), hash) << path;
    }
    EXPECT_EQ(host.recovered[0], 2 * static_cast<int>(hashes.size()));
    EXPECT_TRUE(fs::exists(target() / "lost_folder_76" / "orphan.txt"));
    EXPECT_TRUE(fs::exists(target() / "olddir" / "child.txt"));
    EXPECT_FALSE(fs::exists(target() / "hello_1.txt"));
}

TEST_F(RealRecoveryTest, CarvedFilesAreTheBytesFromTheirHitOn) {
    Open("search/fat12-hits.img.gz");
    static std::mutex mutex;
    static std::vector<FoundFileRecord> hits;
    hits.clear();
    host.settings.FoundCallback = [](std::uint32_t, FoundFileRecord* hit) {
        std::lock_guard lock(mutex);
        hits.push_back(*hit);
        hits.back().Name = nullptr;
    };
    host.settings.Run = 1;
    HANDLE search = realEngine().DriveSearchSignatures();
    if (search && search != kSearchRanOnCaller) {
        ASSERT_EQ(WaitForSingleObject(search, 60000), WAIT_OBJECT_0);
        CloseHandle(search);
    }
    host.settings.FoundCallback = nullptr;
    ASSERT_GE(hits.size(), 8u);
    std::int64_t serial = 0;
    for (const FoundFileRecord& hit : hits) list.Add(std::make_unique<TBaseElement>(hit, ++serial, drive));
    list.FillUnknownSizes();
    Select([](const std::string&) { return true; });

    ASSERT_TRUE(flow->DoRealRecovery(false));
    const std::string image = Read(workFolder() / "fat12-hits.img");
    int compared = 0;
    for (const TBaseElement* element : host.selected) {
        const fs::path file = target() / element->Name();
        if (element->Record().Size == kUnknownSize) continue;
        const std::uint64_t position = element->Record().DataPosition;
        ASSERT_LE(position, image.size());
        const std::string expected = image.substr(position, element->Record().Size);
        EXPECT_EQ(Read(file), expected) << element->Name();
        ++compared;
    }
    EXPECT_GE(compared, 8);
    EXPECT_EQ(host.recovered[1], compared);
}

}  // namespace
