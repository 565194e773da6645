// The sector scan over a 512 MiB raw image with a JPEG header in every 512-byte unit
// (1,048,576 hits, JPEG searched), printed as figures:
//  - the time per hit beyond the same search with a found-file callback (the engine
//    alone, on its own thread, without messages), and beyond the same search sending
//    its hits to handlers that do nothing (the engine and the blocking send);
//  - the hit handler alone, the hits sent from the GUI thread itself;
//  - the heap per listed hit (its element, list slot and log line);
//  - how often the page repainted during the scan (largest gap between paints);
//  - Stop pressed when a quarter of the hits are listed: the time until the scan has
//    ended and the clusters searched after the press.
//
//     scan_drive_sectors_bench [work-folder] (default /tmp; the image takes 512 MiB)

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/wizard/scan_bench_support.h"
#include "engine/messages.h"
#include "platform/local_heap.h"
#include "platform/messages.h"
#include "tests/wizard/scans/test_scan_host.h"
#include "wizard/bridge/message_window.h"
#include "wizard/bridge/pumping_wait.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/scans/batched_log.h"
#include "wizard/scans/engine_params.h"
#include "wizard/scans/scan_controller.h"

namespace {

using namespace scanbench;

constexpr std::uint64_t kImageBytes = std::uint64_t{512} << 20;
constexpr std::size_t kUnit = 512;
constexpr std::uint64_t kHits = kImageBytes / kUnit;

bool WriteImage(const std::string& path) {
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::vector<std::uint8_t> chunk(std::size_t{1} << 20, 0);
    const std::uint8_t header[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'};
    for (std::size_t at = 0; at < chunk.size(); at += kUnit) std::memcpy(&chunk[at], header, sizeof header);
    bool written = true;
    for (std::uint64_t at = 0; at < kImageBytes && written; at += chunk.size()) {
        written = ::write(fd, chunk.data(), chunk.size()) == static_cast<ssize_t>(chunk.size());
    }
    ::close(fd);
    return written;
}

std::atomic<std::uint64_t> callbackHits{0};
void CountHit(std::uint32_t, FoundFileRecord*) { callbackHits.fetch_add(1, std::memory_order_relaxed); }

// The same search with a callback: the engine alone.
double EngineAlone(const TRecoveryDrive& drive) {
    EngineSettings& settings = RunEngineSettings();
    DoInitializeParams(settings, drive.DriveNumber(), 0);
    settings.FoundCallback = &CountHit;
    engine().DriveInitialize(&settings);
    callbackHits = 0;
    const auto start = Clock::now();
    engine().DriveSearchSignatures();
    const double seconds = SecondsSince(start);
    settings.FoundCallback = nullptr;
    return seconds;
}

// The same search sending its hits to a window whose handlers do nothing: the engine and
// the blocking send alone.
double EngineWithEmptyHandlers(const TRecoveryDrive& drive) {
    MessageWindow plain;
    std::uint64_t hits = 0;
    plain.setHandler(WM_ENGINE_FILE_FOUND, PayloadKind::SameBlockInBoth, [&](WPARAM, LPARAM) {
        ++hits;
        return 0;
    });
    plain.setHandler(WM_ENGINE_SEARCH_PROGRESS, PayloadKind::None, [](WPARAM, LPARAM) { return 0; });
    EngineSettings& settings = RunEngineSettings();
    DoInitializeParams(settings, drive.DriveNumber(), plain.handle());
    engine().DriveInitialize(&settings);
    const auto start = Clock::now();
    const HANDLE thread = engine().DriveSearchSignatures();
    pumpingWait(thread);
    CloseHandle(thread);
    const double seconds = SecondsSince(start);
    std::printf("the same search sending to empty handlers: %llu hits in %.3f s, %.2f us per hit\n",
                static_cast<unsigned long long>(hits), seconds, seconds * 1e6 / static_cast<double>(hits));
    return seconds;
}

// Paint times of the widgets it watches.
class PaintClock : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && active) paints.push_back(Clock::now());
        return QObject::eventFilter(watched, event);
    }
    bool active = false;
    std::vector<Clock::time_point> paints;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    const std::string image = folder + "/scan-drive-sectors-bench.img";
    std::printf("writing %s (512 MiB, a JPEG header in every unit)\n", image.c_str());
    if (!WriteImage(image)) {
        std::fprintf(stderr, "cannot write %s\n", image.c_str());
        return 1;
    }
    TestScanHost host;
    host.drive = OpenImage(image, folder);
    if (!host.drive) return 1;
    const TFormatsList& formats = DataStorage->Formats();
    for (std::size_t i = 0; i < formats.Count(); ++i) {
        TFormat format = formats[i];
        format.Search = format.Title == "JPEG";
        DataStorage->ChangeFormat(i, format);
    }

    MessageWindow window;
    TScanFileSystemPage fileSystemPage;
    TScanDriveSectorsPage page;
    page.resize(640, 480);
    page.show();
    ScanController controller(host, fileSystemPage, page, window);
    PaintClock paints;
    QWidget* const watchedWidgets[] = {page.MemoLog->viewport(), page.LabelCurrentSector,
                                       page.LabelFilesFound, page.ProgressBar};
    for (QWidget* watched : watchedWidgets) watched->installEventFilter(&paints);

    const double engineSeconds = EngineAlone(*host.drive);
    std::printf("engine alone with a callback: %llu hits in %.3f s\n",
                static_cast<unsigned long long>(callbackHits.load()), engineSeconds);

    const double sendSeconds = EngineWithEmptyHandlers(*host.drive);

    QCoreApplication::processEvents();
    const std::size_t heapBefore = HeapInUse();
    paints.active = true;
    auto start = Clock::now();
    controller.ScanDriveSectorsButtonStartClick();
    const double scanSeconds = SecondsSince(start);
    paints.active = false;
    const std::size_t listed = host.driveSectorsList.Count();
    const std::size_t heapPerHit = (HeapInUse() - heapBefore) / std::max<std::size_t>(listed, 1);
    std::vector<double> gaps;
    for (std::size_t i = 1; i < paints.paints.size(); ++i) {
        gaps.push_back(std::chrono::duration<double>(paints.paints[i] - paints.paints[i - 1]).count() * 1e3);
    }
    std::sort(gaps.begin(), gaps.end());
    const auto gapAt = [&](double share) {
        return gaps.empty() ? 0.0 : gaps[static_cast<std::size_t>(share * static_cast<double>(gaps.size() - 1))];
    };
    std::printf("sector scan: %zu hits listed in %.3f s, %.2f us per hit beyond the engine alone, "
                "%.2f us beyond the search sending to empty handlers\n",
                listed, scanSeconds, (scanSeconds - engineSeconds) * 1e6 / static_cast<double>(kHits),
                (scanSeconds - sendSeconds) * 1e6 / static_cast<double>(kHits));
    std::printf("heap per listed hit (element, list slot, log line): %zu bytes\n", heapPerHit);
    std::printf("repaints: %zu in %.1f s; gaps between them: median %.0f ms, 99th percentile %.0f ms, "
                "largest %.0f ms (the size fill of a million hits included)\n",
                paints.paints.size(), scanSeconds, gapAt(0.5), gapAt(0.99), gapAt(1.0));

    // The handler alone: the same hits sent from the GUI thread, which handles them at once.
    host.driveSectorsList.Clear();
    page.MemoLog->clear();
    start = Clock::now();
    for (std::uint64_t i = 0; i < kHits; ++i) {
        FoundFileRecord hit{};
        hit.Flags = kFileDeleted | kFileFoundBySignature;
        hit.Size = kUnknownSize;
        hit.TypeCode = 83;
        hit.DataPosition = i * kUnit;
        void* block = LocalAlloc(LPTR, sizeof hit);
        std::memcpy(block, &hit, sizeof hit);
        SendMessageW(window.handle(), WM_ENGINE_FILE_FOUND, reinterpret_cast<WPARAM>(block),
                     reinterpret_cast<LPARAM>(block));
        if (i % 4096 == 0) QCoreApplication::processEvents();
    }
    page.Log().Flush();
    std::printf("the hit handler alone on the GUI thread: %.2f us per hit (%zu listed); the rest is "
                "the engine thread's blocking send\n",
                SecondsSince(start) * 1e6 / static_cast<double>(kHits), host.driveSectorsList.Count());

    // Stop once a quarter of the hits are listed.
    host.driveSectorsList.Clear();
    page.MemoLog->clear();
    Clock::time_point pressed;
    std::uint64_t clusterAtPress = 0;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (host.driveSectorsList.Count() < kHits / 4) return;
        poll.stop();
        clusterAtPress = RunEngineSettings().CurrentCluster;
        pressed = Clock::now();
        page.ButtonStop->click();
    });
    poll.start();
    controller.ScanDriveSectorsButtonStartClick();
    const double stopSeconds = SecondsSince(pressed);
    const std::uint64_t clusterAtEnd = RunEngineSettings().CurrentCluster;
    const std::uint64_t blockClusters = RunEngineSettings().BufferSize / host.drive->Info().BytesPerCluster;
    std::printf("stop: scan ended %.1f ms after the press; %llu clusters searched after it (a block is %llu)\n",
                stopSeconds * 1e3, static_cast<unsigned long long>(clusterAtEnd - clusterAtPress),
                static_cast<unsigned long long>(blockClusters));
    FormatsUnitDone();
    std::remove(image.c_str());
    return listed == kHits ? 0 : 1;
}
