// The search end to end over drives in memory: where hits are found, what their records
// hold, how blocks advance, progress, stopping, and bad blocks.

#include "engine/search/searcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/messages.h"
#include "platform/local_heap.h"
#include "platform/messages.h"
#include "searcher_test_support.h"

namespace {

using namespace searchtest;

const std::string kPdf = "%PDF-1.5";
const std::string kQuickTime = "moov";
const std::string kZip = std::string("PK\x03\x04", 4);

std::vector<std::uint64_t> positions(const std::vector<Hit>& hits) {
    std::vector<std::uint64_t> out;
    for (const Hit& hit : hits) out.push_back(hit.position);
    return out;
}

// Collects what a message-mode search sends and posts, freeing every record.
class SearchWindow {
public:
    SearchWindow()
        : window_([this](const platform::Message& message) -> LRESULT {
              if (message.message == WM_ENGINE_FILE_FOUND) {
                  auto* record = reinterpret_cast<FoundFileRecord*>(message.lParam);
                  hits.push_back(hitOf(*record));
                  LocalFree(record);
              } else if (message.message == WM_ENGINE_SEARCH_PROGRESS) {
                  ++progress;
              }
              return 0;
          }) {}
    HWND handle() const { return window_.handle(); }
    void drain() { window_.dispatchPending(); }

    std::vector<Hit> hits;
    int progress = 0;

private:
    platform::QueueWindow window_;
};

// Runs a message-mode search on its own thread while this thread handles the messages.
void searchWithMessages(CDrive& drive, EngineSettings& settings, SearchWindow& window) {
    settings.NotifyWindow = window.handle();
    std::atomic<bool> finished{false};
    std::thread search([&] {
        CSearcher(drive, settings, builtinTypes()).Search();
        finished = true;
    });
    while (!finished) window.drain();
    search.join();
    window.drain();
}

TEST(Search, FindsHitsAtBlockEdgesAndTheLastSector) {
    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    settings.BufferSize = 64 * 1024;  // 128 sectors a block
    std::vector<std::uint8_t> image(300 * kSector, 0);
    const std::vector<std::uint64_t> where = {0, 127 * kSector, 128 * kSector, 299 * kSector};
    for (std::uint64_t at : where) put(image, at, kPdf);
    MemoryImageDrive memory(std::move(image));
    HitCollector collector(settings);
    CSearcher(memory.drive, settings, builtinTypes()).Search();

    EXPECT_EQ(positions(collector.hits), where);
    EXPECT_EQ(collector.context, 7u);
    for (const Hit& hit : collector.hits) {
        EXPECT_EQ(hit.type, 47);
        EXPECT_EQ(hit.size, kUnknownSize);
        EXPECT_EQ(hit.flags, kFileDeleted | kFileFoundBySignature);
        EXPECT_EQ(hit.firstCluster, hit.position / kSector);
    }
    EXPECT_EQ(+settings.TotalClusters, 300u);
    EXPECT_EQ(+settings.CurrentCluster, 300u);
    EXPECT_EQ(+settings.ReaderThreads, 1);
    EXPECT_EQ(+settings.UnitMode, 1);
    EXPECT_EQ(+settings.Run, 1);
}

TEST(Search, BlocksOfAnyBufferSizeReadEverySectorOnce) {
    // Clusters of 8 sectors; buffers below a cluster and not a multiple of one.
    for (std::uint32_t bufferSize : {1000u, 4096u, 5000u, 2048000u}) {
        ScopedSearchSettings scoped;
        EngineSettings& settings = scoped.get();
        settings.BufferSize = bufferSize;
        std::vector<std::uint8_t> image(801 * kSector, 0);
        std::vector<std::uint64_t> where;
        for (std::uint64_t s = 3; s < 801; s += 37) {
            put(image, s * kSector, kZip);
            where.push_back(s * kSector);
        }
        MemoryImageDrive memory(std::move(image), 8);
        HitCollector collector(settings);
        CSearcher(memory.drive, settings, builtinTypes()).Search();
        EXPECT_EQ(positions(collector.hits), where) << bufferSize;

        std::uint64_t next = 0;
        for (const platform::FaultPlan::ReadCall& read : memory.plan->reads()) {
            EXPECT_EQ(read.offset, next) << bufferSize;
            next = read.offset + read.bytes;
        }
        EXPECT_EQ(next, 801 * kSector) << bufferSize;
        EXPECT_EQ(+settings.TotalClusters, 101u);  // a last partial cluster counts
        EXPECT_EQ(+settings.CurrentCluster, 801u / 8);
    }
}

TEST(Search, BufferSizeZeroBecomesTwoMegabytes) {
    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    MemoryImageDrive memory(std::vector<std::uint8_t>(16 * kSector, 0));
    HitCollector collector(settings);
    CSearcher(memory.drive, settings, builtinTypes()).Search();
    EXPECT_EQ(+settings.BufferSize, 0x200000u);
}

TEST(Search, SizeFixUpsFromHeaders) {
    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    std::vector<std::uint8_t> image(8 * kSector, 0);
    put(image, 0, std::string("\x42\x4D\x36\x00\x0C\x00\x00\x00\x00\x00", 10));
    put(image, kSector, std::string("RIFF\x00\x00\x10\x00" "AVI LIST", 16));
    MemoryImageDrive memory(std::move(image));
    HitCollector collector(settings);
    CSearcher(memory.drive, settings, builtinTypes()).Search();
    ASSERT_EQ(collector.hits.size(), 2u);
    EXPECT_EQ(collector.hits[0].type, 84);
    EXPECT_EQ(collector.hits[0].size, 0x000C0036u);
    EXPECT_EQ(collector.hits[1].type, 130);
    EXPECT_EQ(collector.hits[1].size, 0x00100800u);
}

TEST(Search, MessagesCarryTheSameHitsAsTheCallbackButOneQuickTimeOfARun) {
    std::vector<std::uint8_t> image(64 * kSector, 0);
    for (std::uint64_t s : {2u, 3u, 9u}) put(image, s * kSector, kQuickTime);
    put(image, 5 * kSector, kPdf);
    put(image, 63 * kSector, kZip);

    ScopedSearchSettings callbackSettings;
    MemoryImageDrive callbackDrive(image);
    HitCollector collector(callbackSettings.get());
    CSearcher(callbackDrive.drive, callbackSettings.get(), builtinTypes()).Search();
    EXPECT_EQ(positions(collector.hits),
              (std::vector<std::uint64_t>{2 * kSector, 3 * kSector, 5 * kSector, 9 * kSector, 63 * kSector}));

    ScopedSearchSettings messageSettings;
    messageSettings.get().BufferSize = 16 * kSector;
    MemoryImageDrive messageDrive(image);
    SearchWindow window;
    searchWithMessages(messageDrive.drive, messageSettings.get(), window);
    std::vector<Hit> expected = collector.hits;
    expected.erase(expected.begin() + 1);  // the QuickTime hit right after another
    EXPECT_EQ(window.hits, expected);
    EXPECT_EQ(window.progress, 4 + 1);  // one per block, one at the end
}

TEST(Search, WithoutReceiverNothingIsAllocatedOrLost) {
    ScopedSearchSettings scoped;
    std::vector<std::uint8_t> image(32 * kSector, 0);
    put(image, 4 * kSector, kPdf);
    MemoryImageDrive memory(std::move(image));
    // No window and no callback: the search runs to the end (the sanitizer sees leaks).
    CSearcher(memory.drive, scoped.get(), builtinTypes()).Search();
    EXPECT_EQ(+scoped.get().CurrentCluster, 32u);
}

TEST(Search, StopFromTheCallbackEndsWithOneFinalProgress) {
    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    settings.BufferSize = 8 * kSector;
    std::vector<std::uint8_t> image(400 * kSector, 0);
    for (std::uint64_t s = 0; s < 400; s += 4) put(image, s * kSector, kPdf);
    MemoryImageDrive memory(std::move(image));
    SearchWindow window;
    settings.NotifyWindow = window.handle();
    HitCollector collector(settings);
    collector.stopAfter = 3;
    CSearcher(memory.drive, settings, builtinTypes()).Search();
    window.drain();

    EXPECT_EQ(collector.hits.size(), 3u);
    EXPECT_EQ(+settings.Run, 0);
    const std::size_t blocksRead = memory.plan->reads().size();
    EXPECT_LE(blocksRead, 3u);  // the block parsed, and at most the two read ahead
    // A progress message per block handed over, and exactly one after the stop.
    EXPECT_GE(window.progress, 2);
    EXPECT_LE(static_cast<std::size_t>(window.progress), blocksRead + 1);
}

TEST(Search, CurrentClusterAdvancesPerBlock) {
    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    settings.BufferSize = 0x200000;
    // 1000 clusters of 4096 bytes: blocks start at clusters 0 and 512.
    MemoryImageDrive memory(std::vector<std::uint8_t>(1000 * 4096, 0), 8);
    std::vector<std::uint64_t> seen;
    SearchWindow window;
    settings.NotifyWindow = window.handle();
    HitCollector collector(settings);
    CSearcher(memory.drive, settings, builtinTypes()).Search();
    const auto reads = memory.plan->reads();
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[0].offset, 0u);
    EXPECT_EQ(reads[1].offset, 512u * 4096);
    EXPECT_EQ(+settings.CurrentCluster, 1000u);
    EXPECT_EQ(+settings.TotalClusters, 1000u);
}

TEST(Search, BadBlockIsSkippedAndTheRestFound) {
    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    settings.BufferSize = 16 * kSector;
    std::vector<std::uint8_t> image(64 * kSector, 0);
    for (std::uint64_t s : {1u, 17u, 20u, 40u}) put(image, s * kSector, kPdf);
    MemoryImageDrive memory(std::move(image));
    // Sectors 16..31 never read; sector 20 is fine on its own... but lies in the bad run.
    memory.plan->failReads(16 * kSector, 32 * kSector, EIO, -1);
    HitCollector collector(settings);
    CSearcher(memory.drive, settings, builtinTypes()).Search();
    EXPECT_EQ(positions(collector.hits), (std::vector<std::uint64_t>{1 * kSector, 40 * kSector}));
    EXPECT_EQ(+settings.CurrentCluster, 64u);
}

TEST(Search, BadSectorsInsideABlockAreRetriedOneByOne) {
    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    settings.BufferSize = 16 * kSector;
    std::vector<std::uint8_t> image(32 * kSector, 0);
    for (std::uint64_t s : {2u, 5u, 9u}) put(image, s * kSector, kPdf);
    MemoryImageDrive memory(std::move(image));
    memory.plan->failReads(5 * kSector, 6 * kSector, EIO, -1);
    HitCollector collector(settings);
    CSearcher(memory.drive, settings, builtinTypes()).Search();
    EXPECT_EQ(positions(collector.hits), (std::vector<std::uint64_t>{2 * kSector, 9 * kSector}));
}

TEST(Search, FreeSpaceOnlyReadsFreeClustersThroughTheMapOrigin) {
    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    settings.FreeSpaceOnly = 1;
    settings.BufferSize = 8 * 2048;
    // Clusters of 4 sectors; the map's cluster 2 starts at sector 39, as on FAT.
    std::vector<std::uint8_t> image(1024 * kSector, 0);
    MemoryImageDrive memory(std::move(image), 4);
    std::vector<std::uint8_t>& bytes = *memory.image;
    const std::uint64_t dataStart = 39;
    auto clusterSector = [&](std::uint64_t cluster) { return dataStart + (cluster - 2) * 4; };
    CBitArray& map = memory.drive.clusterMap();
    ASSERT_TRUE(map.Init(200, false));
    for (std::uint64_t c = 0; c < 200; ++c) map.SetBit(c, c < 2 || (c >= 10 && c < 20) || c == 50);
    memory.drive.SetClusterMapOrigin({dataStart, 2});
    put(bytes, clusterSector(9) * kSector + 3 * kSector, kPdf);   // free, last sector of a cluster
    put(bytes, clusterSector(12) * kSector, kPdf);                // used
    put(bytes, clusterSector(20) * kSector, kPdf);                // free, right after used ones
    put(bytes, clusterSector(50) * kSector, kPdf);                // used
    put(bytes, 0, kPdf);                                          // before the data area
    put(bytes, 1023 * kSector, kPdf);                             // past the map: free
    HitCollector collector(settings);
    CSearcher(memory.drive, settings, builtinTypes()).Search();

    EXPECT_EQ(positions(collector.hits),
              (std::vector<std::uint64_t>{(clusterSector(9) + 3) * kSector, clusterSector(20) * kSector,
                                          1023 * kSector}));
    for (const platform::FaultPlan::ReadCall& read : memory.plan->reads()) {
        const std::uint64_t first = read.offset / kSector;
        const std::uint64_t last = (read.offset + read.bytes) / kSector;
        EXPECT_GE(first, dataStart);
        for (std::uint64_t c : {10u, 19u, 50u}) {
            EXPECT_TRUE(last <= clusterSector(c) || first >= clusterSector(c) + 4) << read.offset;
        }
    }
    // Clusters 2..248 lie on the drive (the last one partly); 11 of them are used.
    EXPECT_EQ(+settings.FreeClusters, 247u - 11u);
}

TEST(Search, FreeSpaceOnlyWithMapInUseUpToCluster99StartsAt100) {
    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    settings.FreeSpaceOnly = 1;
    MemoryImageDrive memory(std::vector<std::uint8_t>(300 * kSector, 0));
    CBitArray& map = memory.drive.clusterMap();
    ASSERT_TRUE(map.Init(300, false));
    for (std::uint64_t c = 0; c < 100; ++c) map.SetBit(c, true);
    HitCollector collector(settings);
    CSearcher(memory.drive, settings, builtinTypes()).Search();
    ASSERT_FALSE(memory.plan->reads().empty());
    EXPECT_EQ(memory.plan->reads().front().offset, 100 * kSector);
    EXPECT_EQ(+settings.FreeClusters, 200u);
}

TEST(Search, FreeSpaceOnlyWithEveryClusterUsedReadsNothing) {
    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    settings.FreeSpaceOnly = 1;
    MemoryImageDrive memory(std::vector<std::uint8_t>(64 * kSector, 0));
    ASSERT_TRUE(memory.drive.clusterMap().Init(64, true));
    HitCollector collector(settings);
    CSearcher(memory.drive, settings, builtinTypes()).Search();
    EXPECT_TRUE(memory.plan->reads().empty());
    EXPECT_EQ(+settings.FreeClusters, 0u);
}

TEST(Search, EmptyDriveEndsAtOnceWithOneProgress) {
    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    MemoryImageDrive memory({});
    SearchWindow window;
    settings.NotifyWindow = window.handle();
    CSearcher(memory.drive, settings, builtinTypes()).Search();
    window.drain();
    EXPECT_EQ(window.progress, 1);
    EXPECT_TRUE(memory.plan->reads().empty());
}

}  // namespace
