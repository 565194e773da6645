#pragma once
// The columns of the two found-file lists and the sort code each column stands for. The
// lists show their columns in another order than the sort codes count them (the
// file-system list's "Created" is column 2 but code 4), so every column index goes through
// these tables: header clicks, the "Sort by" menus, the stored sort column and the lists'
// creation at start.

#include <QString>

#include <cstdint>
#include <span>

#include "wizard/model/found_files/base_sorted_list.h"

enum class FoundListKind { FileSystem, DriveSectors };

struct FoundListColumn {
    const char* caption;  // English; the header's text until a translation sets another
    bool alignRight;
    std::uint8_t sortCode;  // also says what the column shows
};

std::span<const FoundListColumn> FoundListColumns(FoundListKind kind);

// The sort code of a column index; any index outside the list's columns gives the name.
std::uint8_t SortCodeOfColumn(FoundListKind kind, int column);

// Whether the index is one of the list's columns.
bool IsFoundListColumn(FoundListKind kind, int column);
