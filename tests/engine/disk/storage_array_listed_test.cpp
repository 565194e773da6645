// Disk images presented through UNDELETE_DISKS, end to end through the exports.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/disk/listed_disks.h"
#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/messages.h"
#include "platform/handles.h"
#include "platform/messages.h"

namespace {

namespace fs = std::filesystem;

class ListedDisks : public ::testing::Test {
protected:
    void SetUp() override {
        const char* data = std::getenv("UNDELETE_TEST_DATA");
        if (!data) GTEST_SKIP() << "UNDELETE_TEST_DATA is not set";
        data_ = fs::path(data) / "disks";
        work_ = fs::temp_directory_path() / ("listed-" + std::to_string(::getpid()));
        fs::create_directories(work_);
        ASSERT_EQ(Library_Initialize(u"\\Software\\Test"), 1);
    }
    void TearDown() override {
        ::unsetenv(engine::kListedDisksVariable);
        if (!work_.empty()) fs::remove_all(work_);
    }

    std::string unpack(const std::string& name) {
        const fs::path target = work_ / name;
        const std::string command = "gzip -dc '" + (data_ / (name + ".gz")).string() + "' > '" + target.string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return target.string();
    }
    // Rescans through the export and returns the thread's exit code and the letters announced.
    std::pair<DWORD, std::string> rescan(const std::string& disks) {
        ::setenv(engine::kListedDisksVariable, disks.c_str(), 1);
        std::string letters;
        platform::QueueWindow window([&](const platform::Message& message) {
            if (message.message == WM_ENGINE_DRIVE_FOUND) letters += static_cast<char>(message.lParam);
            return LRESULT{0};
        });
        HANDLE thread = DrivesRescan(window.handle());
        EXPECT_NE(thread, nullptr);
        EXPECT_EQ(WaitForSingleObject(thread, 20000), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        window.dispatchPending();
        return {code, letters};
    }

    fs::path data_;
    fs::path work_;
};

TEST_F(ListedDisks, MbrImageAndBareVolumeGiveTwoDisksAndThreeVolumes) {
    const std::string mbr = unpack("mbr_fat_ntfs.img");
    const std::string bare = unpack("bare_fat.img");
    const auto [count, letters] = rescan(mbr + ":" + bare);
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(letters, "01CDE");
    ASSERT_EQ(DriveGetCount(), 5);

    const _LDRIVE* disk0 = DriveGetInformation(0);
    EXPECT_EQ(+disk0->Kind, kDrivePhysical);
    EXPECT_EQ(+disk0->Letter, '0');
    EXPECT_EQ(+disk0->SpaceTotal, 12u << 20);
    EXPECT_EQ(+DriveGetInformation(1)->SpaceTotal, 2u << 20);

    const _LDRIVE* c = DriveGetInformation(DriveIDByLetter("c"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(+c->Kind, kDriveVolume);
    EXPECT_EQ(+c->ParentId, 0);
    EXPECT_EQ(+c->BaseOffset, 1u << 20);
    EXPECT_EQ(+c->SpaceTotal, 4u << 20);
    EXPECT_EQ(+c->TotalSectors, 8192u);
    EXPECT_EQ(+c->FileSystemCode, kFileSystemFat16);
    EXPECT_STREQ(c->FileSystemName, "FAT16");  // partition type 6 is FAT16, not NTFS
    EXPECT_EQ(std::string(c->Label).substr(0, 6), "MBRFAT");

    const _LDRIVE* d = DriveGetInformation(DriveIDByLetter("D"));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(+d->BaseOffset, 5u << 20);
    EXPECT_EQ(+d->SpaceTotal, 6u << 20);
    EXPECT_EQ(+d->FileSystemCode, kFileSystemNtfs);
    EXPECT_STREQ(d->FileSystemName, "NTFS");

    const int eId = DriveIDByLetter("e");
    ASSERT_EQ(eId, 4);
    const _LDRIVE* e = DriveGetInformation(eId);
    EXPECT_EQ(+e->ParentId, 1);
    EXPECT_EQ(+e->BaseOffset, 0u);
    EXPECT_EQ(+e->SpaceTotal, 2u << 20);
    EXPECT_EQ(+e->FileSystemCode, kFileSystemFat12);
    EXPECT_STREQ(e->FileSystemName, "FAT12");  // from its boot sector: no table, no mount
    EXPECT_EQ(std::string(e->Label).substr(0, 7), "BAREFAT");

    EXPECT_EQ(DriveGetInformation(5), nullptr);
    EXPECT_EQ(DriveGetInformation(-1), nullptr);
    EXPECT_EQ(DriveGetInformationEx(-3), nullptr);
    EXPECT_EQ(DriveGetParent(reinterpret_cast<CDrive*>(0)), nullptr);
}

TEST_F(ListedDisks, GptImageGivesItsPartition) {
    const auto [count, letters] = rescan(unpack("gpt_fat.img"));
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(letters, "0C");
    const _LDRIVE* c = DriveGetInformation(1);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(+c->BaseOffset, 1u << 20);
    EXPECT_EQ(+c->SpaceTotal, 4u << 20);
    EXPECT_EQ(+c->FileSystemCode, kFileSystemFat16);
    EXPECT_STREQ(c->FileSystemName, "FAT16");  // partition type 6 is FAT16, not NTFS
    // The boot sector of the volume reads through the image at the partition's offset.
    ASSERT_NE(DriveGetInformationEx(1), nullptr);
    EXPECT_EQ(std::string(DriveGetInformation(1)->Label).substr(0, 6), "GPTFAT");
}

TEST_F(ListedDisks, MissingFileIsANotReadyDiskWithoutVolumes) {
    const std::string bare = unpack("bare_fat.img");
    const auto [count, letters] = rescan((work_ / "absent.img").string() + "::" + bare);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(letters, "01C");
    EXPECT_EQ(+DriveGetInformation(2)->ParentId, 1);
}

TEST_F(ListedDisks, DriveAddAppendsAnEmptyDriveThatARescanDrops) {
    rescan(unpack("bare_fat.img"));
    const int before = DriveGetCount();
    CDrive* added = DriveAdd();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(DriveGetCount(), before + 1);
    EXPECT_EQ(+DriveGetInformation(before)->Id, before);
    EXPECT_EQ(+DriveGetInformation(before)->FileSystemCode, kFileSystemNone);
    EXPECT_EQ(DriveGetParent(added), nullptr);
    rescan(unpack("bare_fat.img"));
    EXPECT_EQ(DriveGetCount(), before);
}

TEST_F(ListedDisks, OpenedDriveOutlivesARescanUntilTheNextInitialize) {
    const std::string bare = unpack("bare_fat.img");
    rescan(bare);
    ASSERT_GT(DriveInitializeSimple(DriveIDByLetter("C")), 0);
    const CDrive* opened = engine::state().currentDrive.get();
    rescan(bare);
    EXPECT_NE(DriveGetParent(const_cast<CDrive*>(opened)), nullptr);  // the new disk 0
    // Reads of the drive that was opened before go on (ASan watches for a freed drive).
    EXPECT_EQ(engine::state().currentDrive.get(), opened);
    FileGetNext();
    EXPECT_EQ(+opened->GetDriveInfo()->Letter, 'C');
    engine::releaseFileReaders();
}

TEST(ListedDiskPaths, SplitOnColonsSkippingEmptyOnes) {
    ::unsetenv(engine::kListedDisksVariable);
    EXPECT_FALSE(engine::listedDiskPaths().has_value());
    ::setenv(engine::kListedDisksVariable, ":/a.img::/dev/sdb:", 1);
    EXPECT_EQ(engine::listedDiskPaths(), (std::vector<std::string>{"/a.img", "/dev/sdb"}));
    ::setenv(engine::kListedDisksVariable, "", 1);
    EXPECT_EQ(engine::listedDiskPaths(), std::vector<std::string>{});
    ::unsetenv(engine::kListedDisksVariable);
}

}  // namespace
