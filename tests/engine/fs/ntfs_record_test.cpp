// Boot-sector geometry, fixups, the attribute walk and data-run decoding on hostile input.

#include <gtest/gtest.h>

#include "engine/fs/ntfs_boot.h"
#include "engine/fs/ntfs_record.h"
#include "engine/fs/ntfs_runs.h"
#include "ntfs_test_volume.h"

using namespace ntfs;
using namespace ntfs_test;

namespace {

Buffer bootSector(std::uint16_t bytesPerSector, std::uint8_t sectorsPerCluster,
                  std::int8_t clustersPerRecord, std::uint64_t totalSectors = 100000,
                  std::uint64_t mftCluster = 4) {
    Buffer b(512, 0);
    std::memcpy(b.data() + 3, "NTFS    ", 8);
    put(b, 11, bytesPerSector);
    b[13] = sectorsPerCluster;
    put(b, 40, totalSectors);
    put(b, 48, mftCluster);
    put(b, 64, clustersPerRecord);
    return b;
}

Geometry parse(const Buffer& sector) {
    Geometry geometry;
    std::string error;
    EXPECT_TRUE(parseBootSector(sector, geometry, error)) << error;
    return geometry;
}

TEST(NtfsBoot, DerivesClusterAndRecordSizes) {
    Geometry g = parse(bootSector(512, 8, -10));
    EXPECT_EQ(g.bytesPerCluster, 4096u);
    EXPECT_EQ(g.recordSize, 1024u);
    EXPECT_EQ(g.totalClusters, 12500u);
    EXPECT_EQ(g.sectorsPerCluster(), 8u);
    // 0xF4 as a signed byte is 2^12: a 4096-byte record.
    EXPECT_EQ(parse(bootSector(512, 8, static_cast<std::int8_t>(0xF4))).recordSize, 4096u);
    EXPECT_EQ(parse(bootSector(4096, 1, 1)).recordSize, 4096u);  // a positive value counts clusters
    // 0xF0 and above mean 2^(256 - v) sectors: 0xF8 is 256 sectors, 128 KiB clusters.
    EXPECT_EQ(parse(bootSector(512, 0xF8, -10, 1 << 20)).bytesPerCluster, 128u * 1024);
}

TEST(NtfsBoot, RejectsEachBadField) {
    const Buffer valid = bootSector(512, 8, -10);
    Buffer oem = valid;
    oem[3] = 'X';
    const std::pair<const char*, Buffer> cases[] = {
        {"OEM name", oem},
        {"300-byte sectors", bootSector(300, 8, -10)},
        {"8 KiB sectors", bootSector(8192, 1, -10)},
        {"3 sectors per cluster", bootSector(512, 3, -10)},
        {"0 sectors per cluster", bootSector(512, 0, -10)},
        {"2^32-sector clusters", bootSector(512, 0xE0, -10, 1 << 30)},
        {"256-byte records", bootSector(512, 8, -8)},
        {"8 KiB records", bootSector(512, 8, -13)},
        {"2-cluster records", bootSector(512, 8, 2)},
        {"no clusters", bootSector(512, 8, -10, 0)},
        {"MFT past the end", bootSector(512, 8, -10, 800, 100)},
        {"short sector", Buffer(valid.begin(), valid.begin() + 100)},
    };
    for (const auto& [name, sector] : cases) {
        Geometry geometry;
        std::string error;
        EXPECT_FALSE(parseBootSector(sector, geometry, error)) << name;
        if (sector.size() == 512) {
            EXPECT_NE(error.find("not an NTFS volume"), std::string::npos) << name;
        }
    }
}

TEST(NtfsFixups, RestoresEveryStrideTail) {
    for (std::uint32_t size : {1024u, 4096u}) {
        Buffer record = RecordBuilder(7, kRecordInUse, size)
                            .poke(510, {0xAB, 0xCD})
                            .poke(size - 2, {0x12, 0x34})
                            .finish(0x0707);
        EXPECT_EQ(record[510], 0x07);
        ASSERT_TRUE(applyFixups(record)) << size;
        EXPECT_EQ(record[510], 0xAB);
        EXPECT_EQ(record[511], 0xCD);
        EXPECT_EQ(record[size - 2], 0x12);
        EXPECT_EQ(record[size - 1], 0x34);
    }
}

TEST(NtfsFixups, TornRecordsAreRestoredAndReported) {
    // The second sector holds another write's tail: both tails are still restored.
    Buffer torn = RecordBuilder(7).poke(510, {0xAB, 0xCD}).poke(1022, {0x12, 0x34}).finish();
    torn[1023] ^= 0xFF;
    EXPECT_FALSE(applyFixups(torn));
    EXPECT_EQ(torn[510], 0xAB);
    EXPECT_EQ(torn[1022], 0x12);

    // Update sequences that do not cover the record or leave it: what fits is restored,
    // nothing is touched outside the record.
    const struct {
        std::uint16_t offset, count;
        bool firstTailRestored;
    } headers[] = {
        {48, 4, true},        // one entry too many
        {48, 2, true},        // the second sector is not covered
        {48, 0, false},
        {48, 1, false},
        {1020, 3, false},     // entries past the record
        {0xFFFF, 0xFFFF, false},
    };
    for (const auto& h : headers) {
        Buffer record = RecordBuilder(7).poke(510, {0xAB, 0xCD}).finish();
        put(record, 4, h.offset);
        put(record, 6, h.count);
        EXPECT_FALSE(applyFixups(record)) << h.offset << " " << h.count;
        EXPECT_EQ(record[510] == 0xAB, h.firstTailRestored) << h.offset << " " << h.count;
    }
    Buffer tiny(6, 0);
    EXPECT_FALSE(applyFixups(tiny));
}

TEST(NtfsAttributes, WalkStopsAtEveryBound) {
    Buffer record = RecordBuilder(7).fileName(5, u"a.txt").residentData({1, 2, 3}).finish();
    ASSERT_TRUE(applyFixups(record));
    AttributeWalk walk(record);
    auto name = walk.next();
    ASSERT_TRUE(name);
    EXPECT_EQ(name->type, kAttrFileName);
    auto data = walk.next();
    ASSERT_TRUE(data);
    EXPECT_EQ(data->residentValue()->size(), 3u);
    EXPECT_FALSE(walk.next());

    const struct {
        const char* name;
        std::size_t offset;
        std::uint32_t value;
        int width;
    } hostile[] = {
        {"length past the record", 72 + 4, 5000, 4},
        {"length shorter than a header", 72 + 4, 8, 4},
        {"first attribute past the end", 20, 1022, 2},
        {"name leaves the attribute", 72 + 9, 200, 1},
    };
    for (const auto& c : hostile) {
        Buffer bad = record;
        if (c.width == 4) put<std::uint32_t>(bad, c.offset, c.value);
        if (c.width == 2) put<std::uint16_t>(bad, c.offset, static_cast<std::uint16_t>(c.value));
        if (c.width == 1) bad[c.offset] = static_cast<std::uint8_t>(c.value);
        EXPECT_FALSE(AttributeWalk(bad).next()) << c.name;
    }
    Buffer value = record;  // a resident value that leaves its attribute
    put<std::uint32_t>(value, 72 + 16, 4000);
    auto bad = AttributeWalk(value).next();
    ASSERT_TRUE(bad);
    EXPECT_FALSE(bad->residentValue());
}

TEST(NtfsRuns, DecodesLengthsSignedOffsetsAndSparseRuns) {
    RunList runs;
    const Buffer pairs = {0x21, 0x18, 0x34, 0x56,  // 24 clusters at 0x5634
                          0x21, 0x08, 0xF0, 0xFF,  // 8 clusters 16 before it
                          0x01, 0x04,              // 4 sparse clusters
                          0x11, 0x02, 0x20,        // 2 clusters 32 after the last real run
                          0x00};
    ASSERT_TRUE(decodeDataRuns(pairs, 0, 0, runs));
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].clusterBegin, 0x5634u);
    EXPECT_EQ(runs[0].clusterCount, 24u);
    EXPECT_EQ(runs[0].vcnEnd, 23u);
    EXPECT_EQ(runs[1].clusterBegin, 0x5634u - 16);
    EXPECT_EQ(runs[1].vcnStart, 24u);
    EXPECT_EQ(runs[2].sparse, 1u);
    EXPECT_EQ(runs[2].vcnStart, 32u);
    EXPECT_EQ(runs[3].clusterBegin, 0x5634u - 16 + 32);
    EXPECT_EQ(runs[3].vcnStart, 36u);
    EXPECT_EQ(findRun(runs, 35)->sparse, 1u);
    EXPECT_EQ(findRun(runs, 37), &runs[3]);
    EXPECT_EQ(findRun(runs, 38), nullptr);

    RunList late;  // an extent starting at VCN 100
    ASSERT_TRUE(decodeDataRuns(Buffer{0x11, 0x05, 0x40, 0x00}, 100, 0, late));
    EXPECT_EQ(late[0].vcnStart, 100u);
    EXPECT_EQ(late[0].vcnEnd, 104u);
    EXPECT_EQ(findRun(late, 99), nullptr);
}

TEST(NtfsRuns, RejectsHostileRuns) {
    Buffer wrap;  // VCNs that would wrap around
    for (int i = 0; i < 3; ++i) wrap.insert(wrap.end(), {0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    wrap.push_back(0);
    const struct {
        const char* name;
        Buffer pairs;
        std::uint64_t totalClusters;
        bool ok;
        std::size_t runs;  // decoded before the fault
    } cases[] = {
        {"no terminator", {0x11, 0x05}, 0, false, 0},
        {"fields cut off", {0x31, 0x05, 0x01}, 0, false, 0},
        {"9 length bytes", {0x19, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0}, 0, false, 0},
        {"9 offset bytes", {0x91, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0}, 0, false, 0},
        {"zero length", {0x11, 0x00, 0x05, 0x00}, 0, false, 0},
        {"no length bytes", {0x10, 0x05, 0x00}, 0, false, 0},
        {"negative cluster", {0x11, 0x02, 0x10, 0x11, 0x02, 0xE0, 0x00}, 0, false, 1},
        {"past the end", {0x11, 0x02, 0x7F, 0x00}, 100, false, 0},
        {"ends at 101: cut at 100", {0x11, 0x05, 0x60, 0x11, 0x01, 0x01, 0x00}, 100, false, 1},
        {"ends at 100", {0x11, 0x02, 0x62, 0x00}, 100, true, 1},
        {"wrapping VCNs", wrap, 0, false, 2},
    };
    for (const auto& c : cases) {
        RunList runs;
        EXPECT_EQ(decodeDataRuns(c.pairs, 0, c.totalClusters, runs), c.ok) << c.name;
        EXPECT_EQ(runs.size(), c.runs) << c.name;
        for (const DataRun& run : runs) {
            if (c.totalClusters) {
                EXPECT_LE(run.clusterBegin + run.clusterCount, c.totalClusters) << c.name;
            }
            EXPECT_EQ(run.vcnEnd, run.vcnStart + run.clusterCount - 1) << c.name;
        }
    }
}

TEST(NtfsRuns, MergeKeepsOrderAndDropsOverlaps) {
    RunList target;
    decodeDataRuns(Buffer{0x11, 0x04, 0x10, 0x00}, 0, 0, target);
    RunList extension;
    decodeDataRuns(Buffer{0x11, 0x04, 0x40, 0x00}, 8, 0, extension);
    decodeDataRuns(Buffer{0x11, 0x04, 0x30, 0x00}, 4, 0, extension);
    decodeDataRuns(Buffer{0x11, 0x02, 0x50, 0x00}, 2, 0, extension);  // overlaps 0..3
    extension.push_back(DataRun{0x60, 0, 0, 20, 19});                 // empty
    mergeDataRuns(target, extension);
    ASSERT_EQ(target.size(), 3u);
    EXPECT_EQ(target[0].vcnStart, 0u);
    EXPECT_EQ(target[1].vcnStart, 4u);
    EXPECT_EQ(target[1].clusterBegin, 0x30u);
    EXPECT_EQ(target[2].vcnStart, 8u);
}

}  // namespace
