// CNTFile on synthetic records: data reads (resident, runs, sparse, initialised size,
// attribute lists), alternate streams, and the name, time and size it reports.

#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "engine/exports.h"
#include "engine/fs/ntfs.h"
#include "ntfs_test_volume.h"

using namespace ntfs_test;

namespace {

Buffer pattern(std::size_t size, std::uint8_t seed) {
    Buffer data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + seed + i / 251);
    return data;
}

class NtfsFileTest : public ::testing::Test {
protected:
    // Opens the volume as built so far and parses `record` against it.
    std::unique_ptr<CNTFile> open(const RecordBuilder& record) {
        ntfs_.reset();
        drive_ = std::make_unique<MemoryDrive>(volume_.image());
        ntfs_ = std::make_unique<CNTFS>(drive_.get());
        EXPECT_GT(ntfs_->Initialize(), 0);
        Buffer raw = record.finish();
        auto file = std::make_unique<CNTFile>(*ntfs_);
        parsed_ = file->SetFileRecord(raw.data());
        return file;
    }

    Buffer readAll(const CNTFile& file, std::size_t room) {
        Buffer out(room, 0xEE);
        out.resize(file.GetData(0, room, out.data()));
        return out;
    }

    // What GetInfo reports for `record`, and its result.
    FoundFileRecord infoOf(const RecordBuilder& record, int* result = nullptr) {
        auto file = open(record);
        FoundFileRecord info{};
        resetFoundFileForFill(info);
        const int got = file->GetInfo(&info, name_);
        if (result) *result = got;
        return info;
    }

    VolumeBuilder volume_;
    std::unique_ptr<MemoryDrive> drive_;
    std::unique_ptr<CNTFS> ntfs_;
    int parsed_ = 0;
    std::u16string name_;
};

}  // namespace

TEST_F(NtfsFileTest, ResidentReadsAreClampedToTheValue) {
    Buffer value = pattern(100, 1);
    auto file = open(volume_.record(20).fileName(5, u"r.txt").residentData(value));
    ASSERT_EQ(parsed_, 1);
    Buffer out(4096);
    EXPECT_EQ(file->GetData(0, 4096, out.data()), 100u);
    EXPECT_TRUE(std::equal(value.begin(), value.end(), out.begin()));
    EXPECT_EQ(file->GetData(40, 100, out.data()), 60u);
    EXPECT_EQ(out[0], value[40]);
    EXPECT_EQ(file->GetData(100, 10, out.data()), 0u);
    EXPECT_EQ(file->GetData(101, 10, out.data()), 0u);
    EXPECT_TRUE(file->Runs().empty());
}

TEST_F(NtfsFileTest, NonResidentRunsReadBackInOrder) {
    const std::uint32_t cs = volume_.clusterSize();
    std::uint64_t first = volume_.firstDataCluster() + 10, second = volume_.firstDataCluster() + 2;
    Buffer data = pattern(cs * 3 + 100, 2);
    volume_.putCluster(first, Buffer(data.begin(), data.begin() + 2 * cs));
    volume_.putCluster(second, Buffer(data.begin() + 2 * cs, data.end()));
    auto file = open(volume_.record(20).nonResidentData(
        encodeRuns({{2, std::int64_t(first)}, {2, std::int64_t(second)}}), data.size(), data.size()));
    ASSERT_EQ(file->Runs().size(), 2u);
    EXPECT_EQ(file->VCN_to_LCN(3), second + 1);
    EXPECT_EQ(file->VCN_to_LCN(4), ~std::uint64_t{0});
    Buffer out(data.size() + 4096, 0xEE);
    ASSERT_EQ(file->GetData(0, out.size(), out.data()), data.size());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
    EXPECT_EQ(out[data.size()], 0xEE);  // no slack past the data size
    // A range that starts inside a cluster and crosses into the next run.
    ASSERT_EQ(file->GetData(2 * cs - 10, 20, out.data()), 20u);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 20, data.begin() + 2 * cs - 10));
}

TEST_F(NtfsFileTest, SparseRunsAndUninitialisedTailReadAsZeros) {
    const std::uint32_t cs = volume_.clusterSize();
    std::uint64_t lcn = volume_.firstDataCluster();
    volume_.putCluster(lcn, Buffer(3 * cs, 0xAA));
    // Cluster 0 real, cluster 1 a hole, clusters 2..3 real but only half initialised.
    auto file = open(volume_.record(20).nonResidentData(
        encodeRuns({{1, std::int64_t(lcn)}, {1, -1}, {2, std::int64_t(lcn + 1)}}), 4 * cs,
        2 * cs + cs / 2));
    Buffer out(4 * cs, 0x55);
    ASSERT_EQ(file->GetData(0, out.size(), out.data()), out.size());
    EXPECT_EQ(out[cs - 1], 0xAA);
    EXPECT_EQ(std::count(out.begin() + cs, out.begin() + 2 * cs, 0), cs);
    EXPECT_EQ(out[2 * cs + cs / 2 - 1], 0xAA);
    EXPECT_EQ(std::count(out.begin() + 2 * cs + cs / 2, out.end(), 0), cs + cs / 2);
}

TEST_F(NtfsFileTest, ReadStopsWhereTheRunsEnd) {
    const std::uint32_t cs = volume_.clusterSize();
    auto file = open(volume_.record(20).nonResidentData(
        encodeRuns({{1, std::int64_t(volume_.firstDataCluster())}}), 3 * cs, 3 * cs));
    Buffer out(3 * cs);
    EXPECT_EQ(file->GetData(0, out.size(), out.data()), cs);
    EXPECT_STREQ(GetLastErrorString(), "VCN_to_LCN return -1; Cluster number not found: VCN 1");
}

TEST_F(NtfsFileTest, AlternateStreamIsNotTheFileData) {
    Buffer main = pattern(300, 3);
    auto file = open(volume_.record(20)
                         .residentData(pattern(50, 9), u"extra")
                         .residentData(main));
    EXPECT_EQ(file->DataSize(), 300u);
    EXPECT_EQ(readAll(*file, 1000), main);

    auto onlyStream = open(volume_.record(21).nonResidentData(
        encodeRuns({{1, std::int64_t(volume_.firstDataCluster())}}), 100, 100, 0, u"s"));
    EXPECT_FALSE(onlyStream->HasData());
    EXPECT_TRUE(readAll(*onlyStream, 100).empty());
}

TEST_F(NtfsFileTest, TornRecordsParseAndBrokenHeadersDoNot) {
    const Buffer data = pattern(10, 1);
    RecordBuilder record = volume_.record(20).fileName(5, u"torn.txt").residentData(data);
    auto file = open(record);
    Buffer torn = record.finish();
    torn[1022] ^= 1;  // the second sector is from another write
    ASSERT_EQ(file->SetFileRecord(torn.data()), 1);
    EXPECT_EQ(readAll(*file, 100), data);

    Buffer startsOutside = record.finish();
    put<std::uint16_t>(startsOutside, ntfs::kHeaderFirstAttribute, 1020);
    Buffer insideHeader = record.finish();
    put<std::uint16_t>(insideHeader, ntfs::kHeaderFirstAttribute, 16);
    for (const Buffer& broken : {startsOutside, insideHeader, Buffer(volume_.recordSize(), 0)}) {
        EXPECT_EQ(file->SetFileRecord(broken.data()), 0);
        EXPECT_FALSE(file->HasData());
    }
}

TEST_F(NtfsFileTest, AttributeListMergesEachExtensionOfThisRecordOnce) {
    const std::uint32_t cs = volume_.clusterSize();
    std::uint64_t lcn = volume_.firstDataCluster();
    Buffer data = pattern(5 * cs, 4);
    volume_.putCluster(lcn + 20, Buffer(data.begin(), data.begin() + 2 * cs));
    volume_.putCluster(lcn, Buffer(data.begin() + 2 * cs, data.end()));
    volume_.putRecord(21, volume_.record(21).baseRecord(20).nonResidentData(
                              encodeRuns({{3, std::int64_t(lcn)}}), 0, 0, 2));
    // Not followed: a named stream's extent, a record that is not an extension, and an
    // extension of another record.
    volume_.putRecord(22, volume_.record(22).baseRecord(20).nonResidentData(
                              encodeRuns({{3, std::int64_t(lcn + 40)}}), 0, 0, 5, u"ads"));
    volume_.putRecord(23, volume_.record(23).nonResidentData(
                              encodeRuns({{3, std::int64_t(lcn + 50)}}), 0, 0, 5));
    volume_.putRecord(24, volume_.record(24).baseRecord(30).nonResidentData(
                              encodeRuns({{3, std::int64_t(lcn + 60)}}), 0, 0, 5));
    std::vector<ntfs_test::ListEntry> entries = {{0x80, 20}, {0x80, 22, 3}, {0x80, 23},
                                                 {0x80, 24}, {0x80, 999}};
    entries.insert(entries.end(), 20, {0x80, 21});
    auto file = open(volume_.record(20).attributeList(entries).nonResidentData(
        encodeRuns({{2, std::int64_t(lcn + 20)}}), data.size(), data.size()));
    std::map<std::uint64_t, int> recordReads;
    drive_->onRead = [&](std::uint64_t lba, std::uint64_t) {
        ++recordReads[(lba * 512 - VolumeBuilder::kMftCluster * cs) / volume_.recordSize()];
    };
    file->MergeAttributeList(20);
    EXPECT_EQ(recordReads, (std::map<std::uint64_t, int>{{21, 1}, {23, 1}, {24, 1}}));
    drive_->onRead = nullptr;
    ASSERT_EQ(file->Runs().size(), 2u);
    EXPECT_EQ(readAll(*file, data.size() + 10), data);
}

TEST_F(NtfsFileTest, AttributeListWithTheWholeStreamInExtensions) {
    const std::uint32_t cs = volume_.clusterSize();
    std::uint64_t lcn = volume_.firstDataCluster();
    Buffer data = pattern(2 * cs - 7, 5);
    volume_.putCluster(lcn, data);
    volume_.putRecord(21, volume_.record(21).baseRecord(20).nonResidentData(
                              encodeRuns({{2, std::int64_t(lcn)}}), data.size(), data.size()));
    auto file = open(volume_.record(20).attributeList({{0x80, 21}}));
    EXPECT_FALSE(file->HasData());
    file->MergeAttributeList(20);
    EXPECT_EQ(file->DataSize(), data.size());
    EXPECT_EQ(readAll(*file, 3 * cs), data);
}

TEST_F(NtfsFileTest, HostileAttributeListEntriesEndTheWalk) {
    RecordBuilder record = volume_.record(20).attributeList({{0x80, 21}, {0x80, 22}});
    // The first entry claims a length of 4: shorter than an entry.
    record.poke(72 + 24 + 4, {4, 0});
    auto file = open(record);
    file->MergeAttributeList(20);
    EXPECT_TRUE(file->Runs().empty());
}

TEST_F(NtfsFileTest, InfoFromStandardInformationAndNames) {
    const std::uint64_t parent = (std::uint64_t{7} << 48) | 30;  // sequence number above
    int result = 0;
    const FoundFileRecord record = infoOf(volume_.record(20)
                                              .standardInfo(111, 222, 333, 0x20)
                                              .fileName(parent, u"LONGNA~1.TXT", 2, 50)
                                              .fileName(parent, u"long name.txt", 1, 50)
                                              .residentData(pattern(70, 1)),
                                          &result);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(std::u16string(record.Name), u"long name.txt");
    EXPECT_TRUE(+record.Flags & kFileHasName);
    EXPECT_EQ(+record.ParentNumber, 30u);
    EXPECT_EQ(+record.Size, 70u);  // the data size, not the stale copy in the name
    EXPECT_EQ(+record.CreationTime.dwLowDateTime, 111u);
    EXPECT_EQ(+record.LastWriteTime.dwLowDateTime, 222u);
    EXPECT_EQ(+record.LastAccessTime.dwLowDateTime, 333u);
    EXPECT_EQ(+record.Attributes, 0x20u);
}

TEST_F(NtfsFileTest, NameChoiceByNamespace) {
    const std::pair<RecordBuilder, std::u16string> cases[] = {
        {volume_.record(20).fileName(5, u"W.TXT", 1).fileName(5, u"D.TXT", 2), u"W.TXT"},
        {volume_.record(20).fileName(5, u"D.TXT", 2).fileName(5, u"posix", 0), u"posix"},
        {volume_.record(20).fileName(5, u"both.txt", 3), u"both.txt"},
        {volume_.record(20).fileName(5, u"", 1).fileName(5, u"D.TXT", 2), u"D.TXT"},
    };
    for (const auto& [record, expected] : cases) {
        const FoundFileRecord info = infoOf(record);
        ASSERT_NE(+info.Name, nullptr) << std::string(expected.begin(), expected.end());
        EXPECT_EQ(std::u16string(info.Name), expected);
    }
    const FoundFileRecord nameless = infoOf(volume_.record(20).fileName(5, u"", 1, 77));
    EXPECT_EQ(+nameless.Name, nullptr);
    EXPECT_FALSE(+nameless.Flags & kFileHasName);
    EXPECT_EQ(+nameless.Size, 77u);  // no data attribute: the size in the name

    RecordBuilder overlong = volume_.record(20).fileName(5, u"abc", 1);
    overlong.poke(72 + 24 + 64, {200});  // a name longer than its value
    int result = 0;
    const FoundFileRecord ignored = infoOf(overlong, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(+ignored.Name, nullptr);
    EXPECT_EQ(+ignored.Size, kUnknownSize);
}
