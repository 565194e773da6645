#pragma once
// A selection of whole rows as a few row ranges. A list of a million rows is selected,
// counted and inverted range by range, never row by row: "Select all" is one range and its
// inverse none.

#include <QItemSelection>

#include <cstdint>
#include <vector>

class QAbstractItemModel;

struct RowRange {
    int first;
    int last;  // inclusive
    bool operator==(const RowRange&) const = default;
};

// The rows that hold a selected cell, as sorted ranges that neither overlap nor touch.
std::vector<RowRange> SelectedRowRanges(const QItemSelection& selection);
std::int64_t RowCountOf(const std::vector<RowRange>& ranges);
// The rows of 0 .. rowCount - 1 outside `ranges` (sorted, apart, as SelectedRowRanges gives).
std::vector<RowRange> ComplementRanges(const std::vector<RowRange>& ranges, int rowCount);
// The whole rows of the ranges, every column of the model: select it without the Rows
// flag, which would merge the ranges pairwise.
QItemSelection SelectionOfRows(const QAbstractItemModel& model, const std::vector<RowRange>& ranges);
