// DriveSearchSignatures through the exports: a raw image and a FAT image with deleted
// files, in callback and message mode, and free-space mode over the FAT reader's map.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/support/test_images.h"
#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/fs/fat_fixture.h"
#include "engine/messages.h"
#include "platform/handles.h"
#include "platform/local_heap.h"
#include "platform/messages.h"
#include "searcher_test_support.h"

namespace {

using namespace searchtest;

struct ExpectedHit {
    std::uint64_t position;
    std::uint16_t type;
    bool deleted;
};

std::vector<ExpectedHit> loadExpectedHits() {
    std::ifstream file(test_images::dataPath("search/fat12-hits.expected"));
    std::vector<ExpectedHit> hits;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::uint64_t position = 0;
        unsigned type = 0;
        std::string state;
        fields >> position >> type >> state;
        hits.push_back({position, static_cast<std::uint16_t>(type), state == "deleted"});
    }
    return hits;
}

std::vector<std::uint8_t> loadFatImage() { return test_images::gunzip("search/fat12-hits.img.gz"); }

const Hit* find(const std::vector<Hit>& hits, std::uint64_t position) {
    for (const Hit& hit : hits) {
        if (hit.position == position) return &hit;
    }
    return nullptr;
}

class SearchExports : public ::testing::Test {
protected:
    void SetUp() override {
        engine::releaseFileReaders();
        Library_Initialize(u"\\Software\\Test");
        std::memset(&settings_, 0, sizeof settings_);
        settings_.ReadRetries = 1;
    }
    void TearDown() override { engine::releaseFileReaders(); }

    fattest::MemoryDrive* addFatDrive() {
        auto drive = std::make_unique<fattest::MemoryDrive>(loadFatImage(), kFileSystemFat12, 'E');
        fattest::MemoryDrive* raw = drive.get();
        settings_.DiskNumber = engine::state().drives->add(std::move(drive));
        return raw;
    }

    // A search whose hits come as messages, handled here until its thread ends.
    std::vector<Hit> searchWithMessages() {
        std::vector<Hit> hits;
        int progress = 0;
        platform::QueueWindow window([&](const platform::Message& message) -> LRESULT {
            if (message.message == WM_ENGINE_FILE_FOUND) {
                auto* record = reinterpret_cast<FoundFileRecord*>(message.lParam);
                hits.push_back(hitOf(*record));
                LocalFree(record);
            } else if (message.message == WM_ENGINE_SEARCH_PROGRESS) {
                ++progress;
            }
            return 0;
        });
        settings_.NotifyWindow = window.handle();
        HANDLE thread = DriveSearchSignatures();
        EXPECT_NE(thread, nullptr);
        if (!thread) return hits;
        while (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) window.dispatchOne(std::chrono::milliseconds(10));
        CloseHandle(thread);
        window.dispatchPending();
        EXPECT_GE(progress, 2);
        settings_.NotifyWindow = 0;
        return hits;
    }

    EngineSettings settings_{};
};

TEST_F(SearchExports, FatImageHitsInCallbackAndMessageMode) {
    addFatDrive();
    ASSERT_GT(DriveInitialize(&settings_), 0);
    const std::vector<ExpectedHit> expected = loadExpectedHits();
    ASSERT_EQ(expected.size(), 8u);

    HitCollector collector(settings_);
    EXPECT_EQ(DriveSearchSignatures(), kSearchRanOnCaller);
    for (const ExpectedHit& hit : expected) {
        const Hit* found = find(collector.hits, hit.position);
        ASSERT_NE(found, nullptr) << hit.position;
        EXPECT_EQ(found->type, hit.type) << hit.position;
    }
    EXPECT_EQ(find(collector.hits, expected[5].position)->size, 4000u);  // the bitmap's own size
    EXPECT_EQ(find(collector.hits, 0)->type, 1);                         // the boot sector

    settings_.FoundCallback = nullptr;
    EXPECT_EQ(searchWithMessages(), collector.hits);
}

TEST_F(SearchExports, FreeSpaceOnlyFindsTheDeletedFilesAndReadsNoUsedCluster) {
    fattest::MemoryDrive* drive = addFatDrive();
    ASSERT_GT(DriveInitialize(&settings_), 0);
    // The FAT reader's map counts clusters from the data area, and says so.
    const FatGeometry& geometry = *engine::state().fatReader->geometry();
    EXPECT_EQ(drive->clusterMapOrigin().firstSector, geometry.dataOffset / 512);
    EXPECT_EQ(drive->clusterMapOrigin().firstBit, 2u);

    std::vector<std::pair<std::uint64_t, std::uint64_t>> reads;
    drive->onRead = [&](std::uint64_t lba, std::uint64_t count) { reads.emplace_back(lba, count); };
    settings_.FreeSpaceOnly = 1;
    HitCollector collector(settings_);
    EXPECT_EQ(DriveSearchSignatures(), kSearchRanOnCaller);
    drive->onRead = nullptr;

    std::vector<std::uint64_t> deleted;
    for (const ExpectedHit& hit : loadExpectedHits()) {
        if (hit.deleted) deleted.push_back(hit.position);
    }
    std::vector<std::uint64_t> found;
    for (const Hit& hit : collector.hits) found.push_back(hit.position);
    EXPECT_EQ(found, deleted);

    const CBitArray& map = drive->clusterMap();
    const std::uint64_t dataStart = geometry.dataOffset / 512;
    const std::uint64_t clusterSectors = geometry.bytesPerCluster / 512;
    // Every read, the deleted spreadsheet's directory read included, lies in free clusters.
    ASSERT_FALSE(reads.empty());
    for (const auto& [lba, count] : reads) {
        for (std::uint64_t sector = lba; sector < lba + count; ++sector) {
            ASSERT_GE(sector, dataStart);
            EXPECT_FALSE(map.GetBit(2 + (sector - dataStart) / clusterSectors)) << sector;
        }
    }
}

TEST_F(SearchExports, RawImageThroughTheExports) {
    std::vector<std::uint8_t> image(4096 * kSector, 0);
    put(image, 100 * kSector, "%PDF-1.4");
    put(image, 4095 * kSector, std::string("\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR", 16));
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(std::move(image));
    auto drive = std::make_unique<CDrive>();
    drive->SetSource({kDriveImage, "memory", 0, bytes->size()});
    drive->SetDeviceOpener(platform::memoryOpener(bytes));
    settings_.DiskNumber = engine::state().drives->add(std::move(drive));
    ASSERT_GT(DriveInitialize(&settings_), 0);

    HitCollector collector(settings_);
    EXPECT_EQ(DriveSearchSignatures(), kSearchRanOnCaller);
    ASSERT_EQ(collector.hits.size(), 2u);
    EXPECT_EQ(collector.hits[0].position, 100 * kSector);
    EXPECT_EQ(collector.hits[0].type, 47);
    EXPECT_EQ(collector.hits[1].position, 4095 * kSector);
    EXPECT_EQ(collector.hits[1].type, 88);
    EXPECT_EQ(+settings_.BufferSize, 0x200000u);
}

TEST_F(SearchExports, WithoutCurrentDriveTheSearchEndsAtOnce) {
    DriveInitialize(&settings_);  // drive 0 does not exist
    HANDLE thread = DriveSearchSignatures();
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
}

}  // namespace
