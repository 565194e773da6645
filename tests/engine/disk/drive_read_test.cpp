#include <atomic>
#include <cstddef>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's allocation hooks (its header is not shipped with every compiler).
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*mallocHook)(const volatile void*, std::size_t), void (*freeHook)(const volatile void*));
#define UNDELETE_HAVE_MALLOC_HOOKS 1
#endif

#include "disk_test_support.h"
#include "engine/disk/drive.h"
#include "engine/disk/sector_pass.h"
#include "engine/exports.h"
#include "platform/fault_injection.h"

namespace {

using disktest::numberedSectors;
using disktest::PauseLog;
using disktest::ReportWindow;
using disktest::ScopedSettings;
using disktest::sectorNumberAt;

constexpr std::uint64_t kSectors = 64;

// A drive of `kind` over numbered in-memory sectors whose reads follow `plan`.
struct FaultyDrive {
    explicit FaultyDrive(std::uint64_t baseOffset = 0, std::int32_t kind = kDriveImage, std::uint64_t sectors = kSectors)
        : image(numberedSectors(sectors)), plan(std::make_shared<platform::FaultPlan>()) {
        drive.SetSource({kind, "memory", baseOffset, sectors * 512 - baseOffset});
        drive.SetDeviceOpener(platform::faultyOpener(plan, platform::memoryOpener(image)));
        drive.SetSleeper(pauses.sleeper());
    }

    std::shared_ptr<std::vector<std::uint8_t>> image;
    std::shared_ptr<platform::FaultPlan> plan;
    PauseLog pauses;
    CDrive drive;
};

TEST(DriveRead, ClosedDriveOpensItselfAndAddsItsBaseOffset) {
    ScopedSettings settings;
    for (const std::uint64_t base : {0u, 4096u}) {
        FaultyDrive f(base);
        std::vector<std::uint8_t> buffer(3 * 512);
        EXPECT_EQ(f.drive.ReadSectors(5, 3, buffer.data()), 3u * 512) << base;
        EXPECT_EQ(sectorNumberAt(&buffer[0]), 5 + base / 512);
        EXPECT_EQ(sectorNumberAt(&buffer[1024]), 7 + base / 512);
        EXPECT_EQ(f.plan->reads().at(0).offset, 5 * 512 + base);
        EXPECT_EQ(f.plan->opens(), 1);
    }
}

TEST(DriveRead, ReadsAreClampedToTheDiskAndWriteNothingPastWhatTheyReturn) {
    ScopedSettings settings;
    const struct {
        const char* name;
        std::uint64_t lba, count, bytes;
    } cases[] = {
        {"count zero", 3, 0, 0},
        {"ending past the disk", kSectors - 2, 8, 1024},
        {"starting at the end", kSectors, 1, 0},
        {"starting past the end", kSectors + 1, 4, 0},
        {"overflowing range", UINT64_MAX, UINT64_MAX, 0},
    };
    for (const auto& c : cases) {
        FaultyDrive f;
        std::vector<std::uint8_t> buffer(8 * 512, 0xCC);
        EXPECT_EQ(f.drive.ReadSectors(c.lba, c.count, buffer.data()), c.bytes) << c.name;
        EXPECT_EQ(buffer[c.bytes], 0xCC) << c.name;
        EXPECT_EQ(f.plan->reads().empty(), c.bytes == 0) << c.name;
        if (c.count == 0) {
            EXPECT_EQ(f.plan->opens(), 0);
        }
    }
    FaultyDrive f;
    std::vector<std::uint8_t> buffer(2 * 512);
    ASSERT_EQ(f.drive.ReadSectors(kSectors - 2, 2, buffer.data()), 1024u);
    EXPECT_EQ(sectorNumberAt(&buffer[512]), kSectors - 1);
}

TEST(DriveRead, EachFailedAttemptPostsOneReportAndPausesUntilTheRetriesRunOut) {
    const struct {
        const char* name;
        std::int32_t retries;
        std::uint32_t pause;
        int failures;  // -1: every read fails
        std::uint64_t bytes;
        std::size_t reports;
    } cases[] = {
        {"always failing", 3, 100, -1, 0, 3},
        {"later attempt succeeds", 5, 0, 2, 512, 2},
        {"no retries", 0, 100, -1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReportWindow window;
        ScopedSettings settings(c.retries, c.pause, window.handle());
        FaultyDrive f(4096);
        f.plan->failReads(0, UINT64_MAX, EIO, c.failures);
        std::vector<std::uint8_t> buffer(512);
        EXPECT_EQ(f.drive.ReadSectors(2, 1, buffer.data()), c.bytes);
        const auto& reports = window.reports();
        ASSERT_EQ(reports.size(), c.reports);
        for (std::uint32_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(+reports[i].Code, kIoErrorRead);
            EXPECT_EQ(+reports[i].SystemError, static_cast<std::uint32_t>(EIO));
            EXPECT_EQ(+reports[i].Attempt, i + 1);
            EXPECT_EQ(+reports[i].Position, 2u * 512 + 4096);  // base offset included
            for (std::uint8_t reserved : reports[i].Reserved20) EXPECT_EQ(reserved, 0);
        }
        EXPECT_EQ(f.pauses.pauses, std::vector<std::uint32_t>(c.pause ? c.reports : 0, c.pause));
        // Every attempt reads again from the same position.
        EXPECT_EQ(f.plan->reads().size(), c.reports + (c.bytes ? 1 : 0));
        for (const auto& call : f.plan->reads()) EXPECT_EQ(call.offset, 2u * 512 + 4096);
        if (c.bytes) {
            EXPECT_EQ(sectorNumberAt(buffer.data()), 10u);
        }
    }
}

#if defined(UNDELETE_HAVE_MALLOC_HOOKS)
std::atomic<int> reportSizedAllocations{0};
void countAllocation(const volatile void*, std::size_t size) {
    if (size == sizeof(IoErrorReport)) ++reportSizedAllocations;
}
void ignoreFree(const volatile void*) {}
#endif

TEST(DriveRead, WithoutANotifyWindowNothingIsAllocated) {
#if defined(UNDELETE_HAVE_MALLOC_HOOKS)
    static const bool installed =
        __sanitizer_install_malloc_and_free_hooks(countAllocation, ignoreFree) != 0;
    ASSERT_TRUE(installed);
    ScopedSettings settings(4, 0, 0);
    FaultyDrive f;
    f.plan->failReads(0, UINT64_MAX, EIO, -1);
    std::vector<std::uint8_t> buffer(512);
    ASSERT_TRUE(f.drive.OpenDrive());
    reportSizedAllocations = 0;
    EXPECT_EQ(f.drive.ReadSectors(0, 1, buffer.data()), 0u);
    EXPECT_EQ(reportSizedAllocations.load(), 0);
    EXPECT_EQ(f.plan->reads().size(), 4u);

    // The same failures with a window allocate one block per report.
    ReportWindow window;
    settings.get().NotifyWindow = window.handle();
    EXPECT_EQ(f.drive.ReadSectors(0, 1, buffer.data()), 0u);
    EXPECT_EQ(reportSizedAllocations.load(), 4);
    EXPECT_EQ(window.reports().size(), 4u);
#else
    GTEST_SKIP() << "needs the sanitizer allocator hooks";
#endif
}

TEST(DriveRead, ReportToAWindowThatIsGoneIsFreedByThePoster) {
    HWND gone = 0;
    {
        ReportWindow window;
        gone = window.handle();
    }
    ScopedSettings settings(2, 0, gone);
    FaultyDrive f;
    f.plan->failReads(0, UINT64_MAX, EIO, -1);
    std::vector<std::uint8_t> buffer(512);
    // The leak checker fails the run if a refused block stays allocated.
    EXPECT_EQ(f.drive.ReadSectors(0, 1, buffer.data()), 0u);
}

TEST(DriveRead, ShortReadAtTheDeviceEndIsReturnedAsItIs) {
    ReportWindow window;
    ScopedSettings settings(3, 0, window.handle());
    FaultyDrive f;
    f.plan->cutReadsAt(20 * 512 + 100);
    std::vector<std::uint8_t> buffer(4 * 512);
    EXPECT_EQ(f.drive.ReadSectors(19, 4, buffer.data()), 612u);
    EXPECT_TRUE(window.reports().empty());
}

TEST(DriveRead, DeadHandleIsReopenedOnceWithoutAReport) {
    ReportWindow window;
    ScopedSettings settings(1, 0, window.handle());
    FaultyDrive f;
    ASSERT_TRUE(f.drive.OpenDrive());
    f.plan->killHandleOnce();
    std::vector<std::uint8_t> buffer(512);
    EXPECT_EQ(f.drive.ReadSectors(6, 1, buffer.data()), 512u);
    EXPECT_EQ(sectorNumberAt(buffer.data()), 6u);
    EXPECT_EQ(f.plan->opens(), 2);
    EXPECT_TRUE(window.reports().empty());
}

TEST(DriveRead, FailedReopenIsReportedAsAPositioningFailure) {
    ReportWindow window;
    ScopedSettings settings(3, 50, window.handle());
    FaultyDrive f;
    ASSERT_TRUE(f.drive.OpenDrive());
    f.plan->killHandleOnce();
    f.plan->failOpens(EACCES, 1);
    std::vector<std::uint8_t> buffer(512);
    EXPECT_EQ(f.drive.ReadSectors(1, 1, buffer.data()), 0u);
    ASSERT_EQ(window.reports().size(), 1u);
    const IoErrorReport& report = window.reports()[0];
    EXPECT_EQ(+report.Code, kIoErrorSeek);
    EXPECT_EQ(+report.Attempt, 0u);
    EXPECT_EQ(+report.SystemError, static_cast<std::uint32_t>(EACCES));
    EXPECT_EQ(+report.Position & 0xFFFFFFFFu, 0xFFFFFFFFu);
    EXPECT_TRUE(f.pauses.pauses.empty());
}

TEST(DriveRead, OpenFailureIsLoggedWithPathAndErrno) {
    ScopedSettings settings;
    CDrive drive;
    drive.SetSource({kDriveImage, "/nonexistent/undelete-image.img", 0, 0});
    EXPECT_FALSE(drive.OpenDrive());
    EXPECT_STREQ(GetLastErrorString(),
                 ("Can't open drive: /nonexistent/undelete-image.img, code: " +
                  std::to_string(ENOENT))
                     .c_str());
    EXPECT_EQ(drive.Initialize(), 0u);
    std::vector<std::uint8_t> buffer(512);
    EXPECT_EQ(drive.ReadSectors(0, 1, buffer.data()), 0u);

    CDrive withoutSource;
    EXPECT_FALSE(withoutSource.OpenDrive());
    EXPECT_TRUE(withoutSource.openPath().empty());
}

TEST(DriveRead, RegionsReadThroughTheirParentsPath) {
    ScopedSettings settings;
    auto image = numberedSectors(kSectors);
    std::vector<std::string> opened;
    CDrive drive;
    drive.SetSource({kDriveRegion, "region-of-disk-0", 1024, 8 * 512});
    drive.SetParentPath("/dev/parent-disk");
    drive.SetDeviceOpener([&](const std::string& path, platform::OpenMode mode) {
        opened.push_back(path);
        return platform::memoryOpener(image)(path, mode);
    });
    std::vector<std::uint8_t> buffer(16 * 512);
    EXPECT_EQ(drive.ReadSectors(0, 16, buffer.data()), 8u * 512);
    EXPECT_EQ(sectorNumberAt(buffer.data()), 2u);
    EXPECT_EQ(opened, (std::vector<std::string>{"/dev/parent-disk"}));

    CDrive sizeless;  // a region without a size reads nothing
    sizeless.SetSource({kDriveRegion, "", 0, 0});
    sizeless.SetParentPath("memory");
    sizeless.SetDeviceOpener(platform::memoryOpener(image));
    EXPECT_EQ(sizeless.ReadSectors(0, 1, buffer.data()), 0u);
}

TEST(DriveRead, ReopeningRacesNoReadOfAnotherThread) {
    ScopedSettings settings(1, 0, 0);
    FaultyDrive f;
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&, t] {
            std::vector<std::uint8_t> buffer(2 * 512);
            for (int i = 0; i < 2000; ++i) {
                const std::uint64_t lba = static_cast<std::uint64_t>((i + t) % (kSectors - 2));
                if (f.drive.ReadSectors(lba, 2, buffer.data()) != 1024 ||
                    sectorNumberAt(&buffer[512]) != lba + 1) {
                    ++bad;
                }
            }
        });
    }
    std::thread reopener([&] {
        while (!stop) f.drive.OpenDrive();
    });
    for (auto& reader : readers) reader.join();
    stop = true;
    reopener.join();
    EXPECT_EQ(bad.load(), 0);
}

// The rule of every sector-by-sector pass, over a drive read in two pieces: a failing run
// is read whole once, a bad sector gets every attempt and pause, a dead region a handful
// of reads (also in the next piece), and each run of failures one report.
TEST(SectorPass, BadSectorsCostTheirAttemptsAndADeadRegionAHandfulOfReads) {
    using engine::disk::SectorState;
    constexpr std::uint64_t kPiece = 4096, kPassSectors = 2 * kPiece;
    const struct {
        const char* name;
        std::int32_t retries;
        std::uint64_t badFrom, badTo;
        std::size_t failedReads, pauses, reports;  // failed reads: at most, when a dead region is probed
    } cases[] = {
        {"one bad sector", 4, 100, 101, 1 + 4, 4, 1},
        // The second gets one look ahead of the first, then its own attempts.
        {"two in a row", 4, 100, 102, 1 + 4 + 1 + 4, 8, 1},
        {"dead region across the pieces", 4, 3000, 6000, 30, 4, 1},
        {"no attempts", 0, 3000, 6000, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReportWindow window;
        ScopedSettings settings(c.retries, 20, window.handle());
        FaultyDrive f(0, kDriveImage, kPassSectors);
        f.plan->failReads(c.badFrom * 512, c.badTo * 512, EIO, -1);
        engine::disk::SectorPass pass(
            [&](std::uint64_t first, std::span<std::uint8_t> out, engine::disk::Attempts) {
                return f.drive.ReadSectors(first, out.size() / 512, out.data());
            },
            kPassSectors);
        std::vector<std::uint8_t> buffer(kPassSectors * 512, 0xCC);
        std::vector<SectorState> states;
        for (std::uint64_t first = 0; first < kPassSectors; first += kPiece) {
            const auto piece = pass.readRun(first, {buffer.data() + first * 512, kPiece * 512});
            states.insert(states.end(), piece.begin(), piece.end());
        }
        EXPECT_LE(f.plan->failedReads(), c.failedReads);
        EXPECT_EQ(f.pauses.pauses.size(), c.pauses);
        ASSERT_EQ(window.reports().size(), c.reports);
        if (c.reports) {
            EXPECT_EQ(+window.reports()[0].Position, c.badFrom * 512);
            EXPECT_EQ(+window.reports()[0].Attempt, static_cast<std::uint32_t>(c.retries));
        }
        for (std::uint64_t s = 0; s < kPassSectors; ++s) {
            const bool bad = s >= c.badFrom && s < c.badTo;
            ASSERT_EQ(states[s] == SectorState::Read, c.retries != 0 && !bad) << s;
            ASSERT_EQ(sectorNumberAt(&buffer[s * 512]), states[s] == SectorState::Read ? s : 0) << s;
        }
        if (c.retries == 0) {
            EXPECT_TRUE(f.plan->reads().empty());
        }
    }
}

TEST(DriveFileRead, ReturnsTheBytesAskedForOrActuallyRead) {
    ScopedSettings settings;
    const struct {
        const char* name;
        std::uint64_t position, offset, size, bytes;
    } cases[] = {
        {"whole sectors", 4 * 512, 0, 1024, 1024},
        {"nothing", 4 * 512, 0, 0, 0},
        {"short at the disk end", (kSectors - 1) * 512, 0, 1000, 512},
        // The low 32 bits of the size are 512; the drive clamps the run to its end.
        {"above 4 GiB", 0, 0, (std::uint64_t{1} << 32) + 512, kSectors * 512},
    };
    for (const auto& c : cases) {
        FaultyDrive f;
        FoundFileRecord record{};
        record.DataPosition = c.position;
        std::vector<std::uint8_t> buffer(kSectors * 512);
        EXPECT_EQ(f.drive.FileRead({buffer.data(), c.offset, c.size, &record}), c.bytes) << c.name;
    }
    FaultyDrive f;
    FoundFileRecord record{};
    record.DataPosition = 4 * 512;
    std::vector<std::uint8_t> buffer(2 * 512);
    ASSERT_EQ(f.drive.FileRead({buffer.data(), 512, 1000, &record}), 1000u);
    EXPECT_EQ(sectorNumberAt(buffer.data()), 5u);
    EXPECT_EQ(f.plan->reads().back().bytes, 1024u);
}

TEST(DriveFileRead, UnreadableDataGivesZeroAndAnErrorLine) {
    ScopedSettings settings(1, 0, 0);
    FaultyDrive f;
    f.plan->failReads(0, UINT64_MAX, EIO, -1);
    FoundFileRecord record{};
    record.DataPosition = 3 * 512;
    std::vector<std::uint8_t> buffer(512);
    EXPECT_EQ(f.drive.FileRead({buffer.data(), 0, 512, &record}), 0u);
    EXPECT_STREQ(GetLastErrorString(), "CDrive.FileRead: Can't read sector at: 3");
}

}  // namespace
