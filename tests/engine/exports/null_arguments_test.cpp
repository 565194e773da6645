// Every export given null pointers and indexes out of range (-1, the count, INT_MAX), with
// an NTFS volume open: each returns its failure value and touches nothing.

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "engine/disk/disk_test_support.h"
#include "engine/disk/drive_image.h"
#include "engine/disk/lost_partition_search.h"
#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/log.h"
#include "engine/recovery_writer.h"
#include "engine/support/memory_drive.h"
#include "engine/support/scoped_settings.h"
#include "engine/support/test_images.h"
#include "platform/handles.h"
#include "platform/messages.h"

namespace {

class NullArguments : public ::testing::Test {
protected:
    void SetUp() override {
        engine::releaseFileReaders();
        ASSERT_EQ(Library_Initialize(nullptr), 1);
        settings_.DiskNumber = engine::state().drives->add(std::make_unique<test_support::MemoryDrive>(
            test_images::gunzip("ntfs/ntfs-basic.img.gz"), kFileSystemNtfs, 'N'));
        ASSERT_GT(DriveInitialize(&settings_), 0);
        count_ = DriveGetCount();
    }
    void TearDown() override { engine::releaseFileReaders(); }

    std::vector<int> badIndexes() const { return {-1, count_, INT_MAX}; }

    test_support::ScopedSettings scopedSettings_{1};
    EngineSettings& settings_ = scopedSettings_.get();
    int count_ = 0;
};

TEST_F(NullArguments, DriveExportsRefuseNullAndIndexesOutOfRange) {
    EXPECT_EQ(DriveIDByLetter(nullptr), -1);
    EXPECT_EQ(DriveGetParent(nullptr), nullptr);
    EXPECT_EQ(DriveImageCreate(nullptr), nullptr);
    EXPECT_EQ(DriveImageLoad(nullptr), nullptr);
    EXPECT_EQ(DrivesLostSearch(nullptr), nullptr);
    EXPECT_EQ(DriveInitialize(nullptr), 0);
    EXPECT_NE(FileGetNext(), nullptr);  // a null record changed nothing: the volume is still open

    for (const int index : badIndexes()) {
        SCOPED_TRACE(index);
        EXPECT_EQ(DriveGetInformation(index), nullptr);
        EXPECT_EQ(DriveGetInformationEx(index), nullptr);
        ImageRequest image{};
        image.DiskIndex = index;
        EXPECT_EQ(disktest::waitForThread(DriveImageCreate(&image)), 0u);
        EXPECT_EQ(+image.Run, 0);
        LostSearchRequest lost{};
        lost.DiskIndex = index;
        EXPECT_EQ(disktest::waitForThread(DrivesLostSearch(&lost)), static_cast<DWORD>(count_));
    }
    EXPECT_EQ(DriveGetCount(), count_);
}

TEST_F(NullArguments, FileExportsRefuseNullRecordsBuffersAndPaths) {
    EXPECT_EQ(FileGetPath(nullptr), nullptr);
    FoundFileRecord record{};
    resetFoundFileForFill(record);
    record.Size = 100;
    std::vector<std::uint8_t> buffer(512);
    EXPECT_EQ(FileRead(nullptr, buffer.data(), 0, 100), 0u);
    EXPECT_EQ(FileRead(&record, nullptr, 0, 100), 0u);
    EXPECT_EQ(FileRecovery(nullptr, 0, &record), nullptr);
    EXPECT_EQ(FileRecovery(u"/tmp/never-written", 0, nullptr), nullptr);
    EXPECT_EQ(DoFileRecovery(nullptr), 0);
    RecoveryRequest request{};
    EXPECT_EQ(DoFileRecovery(&request), 0);  // no record, no path
    EXPECT_EQ(TryDetectFileType(nullptr), 0);
    EXPECT_EQ(FileGetThumbnail(nullptr), nullptr);
    EXPECT_EQ(FileOpenViewer(nullptr), 0);

    // Record numbers past the volume's records: a record marked damaged.
    for (const std::uint64_t number : {~std::uint64_t{0}, std::uint64_t{INT_MAX}, std::uint64_t{1} << 40}) {
        const FoundFileRecord* info =
            FileGetInfo(static_cast<std::uint32_t>(number), static_cast<std::uint32_t>(number >> 32));
        ASSERT_NE(info, nullptr);
        EXPECT_TRUE(info->Flags & kFileDamaged);
        record.RecordNumber = number;
        record.ParentNumber = number;
        EXPECT_EQ(FileRead(&record, buffer.data(), 0, 100), 0u);
        FileGetPath(&record);  // a path of its own or none, never a fault
    }
}

TEST_F(NullArguments, LogTakesANullFormatAndUnknownTypes) {
    Log(kLogError, "before");
    EXPECT_EQ(Log(kLogError, nullptr), 0);
    for (const int type : {-1, 0, 5, INT_MAX}) Log(type, "type %d", type);
    EXPECT_STREQ(GetLastErrorString(), "");
    EXPECT_NE(GetLogObject(), nullptr);
    EXPECT_NE(GetObjectInformatinStorage(), nullptr);
}

}  // namespace
