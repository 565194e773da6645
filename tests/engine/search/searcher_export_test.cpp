// DriveSearchSignatures over a FAT image with deleted files, in callback and message mode,
// in free-space mode over the FAT reader's map, and to a window that goes away.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fstream>
#include <mutex>
#include <optional>
#include <set>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/fs/fat_fixture.h"
#include "engine/support/scoped_settings.h"
#include "engine/support/test_images.h"
#include "platform/handles.h"
#include "platform/messages.h"
#include "searcher_test_support.h"

namespace {

using namespace searchtest;

struct ExpectedHit {
    std::uint64_t position;
    unsigned type;
    std::string state;
};

std::vector<ExpectedHit> loadExpectedHits(const std::string& image = "fat12-hits") {
    std::ifstream file(test_images::dataPath("search/" + image + ".expected"));
    std::vector<ExpectedHit> hits;
    ExpectedHit hit;
    std::string name;
    while (file >> hit.position >> hit.type >> hit.state >> name) hits.push_back(hit);
    return hits;
}

class SearchExports : public ::testing::Test {
protected:
    void SetUp() override { open("fat12-hits"); }
    void open(const std::string& image) {
        engine::releaseFileReaders();
        Library_Initialize(u"\\Software\\Test");
        auto drive = std::make_unique<fattest::MemoryDrive>(test_images::gunzip("search/" + image + ".img.gz"),
                                                            kFileSystemFat12, 'E');
        drive_ = drive.get();
        settings_.DiskNumber = engine::state().drives->add(std::move(drive));
        ASSERT_GT(DriveInitialize(&settings_), 0);
    }
    void TearDown() override { engine::releaseFileReaders(); }

    test_support::ScopedSettings scopedSettings_{1};
    EngineSettings& settings_ = scopedSettings_.get();
    fattest::MemoryDrive* drive_ = nullptr;
};

TEST_F(SearchExports, FatImageHitsInCallbackAndMessageMode) {
    const std::vector<ExpectedHit> expected = loadExpectedHits();
    ASSERT_EQ(expected.size(), 8u);
    HitCollector collector(settings_);
    EXPECT_EQ(DriveSearchSignatures(), kSearchRanOnCaller);
    for (const ExpectedHit& hit : expected) {
        auto found = std::ranges::find(collector.hits, hit.position, &Hit::position);
        ASSERT_NE(found, collector.hits.end()) << hit.position;
        EXPECT_EQ(found->type, hit.type) << hit.position;
        if (hit.type == 84) {
            EXPECT_EQ(found->size, 4000u);  // the bitmap's own size
        }
    }
    ASSERT_FALSE(collector.hits.empty());
    EXPECT_EQ(collector.hits.front().position, 0u);
    EXPECT_EQ(collector.hits.front().type, 1);  // the boot sector

    // The same hits as messages, handled here until the search thread ends.
    settings_.FoundCallback = nullptr;
    SearchWindow window;
    settings_.NotifyWindow = window.handle();
    HANDLE thread = DriveSearchSignatures();
    ASSERT_NE(thread, nullptr);
    while (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) window.waitForMessage(std::chrono::milliseconds(10));
    CloseHandle(thread);
    window.drain();
    EXPECT_GE(window.progress, 2);
    EXPECT_EQ(window.hits, collector.hits);
}

TEST_F(SearchExports, FreeSpaceOnlyFindsTheDeletedFilesInReadsThatStartAndEndInFreeClusters) {
    // The FAT reader's map counts clusters from the data area, and says so.
    const FatGeometry& geometry = *engine::state().fatReader->geometry();
    const std::uint64_t dataStart = geometry.dataOffset / 512;
    EXPECT_EQ(drive_->clusterMapOrigin().firstSector, dataStart);
    EXPECT_EQ(drive_->clusterMapOrigin().firstBit, 2u);

    std::vector<std::pair<std::uint64_t, std::uint64_t>> reads;
    drive_->onRead = [&](std::uint64_t lba, std::uint64_t count) { reads.emplace_back(lba, count); };
    settings_.FreeSpaceOnly = 1;
    HitCollector collector(settings_);
    EXPECT_EQ(DriveSearchSignatures(), kSearchRanOnCaller);
    drive_->onRead = nullptr;

    std::vector<std::uint64_t> deleted;
    for (const ExpectedHit& hit : loadExpectedHits()) {
        if (hit.state == "deleted") deleted.push_back(hit.position);
    }
    EXPECT_EQ(positions(collector.hits), deleted);

    // Every read, the deleted spreadsheet's directory read included, starts and ends in
    // free clusters; used ones between them may be read, but yield no hit.
    const CBitArray& map = drive_->clusterMap();
    const std::uint64_t clusterSectors = geometry.bytesPerCluster / 512;
    auto usedAt = [&](std::uint64_t sector) { return map.GetBit(2 + (sector - dataStart) / clusterSectors); };
    ASSERT_FALSE(reads.empty());
    for (const auto& [lba, count] : reads) {
        ASSERT_GE(lba, dataStart);
        EXPECT_FALSE(usedAt(lba)) << lba;
        EXPECT_FALSE(usedAt(lba + count - 1)) << lba;
    }
}

class VideoSearch : public SearchExports {
protected:
    void SetUp() override { open("videos"); }
};

// One video per container as ffmpeg writes it, live and deleted: each is found as its
// type, and no other unit of the volume is taken for a video.
TEST_F(VideoSearch, EveryContainerIsFoundAsItsType) {
    std::vector<std::pair<std::uint64_t, unsigned>> expected;
    for (const ExpectedHit& hit : loadExpectedHits("videos")) expected.emplace_back(hit.position, hit.type);
    ASSERT_EQ(expected.size(), 5u);
    HitCollector collector(settings_);
    EXPECT_EQ(DriveSearchSignatures(), kSearchRanOnCaller);
    std::vector<std::pair<std::uint64_t, unsigned>> videos;
    for (const Hit& hit : collector.hits) {
        if (hit.type == 141 || hit.type == 170 || hit.type == 181) videos.emplace_back(hit.position, hit.type);
    }
    EXPECT_EQ(videos, expected);
}

// A window that goes away while a hit is being sent to it, without handling it.
class VanishingWindow : public platform::WindowReceiver {
public:
    bool post(const platform::Message&) override { return true; }
    std::optional<LRESULT> send(const platform::Message&) override {
        ++sends;
        platform::unregisterWindow(handle);
        return std::nullopt;
    }
    HWND handle = 0;
    std::atomic<int> sends{0};
};

TEST_F(SearchExports, AHitSentToAWindowThatWentAwayIsFreedByTheEngine) {
    auto window = std::make_shared<VanishingWindow>();
    window->handle = platform::registerWindow(window);
    settings_.NotifyWindow = window->handle;
    settings_.Run = 1;
    HANDLE search = DriveSearchSignatures();
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(WaitForSingleObject(search, 60000), WAIT_OBJECT_0);
    CloseHandle(search);
    // One hit went out and was not taken; the leak checker sees whether it was freed.
    EXPECT_EQ(window->sends, 1);
}

// The nice value of the calling thread (higher: less CPU).
int threadNice() {
    errno = 0;
    return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
}

TEST_F(SearchExports, SearchReadsAtTheLowestPriorityAndLeavesTheCallersAlone) {
    const int callerNice = threadNice();
    if (callerNice >= 19) GTEST_SKIP() << "the caller already runs at the lowest priority";
    std::mutex lock;
    std::set<pid_t> readers;
    int lowestReaderNice = 40;  // of the reading threads
    drive_->onRead = [&](std::uint64_t, std::uint64_t) {
        std::lock_guard guard(lock);
        readers.insert(gettid());
        lowestReaderNice = std::min(lowestReaderNice, threadNice());
    };
    HitCollector collector(settings_);

    EXPECT_EQ(DriveSearchSignatures(), kSearchRanOnCaller);
    EXPECT_EQ(threadNice(), callerNice);
    ASSERT_FALSE(readers.empty());
    EXPECT_EQ(readers.count(gettid()), 0u);
    EXPECT_GT(lowestReaderNice, callerNice);

    settings_.FoundCallback = nullptr;
    readers.clear();
    lowestReaderNice = 40;
    HANDLE thread = DriveSearchSignatures();
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    drive_->onRead = nullptr;
    EXPECT_GT(lowestReaderNice, callerNice);
}

TEST(SearchExportsWithoutDrive, SearchEndsAtOnce) {
    engine::releaseFileReaders();
    Library_Initialize(u"\\Software\\Test");
    ScopedSearchSettings settings;
    DriveInitialize(&settings.get());  // drive 0 does not exist
    HANDLE thread = DriveSearchSignatures();
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    engine::releaseFileReaders();
}

}  // namespace
