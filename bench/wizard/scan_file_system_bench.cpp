// The file-system scan over a FAT32 volume of 100,000 deleted files, all kept ("*.*"):
// the time per entry beyond the engine's own FileGetNext loop, and the heap per kept file
// (its element and its log line), printed as figures. The pages are shown (offscreen
// unless a display is set), so counters and log repaint as they would for a user.
//
//     scan_file_system_bench [work-folder] (default /tmp; the image takes about 60 MB)

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/wizard/scan_bench_image.h"
#include "bench/wizard/scan_bench_support.h"
#include "tests/wizard/scans/test_scan_host.h"
#include "wizard/bridge/message_window.h"
#include "wizard/scans/scan_controller.h"

namespace {

using namespace scanbench;

constexpr std::uint32_t kFolders = 100;
constexpr std::uint32_t kFilesPerFolder = 1000;
constexpr std::uint32_t kFiles = kFolders * kFilesPerFolder;

// DriveInitialize and FileGetNext to the end: the engine's share.
double EngineAlone(const TRecoveryDrive& drive, std::int64_t& entries) {
    EngineSettings settings{};
    settings.DiskNumber = drive.DriveNumber();
    settings.ReadRetries = 1;
    const auto start = Clock::now();
    engine().DriveInitialize(&settings);
    entries = 0;
    while (engine().FileGetNext()) ++entries;
    return SecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    const std::string image = folder + "/scan-file-system-bench.img";
    if (!WriteDeletedFilesImage(image, kFolders, kFilesPerFolder)) {
        std::fprintf(stderr, "cannot write %s\n", image.c_str());
        return 1;
    }
    TestScanHost host;
    host.drive = OpenImage(image, folder);
    if (!host.drive) return 1;
    Settings().RecoveryFilesNameUse = true;  // "*.*": every deleted file is kept

    MessageWindow window;
    TScanFileSystemPage page;
    TScanDriveSectorsPage sectorsPage;
    page.resize(640, 480);
    page.show();
    ScanController controller(host, page, sectorsPage, window);

    constexpr int kRounds = 3;
    double engineBest = 1e9;
    double scanBest = 1e9;
    std::int64_t entries = 0;
    std::size_t bytesPerFile = 0;
    for (int round = 0; round < kRounds; ++round) {
        engineBest = std::min(engineBest, EngineAlone(*host.drive, entries));

        host.fileSystemList.Clear();
        page.MemoLog->clear();
        QCoreApplication::processEvents();
        const std::size_t heapBefore = HeapInUse();
        const auto start = Clock::now();
        controller.ScanFileSystemButtonStartClick();
        scanBest = std::min(scanBest, SecondsSince(start));
        QCoreApplication::processEvents();
        bytesPerFile = (HeapInUse() - heapBefore) / std::max<std::size_t>(host.fileSystemList.Count(), 1);
    }
    const std::size_t kept = host.fileSystemList.Count();
    std::printf("%lld entries, %zu kept (expected %u)\n", static_cast<long long>(entries), kept, kFiles);
    std::printf("engine alone (DriveInitialize + FileGetNext): %.3f s, %.2f us per entry\n",
                engineBest, engineBest * 1e6 / static_cast<double>(entries));
    std::printf("file-system scan: %.3f s, %.2f us per entry beyond the engine\n", scanBest,
                (scanBest - engineBest) * 1e6 / static_cast<double>(entries));
    std::printf("heap per kept file (element, list slot, log line): %zu bytes\n", bytesPerFile);
    std::printf("log: %d text blocks\n", page.MemoLog->document()->blockCount());
    FormatsUnitDone();
    std::remove(image.c_str());
    return kept == kFiles ? 0 : 1;
}
