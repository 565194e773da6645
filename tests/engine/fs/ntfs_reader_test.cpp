// CNTFS on synthetic volumes: opening, the enumeration, single records, paths and reads.

#include <gtest/gtest.h>

#include <map>

#include <thread>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/fs/ntfs.h"
#include "fat_fixture.h"
#include "ntfs_test_volume.h"

using namespace ntfs_test;

namespace {

constexpr std::uint16_t kDir = ntfs::kRecordInUse | ntfs::kRecordDirectory;

class NtfsReaderTest : public ::testing::Test {
protected:
    CNTFS& open() {
        ntfs_.reset();
        drive_ = std::make_unique<MemoryDrive>(volume_.image());
        ntfs_ = std::make_unique<CNTFS>(drive_.get());
        count_ = ntfs_->Initialize();
        return *ntfs_;
    }

    std::u16string pathOf(std::uint64_t number) {
        FoundFileRecord record{};
        record.RecordNumber = number;
        const char16_t* path = ntfs_->FileGetPath(&record);
        return path ? path : u"<null>";
    }

    std::vector<FoundFileRecord> enumerate() {
        std::vector<FoundFileRecord> all;
        while (FoundFileRecord* record = ntfs_->FileGetNext()) all.push_back(*record);
        return all;
    }

    VolumeBuilder volume_;
    std::unique_ptr<MemoryDrive> drive_;
    std::unique_ptr<CNTFS> ntfs_;
    int count_ = 0;
};

}  // namespace

TEST_F(NtfsReaderTest, OpensAndLoadsTheClusterMap) {
    // The boot sector says 4096-byte records; record 0 knows they are 1024.
    volume_.image()[64] = 0xF4;
    open();
    EXPECT_EQ(count_, 32);
    EXPECT_EQ(ntfs_->RecordSize(), 1024u);
    const _LDRIVE* info = drive_->GetDriveInfo();
    EXPECT_EQ(+info->BytesPerCluster, 4096u);
    EXPECT_EQ(+info->SectorsPerCluster, 8u);
    EXPECT_EQ(+info->TotalClusters, 256u);
    CBitArray& map = drive_->clusterMap();
    EXPECT_EQ(map.sizeInBits(), 256u);
    EXPECT_TRUE(map.GetBit(0));
    EXPECT_TRUE(map.GetBit(volume_.firstDataCluster() - 1));
    EXPECT_FALSE(map.GetBit(volume_.firstDataCluster()));
}

TEST_F(NtfsReaderTest, GeometryVariants) {
    struct Variant { std::uint32_t cluster, record; };
    for (Variant v : {Variant{512, 1024}, Variant{8192, 1024}, Variant{4096, 4096},
                      Variant{1024, 4096}, Variant{65536, 1024}}) {
        volume_ = VolumeBuilder(v.cluster, v.record, 128, 16);
        volume_.putRecord(12, volume_.record(12).fileName(5, u"f.bin").residentData({1, 2, 3}));
        open();
        ASSERT_EQ(count_, 16) << v.cluster << " " << v.record;
        FoundFileRecord info{};
        ntfs_->FileGetInfo(12, info);
        ASSERT_NE(+info.Name, nullptr) << v.cluster << " " << v.record << " " << info.Flags;
        EXPECT_EQ(std::u16string(info.Name), u"f.bin");
        std::uint8_t buffer[512];
        FileReadRequest request{buffer, 0, 3, &info};
        EXPECT_EQ(ntfs_->FileRead(request), 3u);
    }
}

TEST_F(NtfsReaderTest, RefusesVolumesItCannotRead) {
    Buffer& image = volume_.image();
    Buffer saved = image;
    image[3] = 'X';
    EXPECT_EQ(open().Initialize(), 0);
    EXPECT_EQ(ntfs_->FileGetNext(), nullptr);

    image = saved;
    std::fill(image.begin() + 4 * 4096, image.begin() + 4 * 4096 + 1024, 0);  // record 0
    open();
    EXPECT_EQ(count_, 0);
    EXPECT_STREQ(GetLastErrorString(), "Load MFT failed.");
    FoundFileRecord record{};
    record.RecordNumber = 5;
    std::uint8_t buffer[512];
    EXPECT_EQ(ntfs_->FileRead(FileReadRequest{buffer, 0, 10, &record}), 0u);
}

TEST_F(NtfsReaderTest, RecordCountIsClampedToTheMftRuns) {
    // $MFT claims 100000 records but its run covers 8 clusters: 32 records.
    volume_.putRecord(0, volume_.record(0).nonResidentData(
                             encodeRuns({{8, VolumeBuilder::kMftCluster}}), 100000 * 1024,
                             100000 * 1024));
    open();
    EXPECT_EQ(count_, 32);
    EXPECT_STREQ(GetLastErrorString(),
                 "CNTFS.CheckMFT: Not all found MFT clusters! Must be: 25000, Found : 8,");
}

TEST_F(NtfsReaderTest, EnumeratesEveryRecordOnce) {
    std::uint64_t lcn = volume_.firstDataCluster();
    volume_.putRecord(16, volume_.record(16, kDir).fileName(5, u"folder"));
    volume_.putRecord(17, volume_.record(17).fileName(16, u"live.bin").nonResidentData(
                              encodeRuns({{2, std::int64_t(lcn)}}), 5000, 5000));
    volume_.putRecord(18, volume_.record(18, 0).standardInfo(1, 2, 3, 0x20)
                              .fileName(16, u"gone.txt").residentData({'h', 'i'}));
    volume_.putRecord(19, volume_.record(19).baseRecord(17));  // extension of 17
    Buffer torn = volume_.record(20, 0).standardInfo(1, 2, 3, 0x20).fileName(5, u"torn").finish();
    torn[1023] ^= 0xFF;  // a deletion cut off between the record's two sectors
    volume_.putRaw(20, torn);
    // Free slots that hold no file: no name, no data.
    volume_.putRecord(21, volume_.record(21, 0).standardInfo(1, 2, 3, 0x20));
    volume_.putRecord(22, volume_.record(22, 0));
    volume_.putRecord(23, volume_.record(23, 0).residentData({'x'}));  // data without a name
    open();
    Log(kLogError, "previous error");
    std::vector<FoundFileRecord> all = enumerate();
    EXPECT_STREQ(GetLastErrorString(), "previous error");  // zeroed records log nothing
    ASSERT_EQ(all.size(), 29u);  // 32 records, one extension, two without a file

    // Records of the volume builder: 0, 5, 6 are files; the rest of 1..15 are zeroed.
    EXPECT_EQ(+all[0].RecordNumber, 0u);
    EXPECT_EQ(+all[0].Flags, kFileHasName);
    EXPECT_EQ(+all[0].FirstCluster, VolumeBuilder::kMftCluster);
    EXPECT_EQ(+all[1].Flags, kFileDamaged);
    EXPECT_EQ(+all[1].RecordNumber, 0u);
    EXPECT_EQ(+all[5].RecordNumber, 5u);
    EXPECT_EQ(+all[5].Flags, kFileDirectory | kFileHasName);

    const FoundFileRecord& folder = all[16];
    EXPECT_EQ(+folder.Flags, kFileDirectory | kFileHasName);

    const FoundFileRecord& live = all[17];
    EXPECT_EQ(+live.RecordNumber, 17u);
    EXPECT_EQ(+live.Size, 5000u);
    EXPECT_EQ(+live.ParentNumber, 16u);
    EXPECT_EQ(+live.FirstCluster, lcn);
    EXPECT_EQ(+live.DataPosition, lcn * 4096);

    const FoundFileRecord& gone = all[18];
    EXPECT_EQ(+gone.RecordNumber, 18u);
    EXPECT_EQ(+gone.Flags, kFileDeleted | kFileHasName);
    EXPECT_EQ(+gone.Size, 2u);
    EXPECT_EQ(+gone.FirstCluster, 0u);
    EXPECT_EQ(+gone.DataPosition, 0u);
    EXPECT_EQ(+gone.Attributes, 0x20u);

    const FoundFileRecord& tornRecord = all[19];  // record 20: after the skipped extension
    EXPECT_EQ(+tornRecord.RecordNumber, 20u);
    EXPECT_EQ(+tornRecord.Flags, kFileDeleted | kFileHasName);
    EXPECT_EQ(std::u16string(tornRecord.Name), u"torn");
    EXPECT_EQ(+tornRecord.LastWriteTime.dwLowDateTime, 2u);

    const FoundFileRecord& nameless = all[20];  // record 23: after the two empty slots
    EXPECT_EQ(+nameless.RecordNumber, 23u);
    EXPECT_EQ(+nameless.Flags, kFileDeleted);
    EXPECT_EQ(+nameless.Size, 1u);

    EXPECT_EQ(ntfs_->FileGetNext(), nullptr);
    EXPECT_EQ(ntfs_->CurrentFileCount(), 32u);
}

// An attribute list costs the listing one record read at most, from the enumeration's
// window when the record lies in it, however many records the list names.
TEST_F(NtfsReaderTest, ListingReadsOneRecordAtMostPerAttributeList) {
    volume_ = VolumeBuilder(4096, 1024, 1024, 2048);  // two windows of records
    const std::uint64_t lcn = volume_.firstDataCluster();
    std::vector<ListEntry> elsewhere, near;
    for (std::uint64_t n = 0; n < 20; ++n) {
        elsewhere.push_back({0x80, 1100 + n});  // no extension records, past the first window
        near.push_back({0x80, 40 + n});
    }
    volume_.putRecord(17,
                      volume_.record(17).fileName(5, u"own.bin").attributeList(elsewhere).residentData({1}));
    std::vector<ListEntry> first = {{0x80, 1600, 0, 2}, {0x80, 1500}};  // a later extent, then the first
    first.insert(first.end(), elsewhere.begin(), elsewhere.end());
    volume_.putRecord(18, volume_.record(18).fileName(5, u"moved.bin").attributeList(first));
    volume_.putRecord(1500, volume_.record(1500).baseRecord(18).nonResidentData(
                                encodeRuns({{2, std::int64_t(lcn)}}), 6000, 6000));
    volume_.putRecord(19, volume_.record(19).fileName(5, u"near.bin").attributeList(near));
    volume_.putRecord(40, volume_.record(40).baseRecord(19).nonResidentData(
                              encodeRuns({{1, std::int64_t(lcn + 2)}}), 100, 100));
    open();
    int singleReads = 0;
    drive_->onRead = [&](std::uint64_t, std::uint64_t count) { singleReads += count == 2; };
    std::map<std::uint64_t, FoundFileRecord> listed;
    for (const FoundFileRecord& record : enumerate()) listed[+record.RecordNumber] = record;
    EXPECT_EQ(singleReads, 2);  // record 1100 for record 17, record 1500 for record 18
    EXPECT_EQ(+listed[17].Size, 1u);
    EXPECT_EQ(+listed[18].Size, 6000u);
    EXPECT_EQ(+listed[18].FirstCluster, lcn);
    EXPECT_EQ(+listed[19].Size, 100u);
    EXPECT_EQ(+listed[19].FirstCluster, lcn + 2);
}

TEST_F(NtfsReaderTest, FileGetInfoFillsItsOwnRecord) {
    volume_.putRecord(16, volume_.record(16, 0).fileName(5, u"old.txt").residentData({1}));
    open();
    FoundFileRecord info{};
    resetFoundFileOnConstruction(info);
    ASSERT_EQ(ntfs_->FileGetInfo(16, info), &info);
    EXPECT_EQ(+info.RecordNumber, 16u);
    EXPECT_EQ(+info.Flags, kFileDeleted | kFileHasName);
    EXPECT_EQ(std::u16string(info.Name), u"old.txt");
    EXPECT_EQ(+info.TypeCode, 0);

    ntfs_->FileGetInfo(3, info);  // zeroed
    EXPECT_EQ(+info.Flags, kFileDamaged);
    EXPECT_EQ(+info.Name, nullptr);

    ntfs_->FileGetInfo(40, info);  // past the MFT
    EXPECT_EQ(+info.Flags, kFileDamaged);
    EXPECT_STREQ(GetLastErrorString(), "Can't read file record 40");
}

TEST_F(NtfsReaderTest, PathsThroughFoldersAndBrokenChainsAsLostFolders) {
    volume_ = VolumeBuilder(4096, 1024, 256, 48);
    const struct {
        std::uint32_t record;
        std::uint16_t flags;
        std::uint64_t parent;
        std::u16string name, path;  // path "" is not checked
    } cases[] = {
        {16, kDir, 5, u"A", u"N:\\"},
        {17, kDir, 16, u"B", u"N:\\A\\"},
        {18, ntfs::kRecordInUse, 17, u"file.txt", u"N:\\A\\B\\"},
        {19, ntfs::kRecordDirectory, 5, u"deleted dir", u"N:\\"},
        {20, 0, 19, u"child.txt", u"N:\\deleted dir\\"},
        {21, kDir, 21, u"self", u"lost_folder_21\\"},
        {22, ntfs::kRecordInUse, 21, u"in-self.txt", u"lost_folder_21\\self\\"},
        {23, kDir, 24, u"ping", u""},
        {24, kDir, 23, u"pong", u""},
        {25, ntfs::kRecordInUse, 23, u"in-loop.txt", u"lost_folder_23\\pong\\ping\\"},
        {26, ntfs::kRecordInUse, 5, u"plain.txt", u"N:\\"},
        {27, ntfs::kRecordInUse, 26, u"under-a-file.txt", u"lost_folder_26\\"},
        {28, ntfs::kRecordInUse, 3, u"under-zeroed.txt", u"lost_folder_3\\"},
        {29, ntfs::kRecordInUse, 900, u"under-missing.txt", u"lost_folder_900\\"},
        {30, kDir, 5, u"", u""},
        {31, ntfs::kRecordInUse, 30, u"under-nameless.txt", u"lost_folder_30\\"},
    };
    for (const auto& c : cases) volume_.putRecord(c.record, volume_.record(c.record, c.flags).fileName(c.parent, c.name));
    open();
    for (const auto& c : cases) {
        if (!c.path.empty()) {
            EXPECT_EQ(pathOf(c.record), c.path) << c.record;
        }
    }
    EXPECT_EQ(pathOf(5), u"N:\\");
    EXPECT_EQ(pathOf(0), u"N:\\");
}

TEST_F(NtfsReaderTest, DeepChainsReadEachFolderOnceAndStayInsideThePathBuffer) {
    volume_ = VolumeBuilder(4096, 1024, 1024, 3000);
    auto nameOf = [](std::uint32_t n) {
        std::string text = "folder" + std::to_string(n);
        return std::u16string(text.begin(), text.end());
    };
    for (std::uint32_t n = 16; n < 3000; ++n) {
        volume_.putRecord(n, volume_.record(n, kDir).fileName(n == 16 ? 5 : n - 1, nameOf(n)));
    }
    open();
    int reads = 0;
    drive_->onRead = [&](std::uint64_t, std::uint64_t) { ++reads; };
    std::u16string expected = u"N:\\";
    while (FoundFileRecord* record = ntfs_->FileGetNext()) {
        const std::uint64_t n = record->RecordNumber;
        if (n < 16) continue;
        // Paths grow by a folder a record until one no longer fits the path buffer; that
        // one starts over as a lost folder named after its parent.
        if (expected.size() + nameOf(n).size() + 1 > 4095) {
            std::string parent = std::to_string(n - 1);
            expected = u"lost_folder_" + std::u16string(parent.begin(), parent.end()) + u"\\";
        }
        ASSERT_EQ(pathOf(n), expected) << n;
        expected += nameOf(n) + u"\\";
    }
    // The windows of records after the first (read when opening) and no folder read
    // twice; a walk to the root for every folder would read millions of records. Later,
    // a path costs its own record only.
    EXPECT_EQ(reads, 2);
    EXPECT_FALSE(pathOf(2000).empty());
    EXPECT_EQ(reads, 3);
}

TEST_F(NtfsReaderTest, ReadsRecordsRecordsBySignatureAndHits) {
    std::uint64_t lcn = volume_.firstDataCluster();
    Buffer data(6000);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i % 253);
    volume_.putCluster(lcn, data);
    volume_.putRecord(16, volume_.record(16).fileName(5, u"d.bin").nonResidentData(
                              encodeRuns({{2, std::int64_t(lcn)}}), data.size(), data.size()));
    open();
    Buffer out(8192, 0);
    FoundFileRecord record{};
    record.RecordNumber = 16;
    EXPECT_EQ(ntfs_->FileRead(FileReadRequest{out.data(), 0, 0, &record}), 0u);
    ASSERT_EQ(ntfs_->FileRead(FileReadRequest{out.data(), 0, 8192, &record}), 6000u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
    ASSERT_EQ(ntfs_->FileRead(FileReadRequest{out.data(), 5990, 100, &record}), 10u);
    EXPECT_EQ(out[0], data[5990]);

    // The same record located by the signature search at its position in the MFT.
    FoundFileRecord bySignature{};
    bySignature.Flags = kFileNtfsRecordBySignature;
    bySignature.DataPosition = VolumeBuilder::kMftCluster * 4096 + 16 * 1024;
    ASSERT_EQ(ntfs_->FileRead(FileReadRequest{out.data(), 0, 8192, &bySignature}), 6000u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));

    // A signature hit reads whole sectors from its position.
    FoundFileRecord hit{};
    hit.Flags = kFileDeleted | kFileFoundBySignature;
    hit.DataPosition = lcn * 4096;
    ASSERT_EQ(ntfs_->FileRead(FileReadRequest{out.data(), 512, 700, &hit}), 700u);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 700, data.begin() + 512));
    hit.DataPosition = volume_.image().size();
    EXPECT_EQ(ntfs_->FileRead(FileReadRequest{out.data(), 0, 700, &hit}), 0u);

    record.RecordNumber = 3;  // zeroed
    EXPECT_EQ(ntfs_->FileRead(FileReadRequest{out.data(), 0, 100, &record}), 0u);
    record.RecordNumber = 5000;
    EXPECT_EQ(ntfs_->FileRead(FileReadRequest{out.data(), 0, 100, &record}), 0u);
    EXPECT_STREQ(GetLastErrorString(), "CNTFS.FileRead: Can't read record");
}

TEST_F(NtfsReaderTest, ConcurrentReadsDoNotShareBuffers) {
    std::uint64_t lcn = volume_.firstDataCluster();
    for (std::uint32_t f = 0; f < 4; ++f) {
        volume_.putCluster(lcn + 4 * f, Buffer(4 * 4096, static_cast<std::uint8_t>(0x10 + f)));
        volume_.putRecord(16 + f, volume_.record(16 + f).nonResidentData(
                                      encodeRuns({{4, std::int64_t(lcn + 4 * f)}}), 4 * 4096,
                                      4 * 4096));
    }
    open();
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (std::uint32_t f = 0; f < 4; ++f) {
        threads.emplace_back([&, f] {
            FoundFileRecord record{};
            record.RecordNumber = 16 + f;
            Buffer out(4 * 4096);
            for (int round = 0; round < 50; ++round) {
                ntfs_->FileRead(FileReadRequest{out.data(), 0, out.size(), &record});
                mismatches[f] += std::count(out.begin(), out.end(), 0x10 + f) != 4 * 4096;
            }
        });
    }
    while (ntfs_->FileGetNext()) {
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

TEST_F(NtfsReaderTest, FileReadInPiecesReadsAndMergesItsRecordsOnce) {
    const std::uint32_t cs = volume_.clusterSize();
    const std::uint64_t lcn = volume_.firstDataCluster();
    Buffer data(5 * cs);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i / 7);
    volume_.putCluster(lcn + 10, Buffer(data.begin(), data.begin() + 2 * cs));
    volume_.putCluster(lcn, Buffer(data.begin() + 2 * cs, data.end()));
    volume_.putRecord(20, volume_.record(20).fileName(5, u"pieces.bin")
                              .attributeList({{0x80, 21}})
                              .nonResidentData(encodeRuns({{2, std::int64_t(lcn + 10)}}),
                                               data.size(), data.size()));
    volume_.putRecord(21, volume_.record(21).baseRecord(20).nonResidentData(
                              encodeRuns({{3, std::int64_t(lcn)}}), 0, 0, 2));
    volume_.putRecord(16, volume_.record(16).fileName(5, u"other.txt").residentData({1, 2}));
    open();
    const std::uint64_t mftFirst = VolumeBuilder::kMftCluster * cs / 512;
    const std::uint64_t mftEnd = volume_.firstDataCluster() * cs / 512;
    int recordReads = 0;
    drive_->onRead = [&](std::uint64_t lba, std::uint64_t) { recordReads += lba >= mftFirst && lba < mftEnd; };

    FoundFileRecord file{}, other{};
    file.RecordNumber = 20;
    other.RecordNumber = 16;
    Buffer out(data.size());
    for (std::uint64_t offset = 0; offset < data.size(); offset += cs) {
        ASSERT_EQ(ntfs_->FileRead(FileReadRequest{out.data() + offset, offset, cs, &file}), cs);
    }
    EXPECT_EQ(out, data);
    EXPECT_EQ(recordReads, 2);  // records 20 and 21, once for all pieces
    Buffer small(512);
    EXPECT_EQ(ntfs_->FileRead(FileReadRequest{small.data(), 0, 2, &other}), 2u);
    EXPECT_EQ(ntfs_->FileRead(FileReadRequest{out.data(), 0, cs, &file}), cs);
    EXPECT_EQ(recordReads, 3);
}

TEST_F(NtfsReaderTest, MirrorComparison) {
    fattest::LogCapture log;
    open();
    EXPECT_EQ(ntfs_->CompareMFTMirr(), 1);
    EXPECT_EQ(log.count("MFT and MFTMirr not equal"), 0u);

    const std::size_t mirror = volume_.mirrorCluster() * volume_.clusterSize();
    volume_.image()[mirror + 2 * volume_.recordSize() + 100] ^= 1;  // record 2's copy
    open();
    EXPECT_EQ(count_, 32);
    EXPECT_EQ(ntfs_->CompareMFTMirr(), 0);
    EXPECT_EQ(log.count("CNTFS.Load_MFT: MFT and MFTMirr not equal! (MFT or MFTMirr corruppted)"), 1u);

    put<std::uint64_t>(volume_.image(), 56, 1u << 20);  // mirror past the volume's end
    open();
    EXPECT_EQ(count_, 32);
    EXPECT_EQ(ntfs_->CompareMFTMirr(), 0);
}
