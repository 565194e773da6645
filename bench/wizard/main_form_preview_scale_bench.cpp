// The sector preview page of the real main window over a million found files (sector hits
// of the searched formats, added in hit order and sized as the scan leaves them), on the
// scripted engine, printed as figures against the preview's budgets:
//  - page show, and resident memory per found file (list, elements and the page's views);
//  - a sort by each column (header click) with three files selected, the selection kept;
//    by name again with every file selected;
//  - select all, invert, the selection update, the recover selection built (the
//    elements the recovery gets);
//  - scrolling from end to end, one repainted step at a time.
//
//     main_form_preview_scale_bench [files] (default 1,000,000)

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <cstdlib>

#include "bench/wizard/main_form_bench_support.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/forms/preview/preview_content.h"
#include "wizard/model/found_files/found_files_columns.h"

namespace {

using namespace mainbench;

template <typename Action>
double Timed(Action action) {
    const auto start = Clock::now();
    action();
    QCoreApplication::processEvents();
    return MillisecondsSince(start);
}

const char* Verdict(double milliseconds, double budget) { return milliseconds <= budget ? "within" : "OVER"; }

void SelectRows(TPreviewContent& content, std::initializer_list<int> rows) {
    content.Selection().clearSelection();
    for (const int row : rows) {
        content.Selection().select(content.Model().index(row, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

std::vector<TBaseElement*> Sorted(std::vector<TBaseElement*> elements) {
    std::sort(elements.begin(), elements.end());
    return elements;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ScriptedMainForm bench{EngineScript{}};
    TMainForm& form = bench.Form();
    const std::vector<std::uint16_t> types = SearchedTypeCodes();
    if (types.empty()) return 1;
    TPreviewPage& page = *form.PreviewDriveSectorsPage;
    TPreviewContent& content = *page.Content;
    const int rows = int(count);

    const std::size_t residentBefore = ResidentBytes();
    {
        const std::vector<FoundFileRecord> hits = SectorHits(count, types);
        for (std::size_t i = 0; i < count; ++i) {
            form.DriveSectorsList->Add(std::make_unique<TBaseElement>(hits[i], std::int64_t(i) + 1));
        }
    }
    // As the scan ends: sizes filled in, sorted again.
    const double fill = Timed([&] { form.DriveSectorsList->FillUnknownSizes(); });
    std::printf("size fill as the scan ends (position order, sizes, sorted by name again): %.0f ms\n", fill);
    const double show = Timed([&] {
        form.SetActivePage(TMainForm::kPreviewDriveSectorsPage);
        form.repaint();
    });
    const double perFile = double(ResidentBytes() - residentBefore) / double(count);
    std::printf("page show over %zu files: %.1f ms (budget 50): %s\n", count, show, Verdict(show, 50));
    std::printf("resident memory per found file (list, element, views): %.0f bytes\n", perFile);

    // Three files picked, then each column's sort by header click, each twice (ascending,
    // then descending), the picked files still selected after each.
    SelectRows(content, {7, rows / 3, rows - 5});
    const std::vector<TBaseElement*> picked = Sorted(page.SelectedElements());
    const auto columns = FoundListColumns(FoundListKind::DriveSectors);
    for (int column = 0; column < int(columns.size()); ++column) {
        for (const char* order : {"A..Z", "Z..A"}) {
            const double sort = Timed([&] { content.ListViewColumnClick(column); });
            const bool kept = Sorted(page.SelectedElements()) == picked;
            const double budget = columns[std::size_t(column)].sortCode == kSortBySize ? 300 : 1000;
            std::printf("sort by %-9s %s (header click, 3 selected): %4.0f ms (budget %.0f): %s, selection %s\n",
                        columns[std::size_t(column)].caption, order, sort, budget, Verdict(sort, budget),
                        kept ? "kept" : "LOST");
        }
    }

    const double selectAll = Timed([&] { content.MiSelectAllClick(); });
    const double update = Timed([&] { content.ListViewClick(); });
    std::vector<TBaseElement*> selected;
    const double build = Timed([&] { selected = page.SelectedElements(); });
    const double invertAll = Timed([&] { content.MiInvertSelectionClick(); });
    std::printf("select all: %.1f ms; invert of all: %.1f ms; together %.1f ms (budget 300): %s\n", selectAll,
                invertAll, selectAll + invertAll, Verdict(selectAll + invertAll, 300));
    std::printf("selection update, all selected: %.2f ms (budget 5): %s\n", update, Verdict(update, 5));
    std::printf("recover selection built, all selected: %zu elements in %.1f ms\n", selected.size(), build);

    content.MiSelectAllClick();
    const double sortAll = Timed([&] { content.ListViewColumnClick(0); });
    std::printf("sort by name with all selected: %.0f ms (budget 1000): %s, %s\n", sortAll, Verdict(sortAll, 1000),
                content.SelectedCount() == std::int64_t(count) ? "all kept" : "selection LOST");

    // Every 20th row, then inverted: 50,000 ranges either way.
    content.Selection().clearSelection();
    QItemSelection scattered;
    const int lastColumn = content.Model().columnCount() - 1;
    for (int row = 0; row < rows; row += 20) {
        scattered.select(content.Model().index(row, 0), content.Model().index(row, lastColumn));
    }
    content.Selection().select(scattered, QItemSelectionModel::Select);
    const double invertScattered = Timed([&] { content.MiInvertSelectionClick(); });
    const double updateScattered = Timed([&] { content.ListViewClick(); });
    const double buildScattered = Timed([&] { selected = page.SelectedElements(); });
    std::printf("invert of every 20th row: %.0f ms (budget 300): %s; selection update over it %.1f ms "
                "(budget 5): %s; recover selection built: %zu elements in %.0f ms\n",
                invertScattered, Verdict(invertScattered, 300), updateScattered, Verdict(updateScattered, 5),
                selected.size(), buildScattered);

    // From the top to the bottom in 200 jumps, then 500 pages down from the top.
    QScrollBar& bar = *page.ListView->verticalScrollBar();
    const auto scroll = [&](int steps, bool pages) {
        double longest = 0;
        const double total = Timed([&] {
            for (int step = 0; step <= steps; ++step) {
                const auto start = Clock::now();
                bar.setValue(pages ? step * bar.pageStep() : int(std::int64_t(step) * bar.maximum() / steps));
                page.ListView->viewport()->repaint();
                longest = std::max(longest, MillisecondsSince(start));
            }
        });
        return std::pair(total / (steps + 1), longest);
    };
    for (const bool withScattered : {false, true}) {
        const QItemSelection kept = content.Selection().selection();
        if (!withScattered) content.Selection().clearSelection();
        const auto [jumpMean, jumpLongest] = scroll(200, false);
        const auto [pageMean, pageLongest] = scroll(500, true);
        std::printf("scroll (%s) end to end in 200 jumps: %.2f ms per repainted step, longest %.2f ms; a page "
                    "at a time (500 pages from the top): %.2f ms, longest %.2f ms (a frame is 16 ms): %s\n",
                    withScattered ? "the inverse of every 20th row selected" : "nothing selected", jumpMean,
                    jumpLongest, pageMean, pageLongest, Verdict(std::max(jumpLongest, pageLongest), 16));
        if (!withScattered) content.Selection().select(kept, QItemSelectionModel::Select);
    }
    const double toEnd = Timed([&] {
        page.ListView->scrollToBottom();
        page.ListView->viewport()->repaint();
        page.ListView->scrollToTop();
        page.ListView->viewport()->repaint();
    });
    std::printf("to the end and back (scrollToBottom, scrollToTop): %.2f ms\n", toEnd);
    std::printf("resident memory per found file after all of it: %.0f bytes\n",
                double(ResidentBytes() - residentBefore) / double(count));
    return 0;
}
