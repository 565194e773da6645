// The preview page over a found-file list of 1,000,000 elements, and the thumbnail worker
// on the real engine, printed as figures:
//  1. page show, the views' heap per row, a scroll step repainted, a selection update;
//  2. sorts by name and size by header click with three elements selected (kept), and
//     with every element selected; select all, invert, and invert of a scattered
//     selection;
//  3. thumbnails per second on the fat12-hits image (real pictures planted in it), and
//     how long StopThumbnails takes while the worker runs.
// Usage: preview_bench [elements] (uses temporary folders of its own).

#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QScrollBar>
#include <QTableView>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "tests/wizard/support/planted_pictures.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/forms/preview/preview_file_system.h"
#include "wizard/forms/preview/thumbnails_thread.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/settings/settings_values.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::size_t heapInUse() {
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

const char16_t* benchPath(FoundFileRecord*) { return u"C:\\Photos\\2021\\"; }
HBITMAP noThumbnail(FoundFileRecord*) { return nullptr; }

// Elements with 16-letter names of a few extensions, sizes and times from a generator.
void fill(TBaseSortedList& list, std::size_t count) {
    const char16_t* extensions[] = {u".jpg", u".txt", u".doc", u".mp3", u".png"};
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    const auto next = [&] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    for (std::size_t i = 0; i < count; ++i) {
        std::u16string name;
        for (int c = 0; c < 16; ++c) name.push_back(char16_t(u'a' + next() % 26));
        name += extensions[i % 5];
        FoundFileRecord record{};
        record.RecordNumber = i + 100;
        record.Size = next() % 10'000'000;
        record.Flags = i % 3 == 0 ? kFileDeleted : 0;
        const std::uint64_t time = 130000000000000000ull + next() % 10000000000000000ull;
        record.CreationTime = FILETIME{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
        record.DataPosition = (next() % (std::uint64_t{1} << 40)) & ~std::uint64_t{511};
        record.Name = name.c_str();
        list.Add(std::make_unique<TBaseElement>(record, std::int64_t(i)));
    }
}

template <typename Action>
double timed(Action action) {
    const auto start = Clock::now();
    action();
    QCoreApplication::processEvents();
    return millisecondsSince(start);
}

void selectRows(TPreviewContent& page, std::initializer_list<int> rows) {
    page.Selection().clearSelection();
    for (const int row : rows) {
        page.Selection().select(page.Model().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void benchPage(std::size_t count) {
    EngineApi api{};
    api.FileGetPath = benchPath;
    api.FileGetThumbnail = noThumbnail;
    const ScopedEngineApi engine(api);
    TBaseSortedList list(kSortByName, true);
    fill(list, count);
    list.Sort();
    TPreviewImageLists images;

    // What a page costs beyond the rows: one over an empty list.
    TBaseSortedList empty(kSortByName, true);
    std::size_t heapBefore = heapInUse();
    auto page = std::make_unique<TPreviewFileSystem>(empty, images);
    page->resize(1000, 700);
    page->show();
    page->TabSheetShow();
    page->repaint();
    QCoreApplication::processEvents();
    const double pageHeap = double(heapInUse() - heapBefore);
    page.reset();

    heapBefore = heapInUse();
    page = std::make_unique<TPreviewFileSystem>(list, images);
    page->resize(1000, 700);
    const double show = timed([&] {
        page->show();
        page->TabSheetShow();
        page->repaint();
    });
    std::printf("page show over %zu elements: %.1f ms; views %.1f bytes per row\n", count, show,
                (double(heapInUse() - heapBefore) - pageHeap) / double(count));

    auto* view = page->findChild<QTableView*>(QStringLiteral("PreviewFileSystemListView"));
    const int steps = 200;
    const double scroll = timed([&] {
        for (int step = 0; step < steps; ++step) {
            view->verticalScrollBar()->setValue(step * int(count) / steps);
            view->viewport()->repaint();
        }
    });
    std::printf("scroll step with repaint: %.2f ms\n", scroll / steps);

    page->MiPreviewPanelClick();
    const double first = timed([&] { selectRows(*page, {int(count / 2)}); });
    const double update = timed([&] { selectRows(*page, {int(count / 2) + 5}); });
    std::printf("selection update (one row, panel shown): %.2f ms; the first, making the placeholder: %.2f ms\n",
                update, first);

    selectRows(*page, {7, int(count / 3), int(count - 5)});
    const auto picked = page->SelectedElements();
    for (const auto& [column, what] : {std::pair{3, "size"}, std::pair{0, "name"}, std::pair{3, "size"}}) {
        const double sort = timed([&, column = column] { page->ListViewColumnClick(column); });
        std::vector<TBaseElement*> now = page->SelectedElements();
        std::sort(now.begin(), now.end());
        auto expected = picked;
        std::sort(expected.begin(), expected.end());
        std::printf("sort by %-4s (header click, 3 selected): %.0f ms, selection %s\n", what, sort,
                    now == expected ? "kept" : "LOST");
    }

    const double selectAll = timed([&] { page->MiSelectAllClick(); });
    const double sortAll = timed([&] { page->ListViewColumnClick(0); });
    const bool allKept = page->SelectedCount() == std::int64_t(count);
    const double invert = timed([&] { page->MiInvertSelectionClick(); });
    std::printf("select all: %.1f ms; sort by name with all selected: %.0f ms (%s); invert: %.1f ms\n", selectAll,
                sortAll, allKept ? "kept" : "LOST", invert);
    page->Selection().clearSelection();
    QItemSelection scattered;
    for (int row = 0; row < int(count); row += 20) {
        scattered.select(page->Model().index(row, 0), page->Model().index(row, 5));
    }
    page->Selection().select(scattered, QItemSelectionModel::Select);
    const double invertScattered = timed([&] { page->MiInvertSelectionClick(); });
    const double updateScattered = timed([&] { page->ListViewClick(); });
    std::printf("invert %zu scattered rows: %.0f ms; selection update over them: %.1f ms\n", count / 20,
                invertScattered, updateScattered);

    // The engine answers at once here: every file gets its extension's placeholder.
    heapBefore = heapInUse();
    const auto start = Clock::now();
    const double enter = timed([&] { page->MiViewAsTrumbnailsClick(); });
    const double enteredHeap = double(heapInUse() - heapBefore) / double(count);
    while (ThumbnailsThread()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    std::printf(
        "thumbnail view: entered in %.0f ms (%.1f bytes per row with the worker's copies), every "
        "placeholder in %.0f ms\n",
        enter, enteredHeap, millisecondsSince(start));
    page.reset();
}

// Thumbnails of the fixture's files, repeated to make a longer list.
void benchThumbnails(const fs::path& folder, int copies) {
    const std::vector<std::uint8_t> bytes = test_images::gunzip("search/fat12-hits.img.gz");
    const fs::path image = folder / "fat12-hits.img";
    std::ofstream(image, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (bytes.empty() || !PlantPictures(image)) {
        std::printf("thumbnails: fixture not found (set UNDELETE_TEST_DATA)\n");
        return;
    }
    ::setenv("UNDELETE_DISKS", image.c_str(), 1);
    realEngine().Library_Initialize(u"\\Software\\Kelvorin\\Pramblex");
    HANDLE rescan = realEngine().DrivesRescan(0);
    WaitForSingleObject(rescan, INFINITE);
    CloseHandle(rescan);
    EngineSettings settings{};
    settings.ReadRetries = 1;
    settings.DiskNumber = realEngine().DriveGetInformation(realEngine().DriveGetCount() - 1)->Id;
    realEngine().DriveInitialize(&settings);
    std::vector<FoundFileRecord> pictures;
    std::vector<std::u16string> names;
    while (const FoundFileRecord* record = realEngine().FileGetNext()) {
        names.emplace_back(record->Name ? record->Name : u"");
        pictures.push_back(*record);
    }

    const auto run = [&](bool stopEarly) {
        TBaseSortedList list(kSortByName, true);
        for (int copy = 0; copy < copies; ++copy) {
            for (std::size_t i = 0; i < pictures.size(); ++i) {
                FoundFileRecord record = pictures[i];
                record.Name = names[i].c_str();
                list.Add(std::make_unique<TBaseElement>(record, copy));
            }
        }
        TPreviewImageLists images;
        TPreviewFileSystem page(list, images);
        page.TabSheetShow();
        const auto start = Clock::now();
        page.MiViewAsTrumbnailsClick();
        if (stopEarly) {
            while (millisecondsSince(start) < 50) QCoreApplication::processEvents();
            const auto stopping = Clock::now();
            StopThumbnails();
            std::printf("StopThumbnails while the worker runs: %.2f ms\n", millisecondsSince(stopping));
            return;
        }
        while (ThumbnailsThread()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double seconds = millisecondsSince(start) / 1000;
        std::size_t made = 0;
        for (std::size_t i = 0; i < list.Count(); ++i) {
            made += list[i].ThumbnailIndex() != images.ThumbnailPlaceholder(list[i]);
        }
        std::printf("thumbnails: %zu files (%zu pictures) in %.2f s, %.0f files per second\n", list.Count(), made,
                    seconds, double(list.Count()) / seconds);
    };
    run(false);
    for (int i = 0; i < 5; ++i) run(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    realEngine().DriveInitialize(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const fs::path folder = fs::temp_directory_path() / ("preview-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    ::setenv("UNDELETE_REGISTRY", (folder / "registry").c_str(), 1);
    FormatsUnitInit();
    Settings().GlobalFileSystemSortColumn = 0;
    Settings().GlobalFileSystemSortOrderAZ = true;
    benchPage(count);
    benchThumbnails(folder, 250);
    FormatsUnitDone();
    fs::remove_all(folder);
    return 0;
}
