// DriveInitialize on listed files: a raw drive of a terabyte, and the last-error text of
// each failure.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>

#include "engine/disk/listed_images.h"
#include "engine/log.h"
#include "engine/messages.h"
#include "platform/messages.h"

namespace {

using namespace std::chrono_literals;
using ListedFiles = disktest::ListedImages;

constexpr std::uint64_t kTiB = std::uint64_t{1} << 40;

TEST_F(ListedFiles, ATerabyteRawDriveInitializesAndItsSearchStopsAtOnce) {
    disktest::TempFile file;
    ASSERT_TRUE(file.resize(kTiB));
    ASSERT_EQ(rescan(file.path()).first, 2u);  // the disk, and the file read whole as a volume

    disktest::ScopedSettings scoped(1);
    EngineSettings& settings = scoped.get();
    settings.DiskNumber = DriveIDByLetter("C");
    EXPECT_EQ(DriveInitialize(&settings), INT_MAX) << GetLastErrorString();
    EXPECT_EQ(+DriveGetInformation(settings.DiskNumber)->TotalSectors, kTiB / 512);

    int progress = 0;
    platform::QueueWindow window([&](const platform::Message& message) {
        if (message.message == WM_ENGINE_SEARCH_PROGRESS) ++progress;
        return LRESULT{0};
    });
    settings.NotifyWindow = window.handle();
    settings.Run = 1;
    HANDLE search = DriveSearchSignatures();
    ASSERT_NE(search, nullptr);
    // Once the first block is done the search is told to stop.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (progress == 0 && std::chrono::steady_clock::now() < deadline) window.dispatchOne(100ms);
    ASSERT_GT(progress, 0);
    EXPECT_EQ(+settings.TotalClusters, kTiB / 512);  // the whole drive
    const auto stopped = std::chrono::steady_clock::now();
    std::atomic_ref<std::int32_t>(settings.Run).store(0);
    EXPECT_EQ(WaitForSingleObject(search, 5000), WAIT_OBJECT_0);
    CloseHandle(search);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 5s);
    EXPECT_LT(+settings.CurrentCluster, kTiB / 512);
    settings.NotifyWindow = 0;
}

TEST_F(ListedFiles, AFailedInitializeLeavesItsOwnFailureAsTheLastError) {
    disktest::TempFile empty;
    const std::string gone = unpack("bare_fat.img");
    ASSERT_EQ(rescan(empty.path() + ":" + gone).first, 4u);
    ::unlink(gone.c_str());
    const int count = DriveGetCount();
    const struct {
        int index;
        std::string error;
    } cases[] = {
        {-1, "DiskInitialize: DiskNumber < 0"},
        {count, "DiskInitialize: DiskNumber >= Total disks"},
        {INT_MAX, "DiskInitialize: DiskNumber >= Total disks"},
        {DriveIDByLetter("D"), "Can't open drive: " + gone + ", code: 2"},
        {DriveIDByLetter("C"), "Can't read boot sector on " + empty.path()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        disktest::ScopedSettings scoped(1);
        EngineSettings& settings = scoped.get();
        settings.DiskNumber = c.index;
        Log(kLogError, "an earlier failure");
        EXPECT_EQ(DriveInitialize(&settings), 0);
        EXPECT_EQ(GetLastErrorString(), c.error);
        Log(kLogError, "an earlier failure");
        EXPECT_EQ(DriveInitializeSimple(c.index), 0);
        EXPECT_EQ(GetLastErrorString(), c.error);
    }
}

}  // namespace
