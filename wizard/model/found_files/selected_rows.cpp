#include "wizard/model/found_files/selected_rows.h"

#include <QAbstractItemModel>

#include <algorithm>

std::vector<RowRange> SelectedRowRanges(const QItemSelection& selection) {
    std::vector<RowRange> ranges;
    ranges.reserve(static_cast<std::size_t>(selection.size()));
    for (const QItemSelectionRange& range : selection) {
        if (range.isValid()) ranges.push_back({range.top(), range.bottom()});
    }
    std::sort(ranges.begin(), ranges.end(), [](const RowRange& a, const RowRange& b) { return a.first < b.first; });
    std::vector<RowRange> merged;
    for (const RowRange& range : ranges) {
        if (!merged.empty() && std::int64_t(range.first) <= std::int64_t(merged.back().last) + 1) {
            merged.back().last = std::max(merged.back().last, range.last);
        } else {
            merged.push_back(range);
        }
    }
    return merged;
}

std::int64_t RowCountOf(const std::vector<RowRange>& ranges) {
    std::int64_t count = 0;
    for (const RowRange& range : ranges) count += std::int64_t(range.last) - range.first + 1;
    return count;
}

std::vector<RowRange> ComplementRanges(const std::vector<RowRange>& ranges, int rowCount) {
    std::vector<RowRange> complement;
    int next = 0;
    for (const RowRange& range : ranges) {
        if (range.first >= rowCount) break;
        if (range.first > next) complement.push_back({next, range.first - 1});
        next = std::max(next, range.last + 1);
    }
    if (next < rowCount) complement.push_back({next, rowCount - 1});
    return complement;
}

QItemSelection SelectionOfRows(const QAbstractItemModel& model, const std::vector<RowRange>& ranges) {
    QItemSelection selection;
    const int lastColumn = model.columnCount() - 1;
    selection.reserve(static_cast<qsizetype>(ranges.size()));
    for (const RowRange& range : ranges) {
        selection.append(QItemSelectionRange(model.index(range.first, 0), model.index(range.last, lastColumn)));
    }
    return selection;
}
