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

Geometry parse(const Buffer& sector, bool expectOk = true) {
    Geometry geometry;
    std::string error;
    EXPECT_EQ(parseBootSector(sector, geometry, error), expectOk) << error;
    if (!expectOk) {
        EXPECT_NE(error.find("not an NTFS volume"), std::string::npos);
    }
    return geometry;
}

}  // namespace

TEST(NtfsBoot, DerivesClusterAndRecordSizes) {
    Geometry g = parse(bootSector(512, 8, -10));
    EXPECT_EQ(g.bytesPerCluster, 4096u);
    EXPECT_EQ(g.recordSize, 1024u);
    EXPECT_EQ(g.totalClusters, 12500u);
    EXPECT_EQ(g.sectorsPerCluster(), 8u);

    // 0xF4 as a signed byte is 2^12: a 4096-byte record.
    EXPECT_EQ(parse(bootSector(512, 8, static_cast<std::int8_t>(0xF4))).recordSize, 4096u);
    // A positive value counts clusters.
    EXPECT_EQ(parse(bootSector(4096, 1, 1)).recordSize, 4096u);
    // 0xF0 and above mean 2^(256 - v) sectors: 0xF8 is 256 sectors, 128 KiB clusters.
    Geometry large = parse(bootSector(512, 0xF8, -10, 1 << 20));
    EXPECT_EQ(large.bytesPerCluster, 128u * 1024);
}

TEST(NtfsBoot, RejectsEachBadField) {
    Buffer oem = bootSector(512, 8, -10);
    oem[3] = 'X';
    parse(oem, false);
    parse(bootSector(300, 8, -10), false);
    parse(bootSector(8192, 1, -10), false);
    parse(bootSector(512, 3, -10), false);           // not a power of two
    parse(bootSector(512, 0, -10), false);
    parse(bootSector(512, 0xE0, -10, 1 << 30), false);  // 2^32 sectors
    parse(bootSector(512, 8, -8), false);            // 256-byte records
    parse(bootSector(512, 8, -13), false);           // 8 KiB records
    parse(bootSector(512, 8, 2), false);             // 2 clusters = 8 KiB
    parse(bootSector(512, 8, -10, 0), false);        // no clusters
    parse(bootSector(512, 8, -10, 800, 100), false);  // MFT past the end
    Geometry g;
    std::string error;
    EXPECT_FALSE(parseBootSector(Bytes(oem.data(), 100), g, error));
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

TEST(NtfsFixups, MismatchingTailMarksDamage) {
    Buffer record = RecordBuilder(7).finish();
    record[1023] ^= 0xFF;
    EXPECT_FALSE(applyFixups(record));
}

TEST(NtfsFixups, BoundsOfOffsetAndCount) {
    auto withHeader = [](std::uint16_t offset, std::uint16_t count) {
        Buffer record = RecordBuilder(7).finish();
        put(record, 4, offset);
        put(record, 6, count);
        return record;
    };
    Buffer bad = withHeader(48, 4);  // three strides do not fit 1024 bytes
    EXPECT_FALSE(applyFixups(bad));
    bad = withHeader(48, 0);
    EXPECT_FALSE(applyFixups(bad));
    bad = withHeader(48, 1);
    EXPECT_FALSE(applyFixups(bad));
    bad = withHeader(2, 3);  // overlaps the header
    EXPECT_FALSE(applyFixups(bad));
    bad = withHeader(508, 3);  // sequence would run over the first tail
    EXPECT_FALSE(applyFixups(bad));
    bad = withHeader(0xFFFF, 0xFFFF);
    EXPECT_FALSE(applyFixups(bad));
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

    // A length that runs past the record, one too short for a header, and a first
    // attribute offset past the end all end the walk.
    Buffer longer = record;
    put<std::uint32_t>(longer, 72 + 4, 5000);
    EXPECT_FALSE(AttributeWalk(longer).next());
    Buffer shorter = record;
    put<std::uint32_t>(shorter, 72 + 4, 8);
    EXPECT_FALSE(AttributeWalk(shorter).next());
    Buffer outside = record;
    put<std::uint16_t>(outside, 20, 1022);
    EXPECT_FALSE(AttributeWalk(outside).next());
    // A name that leaves its attribute.
    Buffer named = record;
    named[72 + 9] = 200;
    EXPECT_FALSE(AttributeWalk(named).next());
    // A resident value that leaves its attribute.
    Buffer value = record;
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
}

TEST(NtfsRuns, StartsAtTheLowestVcn) {
    RunList runs;
    ASSERT_TRUE(decodeDataRuns(Buffer{0x11, 0x05, 0x40, 0x00}, 100, 0, runs));
    EXPECT_EQ(runs[0].vcnStart, 100u);
    EXPECT_EQ(runs[0].vcnEnd, 104u);
    EXPECT_EQ(findRun(runs, 99), nullptr);
}

TEST(NtfsRuns, RejectsHostileRuns) {
    auto decode = [](const Buffer& pairs, std::uint64_t total = 0) {
        RunList runs;
        bool ok = decodeDataRuns(pairs, 0, total, runs);
        return std::make_pair(ok, runs.size());
    };
    EXPECT_EQ(decode({0x11, 0x05}), std::make_pair(false, 0ul));          // no terminator
    EXPECT_EQ(decode({0x31, 0x05, 0x01}), std::make_pair(false, 0ul));    // fields cut off
    EXPECT_EQ(decode({0x19, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0}), std::make_pair(false, 0ul));
    EXPECT_EQ(decode({0x91, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0}), std::make_pair(false, 0ul));
    EXPECT_EQ(decode({0x11, 0x00, 0x05, 0x00}), std::make_pair(false, 0ul));  // zero length
    EXPECT_EQ(decode({0x10, 0x05, 0x00}), std::make_pair(false, 0ul));        // no length bytes
    EXPECT_EQ(decode({0x11, 0x02, 0x10, 0x11, 0x02, 0xE0, 0x00}), std::make_pair(false, 1ul));
    EXPECT_EQ(decode({0x11, 0x02, 0x7F, 0x00}, 100), std::make_pair(false, 0ul));  // past the end
    EXPECT_EQ(decode({0x11, 0x02, 0x63, 0x00}, 100), std::make_pair(false, 0ul));  // ends at 101
    EXPECT_EQ(decode({0x11, 0x02, 0x62, 0x00}, 100), std::make_pair(true, 1ul));
    // VCNs that would wrap around.
    Buffer wrap;
    for (int i = 0; i < 3; ++i) {
        wrap.insert(wrap.end(), {0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    }
    wrap.push_back(0);
    EXPECT_EQ(decode(wrap), std::make_pair(false, 2ul));
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
