// The search over drives in memory and a sparse file past 4 GiB: where hits are found,
// what their records hold, how blocks advance, progress, stopping, bad blocks and
// free-space mode.

#include "engine/search/searcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "engine/disk/bit_array.h"
#include "engine/disk/disk_test_support.h"
#include "engine/search/compound_file.h"
#include "engine/search/searcher_worker.h"

#include "searcher_test_support.h"

namespace {

using namespace searchtest;
using Positions = std::vector<std::uint64_t>;

const std::string kPdf = "%PDF-1.5";
const std::string kZip = std::string("PK\x03\x04", 4);

// One callback search over a drive in memory; tests adjust settings and drive first.
struct SearchRun {
    explicit SearchRun(std::vector<std::uint8_t> image, std::uint32_t sectorsPerCluster = 1)
        : memory(std::move(image), sectorsPerCluster) {}
    Positions search() {
        CSearcher(memory.drive, settings, builtinTypes()).Search();
        return positions(collector.hits);
    }
    // Sends the hits to `window` from a search thread while this thread handles them.
    void searchWithMessages(SearchWindow& window) {
        settings.FoundCallback = nullptr;
        settings.NotifyWindow = window.handle();
        std::atomic<bool> finished{false};
        std::thread searching([&] {
            search();
            finished = true;
        });
        while (!finished) window.drain();
        searching.join();
        window.drain();
    }

    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    HitCollector collector{settings};
    MemoryImageDrive memory;
};

std::vector<std::uint8_t> imageWith(std::uint64_t sectors, const std::string& header, const Positions& atSectors) {
    std::vector<std::uint8_t> image(sectors * kSector, 0);
    for (std::uint64_t sector : atSectors) put(image, sector * kSector, header);
    return image;
}

Positions bytes(Positions sectors) {
    for (std::uint64_t& sector : sectors) sector *= kSector;
    return sectors;
}

TEST(Search, FindsHitsAtBlockEdgesAndTheLastSector) {
    SearchRun run(imageWith(300, kPdf, {0, 127, 128, 299}));
    run.settings.BufferSize = 128 * kSector;
    EXPECT_EQ(run.search(), bytes({0, 127, 128, 299}));
    EXPECT_EQ(run.collector.context, 7u);
    for (const Hit& hit : run.collector.hits) {
        EXPECT_EQ(hit.type, 47);
        EXPECT_EQ(hit.size, kUnknownSize);
        EXPECT_EQ(hit.flags, kFileDeleted | kFileFoundBySignature);
        EXPECT_EQ(hit.firstCluster, hit.position / kSector);
    }
    EXPECT_EQ(+run.settings.CurrentCluster, 300u);
}

TEST(Search, AnyBufferSizeReadsEverySectorOnce) {
    Positions where;
    for (std::uint64_t s = 3; s < 801; s += 37) where.push_back(s);
    // Clusters of 8 sectors; buffers below a cluster and not a multiple of one; 0 is the default.
    for (std::uint32_t bufferSize : {0u, 1000u, 4096u, 5000u, 2048000u}) {
        SearchRun run(imageWith(801, kZip, where), 8);
        run.settings.BufferSize = bufferSize;
        EXPECT_EQ(run.search(), bytes(where)) << bufferSize;
        std::uint64_t next = 0;
        for (const platform::FaultPlan::ReadCall& read : run.memory.plan->reads()) {
            EXPECT_EQ(read.offset, next) << bufferSize;
            next = read.offset + read.bytes;
        }
        EXPECT_EQ(next, 801 * kSector) << bufferSize;
        EXPECT_EQ(+run.settings.TotalClusters, 101u) << bufferSize;  // a last partial cluster counts
        EXPECT_EQ(+run.settings.CurrentCluster, 801u / 8) << bufferSize;
    }
}

TEST(Search, SizeFixUpsFromHeaders) {
    std::vector<std::uint8_t> image(8 * kSector, 0);
    put(image, 0, std::string("\x42\x4D\x36\x00\x0C\x00\x00\x00\x00\x00", 10));
    put(image, kSector, std::string("RIFF\x00\x00\x10\x00" "AVI LIST", 16));
    SearchRun run(std::move(image));
    run.search();
    ASSERT_EQ(run.collector.hits.size(), 2u);
    EXPECT_EQ(run.collector.hits[0].type, 84);
    EXPECT_EQ(run.collector.hits[0].size, 0x000C0036u);
    EXPECT_EQ(run.collector.hits[1].type, 130);
    EXPECT_EQ(run.collector.hits[1].size, 0x00100800u);
}

// The window gets what the callback gets, but the atoms that follow a movie's start or
// another atom of it: one hit per movie, however near or far the next movie starts.
TEST(Search, MessagesCarryTheCallbackHitsButTheAtomsInsideAMovie) {
    const std::string movie = std::string("\0\0\0\x14" "ftypqt  \0\0\x02\0qt  ", 20);
    struct Case {
        const char* name;
        std::uint64_t sectors;
        std::vector<std::pair<std::uint64_t, std::string>> units;  // sector, first bytes
        Positions notSent;                                        // sectors
    };
    const Case cases[] = {
        {"atoms alone", 64, {{2, "moov"}, {3, "moov"}, {5, kPdf}, {9, "moov"}, {63, kZip}}, {3}},
        {"movies side by side", 64, {{2, movie}, {3, movie}, {4, "mdat"}, {5, "moov"}, {6, movie}, {9, kPdf}}, {4, 5}},
        {"a movie after atoms", 64, {{1, "wide"}, {2, "mdat"}, {3, movie}, {40, "free"}}, {2, 40}},
        {"movies far apart", 6144,
         {{0, movie}, {1, "wide"}, {2, "mdat"}, {2047, "moov"}, {2048, movie}, {4000, "mdat"}, {6143, movie}},
         {1, 2, 2047, 4000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> image(c.sectors * kSector, 0);
        for (const auto& [sector, bytes] : c.units) put(image, sector * kSector, bytes);
        SearchRun callback(image);
        callback.settings.BufferSize = 16 * kSector;
        Positions all;
        for (const auto& unit : c.units) all.push_back(unit.first);
        ASSERT_EQ(callback.search(), bytes(all));

        SearchRun messages(image);
        messages.settings.BufferSize = 16 * kSector;
        SearchWindow window;
        messages.searchWithMessages(window);
        std::vector<Hit> expected;
        for (const Hit& hit : callback.collector.hits) {
            if (std::ranges::find(c.notSent, hit.position / kSector) == c.notSent.end()) expected.push_back(hit);
        }
        EXPECT_EQ(window.hits, expected);
        EXPECT_EQ(window.progress, static_cast<int>(c.sectors / 16) + 1);  // one per block, one at the end
    }
}

TEST(Search, WithoutReceiverNothingIsAllocatedOrLost) {
    SearchRun run(imageWith(32, kPdf, {4}));
    run.settings.FoundCallback = nullptr;
    run.search();  // the sanitizer sees leaks
    EXPECT_EQ(+run.settings.CurrentCluster, 32u);
}

TEST(Search, StopFromTheCallbackEndsWithOneFinalProgress) {
    Positions every4th;
    for (std::uint64_t s = 0; s < 400; s += 4) every4th.push_back(s);
    SearchRun run(imageWith(400, kPdf, every4th));
    run.settings.BufferSize = 8 * kSector;
    SearchWindow window;
    run.settings.NotifyWindow = window.handle();
    run.collector.stopAfter = 3;
    run.search();
    window.drain();

    EXPECT_EQ(run.collector.hits.size(), 3u);
    EXPECT_EQ(+run.settings.Run, 0);
    const std::size_t blocksRead = run.memory.plan->reads().size();
    // The blocks parsed, and at most the other buffers read ahead.
    EXPECT_LE(blocksRead, 2 + CSearchWorker::kSlots - 1);
    EXPECT_GE(window.progress, 2);
    EXPECT_LE(static_cast<std::size_t>(window.progress), blocksRead + 1);
}

// Blocks of 16 sectors; a failing block is read whole once, then sector by sector with
// the attempts spent on the sectors that fail, each run of them reported once.
TEST(Search, UnreadableSectorsAreSkippedAndTheRestFound) {
    struct Case {
        const char* name;
        std::uint64_t sectors;
        Positions headers;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> bad;  // sector ranges
        Positions found;
        std::int32_t retries;
        std::size_t failedReads, reports;  // failed reads: at most
    };
    const Case cases[] = {
        {"bad block", 64, {1, 17, 20, 40}, {{16, 32}}, {1, 40}, 1, 10, 1},
        {"bad sector retried alone", 32, {2, 5, 9}, {{5, 6}}, {2, 9}, 1, 1 + 1, 1},
        {"a bad sector in every block", 64, {2, 20, 40}, {{5, 6}, {21, 22}, {37, 38}, {53, 54}}, {2, 20, 40}, 10,
         4 * (1 + 10), 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SearchRun run(imageWith(c.sectors, kPdf, c.headers));
        disktest::ReportWindow window;
        run.settings.NotifyWindow = window.handle();
        run.settings.ReadRetries = c.retries;
        run.settings.BufferSize = 16 * kSector;
        for (const auto& [from, to] : c.bad) run.memory.plan->failReads(from * kSector, to * kSector, EIO, -1);
        EXPECT_EQ(run.search(), bytes(c.found));
        EXPECT_EQ(+run.settings.CurrentCluster, c.sectors);
        EXPECT_LE(run.memory.plan->failedReads(), c.failedReads);
        EXPECT_EQ(window.reports().size(), c.reports);
        std::uint64_t read = 0;
        for (const platform::FaultPlan::ReadCall& call : run.memory.plan->reads()) read += call.bytes;
        EXPECT_LE(read, 3 * c.sectors * kSector);
    }
}

TEST(Search, FreeSpaceOnlyReadsWholeBuffersButMatchesOnlyFreeClusters) {
    // Clusters of 4 sectors; the map's cluster 2 starts at sector 39, as on FAT. Buffers
    // of 8 clusters.
    const std::uint64_t dataStart = 39;
    auto clusterSector = [&](std::uint64_t cluster) { return dataStart + (cluster - 2) * 4; };
    const std::set<std::uint64_t> used = {0, 1, 5, 6, 12, 50};
    auto isUsed = [&](std::uint64_t cluster) { return used.count(cluster) || (cluster >= 16 && cluster <= 40); };
    // Free clusters 3, 8, 13 and 41, and sector 1023, past the map; the rest is used or
    // lies before the map.
    const Positions free = {clusterSector(3) + 1, clusterSector(8), clusterSector(13) + 3, clusterSector(41), 1023};
    Positions all = {0, clusterSector(5), clusterSector(16), clusterSector(50)};
    all.insert(all.end(), free.begin(), free.end());
    std::sort(all.begin(), all.end());
    SearchRun run(imageWith(1024, kPdf, all), 4);
    run.settings.FreeSpaceOnly = 1;
    run.settings.BufferSize = 8 * 2048;
    CBitArray& map = run.memory.drive.clusterMap();
    ASSERT_TRUE(map.Init(200, false));
    for (std::uint64_t c = 0; c < 200; ++c) map.SetBit(c, isUsed(c));
    run.memory.drive.SetClusterMapOrigin({dataStart, 2});
    SearchWindow window;
    run.settings.NotifyWindow = window.handle();

    EXPECT_EQ(run.search(), bytes(free));
    window.drain();
    const auto reads = run.memory.plan->reads();
    ASSERT_GE(reads.size(), 3u);
    // Used clusters 5, 6 and 12 are read between free ones; 16 to 40, at a block's end, not.
    EXPECT_EQ(reads[0].offset, clusterSector(2) * kSector);
    EXPECT_EQ(reads[0].bytes, 8 * 2048u);
    EXPECT_EQ(reads[1].offset, clusterSector(10) * kSector);
    EXPECT_EQ(reads[1].bytes, 6 * 2048u);
    EXPECT_EQ(reads[2].offset, clusterSector(41) * kSector);
    for (const platform::FaultPlan::ReadCall& read : reads) {
        const std::uint64_t first = read.offset / kSector;
        const std::uint64_t end = (read.offset + read.bytes) / kSector;
        EXPECT_LE(read.bytes, 8 * 2048u);
        EXPECT_FALSE(isUsed(2 + (first - dataStart) / 4)) << first;
        EXPECT_TRUE(end == 1024 || !isUsed(2 + (end - 1 - dataStart) / 4)) << end;
    }
    EXPECT_EQ(window.progress, static_cast<int>(reads.size()) + 1);  // one per block, one at the end
    EXPECT_EQ(+run.settings.CurrentCluster, 1024u / 4);
}

TEST(Search, FreeClustersComeFromTheMapInBothModes) {
    struct Case {
        const char* name;
        int usedFrom, usedTo;  // no map when equal
        std::int32_t freeSpaceOnly;
        std::uint64_t freeClusters;
        std::uint64_t bytesRead;
    };
    const Case cases[] = {
        {"whole drive with a map", 10, 20, 0, 54, 64 * kSector},
        {"free space", 10, 20, 1, 54, 54 * kSector},
        {"free space, every cluster used", 0, 64, 1, 0, 0},
        {"whole drive without a map", 0, 0, 0, 64, 64 * kSector},
        {"free space without a map", 0, 0, 1, 64, 64 * kSector},
    };
    for (const Case& c : cases) {
        SearchRun run(std::vector<std::uint8_t>(64 * kSector, 0));
        run.settings.FreeSpaceOnly = c.freeSpaceOnly;
        run.settings.BufferSize = 8 * kSector;
        if (c.usedFrom != c.usedTo) {
            ASSERT_TRUE(run.memory.drive.clusterMap().Init(64, false));
            for (int cluster = c.usedFrom; cluster < c.usedTo; ++cluster) run.memory.drive.clusterMap().SetBit(cluster, true);
        }
        run.search();
        EXPECT_EQ(+run.settings.FreeClusters, c.freeClusters) << c.name;
        std::uint64_t read = 0;
        for (const platform::FaultPlan::ReadCall& call : run.memory.plan->reads()) read += call.bytes;
        EXPECT_EQ(read, c.bytesRead) << c.name;
    }
}

TEST(Search, EachBlocksProgressFollowsItsHits) {
    // Blocks of 16 sectors, two hits in each.
    const Positions where = {1, 9, 17, 25, 33, 41, 49, 57};
    SearchRun callback(imageWith(64, kPdf, where));
    callback.settings.BufferSize = 16 * kSector;
    EXPECT_EQ(callback.search(), bytes(where));
    // While a block's hits arrive, the progress still stands at the block's start.
    EXPECT_EQ(callback.collector.progressAtHits, Positions({0, 0, 16, 16, 32, 32, 48, 48}));
    EXPECT_EQ(+callback.settings.CurrentCluster, 64u);

    SearchRun messages(imageWith(64, kPdf, where));
    messages.settings.BufferSize = 16 * kSector;
    SearchWindow window;
    messages.searchWithMessages(window);
    EXPECT_EQ(window.events, "HHPHHPHHPHHPP");
}

// Every built-in type's signature written into random data, at random units: the search
// reports exactly the units that a walk of the whole table matches, whatever the block
// size, and in free-space mode exactly those in free clusters.
TEST(Search, HitsAreThoseOfATableWalkOverEveryMatchedUnit) {
    constexpr std::uint64_t kUnits = 4096;
    constexpr std::uint32_t kClusterSectors = 2;
    std::mt19937_64 random(11);
    std::vector<std::uint8_t> image(kUnits * kSector);
    for (std::uint8_t& byte : image) byte = static_cast<std::uint8_t>(random());
    for (const auto& type : builtinTypes().types()) {
        // A compound file's type is refined from its directory, not the table.
        if (type->signatures().empty() || type->signatureId() == compound::kStorageTypeId) continue;
        for (int copy = 0; copy < 2; ++copy) {
            std::span<std::uint8_t> unit(image.data() + random() % kUnits * kSector, kSector);
            signUnit(*type, unit);
        }
    }
    std::vector<bool> usedCluster(kUnits / kClusterSectors);
    for (std::size_t c = 0; c < usedCluster.size(); ++c) usedCluster[c] = random() % 3 == 0;

    struct Case {
        std::uint32_t bufferSize;
        bool freeSpaceOnly;
    };
    for (const Case& c : {Case{4096, false}, Case{0x10000 + 3 * 1024, false}, Case{0x200000, false},
                          Case{8192, true}, Case{0x200000, true}}) {
        std::vector<Hit> expected;
        for (std::uint64_t u = 0; u < kUnits; ++u) {
            if (c.freeSpaceOnly && usedCluster[u / kClusterSectors]) continue;
            const CFileType* type = builtinTypes().MatchUnit({image.data() + u * kSector, kSector});
            if (type) expected.push_back({u * kSector, type->signatureId(), 0, 0, 0});
        }
        SearchRun run(image, kClusterSectors);
        run.settings.BufferSize = c.bufferSize;
        run.settings.FreeSpaceOnly = c.freeSpaceOnly;
        if (c.freeSpaceOnly) {
            ASSERT_TRUE(run.memory.drive.clusterMap().Init(usedCluster.size(), false));
            for (std::size_t cluster = 0; cluster < usedCluster.size(); ++cluster) {
                run.memory.drive.clusterMap().SetBit(cluster, usedCluster[cluster]);
            }
        }
        run.search();
        std::vector<Hit> found;
        for (const Hit& hit : run.collector.hits) found.push_back({hit.position, hit.type, 0, 0, 0});
        EXPECT_GT(expected.size(), 100u);
        EXPECT_EQ(found, expected) << c.bufferSize << (c.freeSpaceOnly ? " free space" : "");
    }
}

TEST(Search, AHitPastFourGibibytesKeepsItsPositionAndReadsBackItsOwnBytes) {
    // A sparse image of 4 GiB + 1 MiB in clusters of 4 KiB, all in use but the last
    // megabyte's: a free-space search reads only that.
    constexpr std::uint64_t kFourGiB = std::uint64_t{1} << 32;
    constexpr std::uint64_t kClusterBytes = 4096;
    const std::uint64_t size = kFourGiB + (1 << 20);
    const std::uint64_t at = kFourGiB + 5 * kClusterBytes + 3 * kSector;
    disktest::TempFile file;
    ASSERT_TRUE(file.resize(size) && file.writeAt(at, kPdf.data(), kPdf.size()));
    CDrive drive;
    drive.SetSource({kDriveImage, file.path(), 0, size});
    drive.GetDriveInfo()->SectorsPerCluster = kClusterBytes / kSector;
    drive.GetDriveInfo()->BytesPerCluster = kClusterBytes;
    CBitArray& map = drive.clusterMap();
    ASSERT_TRUE(map.Init(size / kClusterBytes, true));
    for (std::uint64_t cluster = kFourGiB / kClusterBytes; cluster < size / kClusterBytes; ++cluster)
        map.SetBit(cluster, false);
    ScopedSearchSettings scoped;
    EngineSettings& settings = scoped.get();
    settings.FreeSpaceOnly = 1;
    HitCollector collector(settings);
    CSearcher(drive, settings, builtinTypes()).Search();

    ASSERT_EQ(positions(collector.hits), Positions{at});
    EXPECT_EQ(collector.hits[0].firstCluster, at / kClusterBytes);
    // The recovery reads a hit through the drive from its position.
    FoundFileRecord record{};
    record.DataPosition = collector.hits[0].position;
    record.Flags = kFileFoundBySignature;
    std::vector<std::uint8_t> bytes(kSector);
    ASSERT_EQ(drive.FileRead({bytes.data(), 0, kPdf.size(), &record}), kPdf.size());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + static_cast<long>(kPdf.size())), kPdf);
}

TEST(Search, EmptyDriveEndsAtOnceWithOneProgress) {
    SearchRun run(std::vector<std::uint8_t>{});
    SearchWindow window;
    run.settings.NotifyWindow = window.handle();
    run.search();
    window.drain();
    EXPECT_EQ(window.progress, 1);
    EXPECT_TRUE(run.memory.plan->reads().empty());
}

}  // namespace
