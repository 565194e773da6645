// Whole runs on the real engine over the fixture images: what comes back is byte for byte
// what the images hold, in the folders they were listed in.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "engine/exports.h"
#include "engine/support/test_images.h"
#include "platform/handles.h"
#include "wizard/model/base_sorted_list.h"
#include "wizard/model/formats_unit.h"
#include "wizard/model/real_engine.h"
#include "wizard/recovery/recovery_flow_fixture.h"
#include "wizard/settings/settings_store.h"

namespace fs = std::filesystem;

namespace {

// The tab-separated fields of each line of a fixture listing.
std::vector<std::vector<std::string>> Listing(const std::string& name) {
    std::vector<std::vector<std::string>> lines;
    std::ifstream file(test_images::dataPath(name));
    for (std::string line; std::getline(file, line);) {
        std::istringstream fields(line);
        lines.emplace_back();
        for (std::string field; std::getline(fields, field, '\t');) lines.back().push_back(field);
    }
    return lines;
}

std::uint64_t Fnv1a64(const std::string& data) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char byte : data) hash = (hash ^ static_cast<std::uint8_t>(byte)) * 0x100000001b3ull;
    return hash;
}

// The path below the drive, with "/": "C:\A\b.txt" gives "A/b.txt".
std::string Below(std::string path) {
    if (path.size() > 2 && path[1] == ':') path.erase(0, 3);
    if (path.starts_with('\\')) path.erase(0, 1);
    std::replace(path.begin(), path.end(), '\\', '/');
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

    // Opens volume C of the fixture image; lists its entries unless it is to be searched.
    void Open(const std::string& image, bool listEntries = true) {
        useFixtureDisks({image});
        HANDLE rescan = realEngine().DrivesRescan(0);
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
        std::int64_t serial = 0;
        while (const FoundFileRecord* record = listEntries ? realEngine().FileGetNext() : nullptr) {
            list.Add(std::make_unique<TBaseElement>(*record, ++serial, drive));
        }
    }
    // Selects the files whose path below the drive is among `wanted`.
    template <typename Map>
    void Select(const Map& wanted) {
        for (std::size_t i = 0; i < list.Count(); ++i) {
            if (!list[i].IsFolder() && wanted.contains(Below(list[i].Path() + list[i].Name()))) {
                host.selected.push_back(&list[i]);
            }
        }
        ASSERT_EQ(host.selected.size(), wanted.size());
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
    std::map<std::string, std::string> contents;  // of each file: `seq start 9999999 | head -c size`
    for (const auto& line : Listing("fat/fat32.expected")) {
        if (line[0] != "f") continue;
        std::string& text = contents[line[2]];
        for (long number = std::stol(line[4]); text.size() < std::stoull(line[3]); ++number) {
            text += std::to_string(number) + "\n";
        }
        text.resize(std::stoull(line[3]));
    }
    ASSERT_TRUE(contents.contains("A/B/_one.txt") && contents.contains("_ELETED.BIN"));  // deleted ones
    Select(contents);
    ASSERT_TRUE(flow->DoRealRecovery(true));
    EXPECT_EQ(host.recovered[0], static_cast<int>(contents.size()));
    for (const auto& [path, text] : contents) EXPECT_EQ(Read(target() / path), text) << path;
}

TEST_F(RealRecoveryTest, NtfsFilesComeBackWholeAndRerunsOverwriteThem) {
    Open("ntfs/ntfs-basic.img.gz");
    std::map<std::string, std::uint64_t> hashes;
    for (const auto& line : Listing("ntfs/ntfs-basic.listing")) {
        if (line[4] != "-") hashes[Below(line[5])] = std::stoull(line[4], nullptr, 16);
    }
    ASSERT_TRUE(hashes.contains("lost_folder_76/orphan.txt") && hashes.contains("olddir/child.txt"));
    Select(hashes);
    for (const bool rerun : {false, true}) {
        Settings().ConfirmationsFileOverwrite = !rerun;
        ASSERT_TRUE(flow->DoRealRecovery(true));
        for (const auto& [path, hash] : hashes) EXPECT_EQ(Fnv1a64(Read(target() / path)), hash) << path;
    }
    EXPECT_EQ(host.recovered[0], 2 * static_cast<int>(hashes.size()));
    EXPECT_FALSE(fs::exists(target() / "hello_1.txt"));
}

TEST_F(RealRecoveryTest, CarvedFilesAreTheBytesFromTheirHitOn) {
    Open("search/fat12-hits.img.gz", false);
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
    ASSERT_GE(hits.size(), 8u);
    std::int64_t serial = 0;
    for (const FoundFileRecord& hit : hits) list.Add(std::make_unique<TBaseElement>(hit, ++serial, drive));
    list.FillUnknownSizes();
    for (std::size_t i = 0; i < list.Count(); ++i) host.selected.push_back(&list[i]);

    ASSERT_TRUE(flow->DoRealRecovery(false));
    const std::string image = Read(workFolder() / "fat12-hits.img");
    for (const TBaseElement* element : host.selected) {
        const std::uint64_t size = element->Record().Size;
        ASSERT_NE(size, kUnknownSize);
        EXPECT_EQ(Read(target() / element->Name()), image.substr(element->Record().DataPosition, size))
            << element->Name();
    }
    EXPECT_EQ(host.recovered[1], static_cast<int>(host.selected.size()));
}

}  // namespace
