#include "wizard/model/found_files_columns.h"

namespace {

constexpr FoundListColumn kFileSystemColumns[] = {
    {"Name", 150, false, kSortByName},      {"Condition", 80, false, kSortByCondition},
    {"Created", 130, true, kSortByCreated}, {"Size", 80, true, kSortBySize},
    {"Type", 100, false, kSortByType},      {"Path", 260, false, kSortByPath},
};

constexpr FoundListColumn kDriveSectorsColumns[] = {
    {"Name", 140, false, kSortByName},
    {"Condition", 80, false, kSortByCondition},
    {"Type", 100, false, kSortByType},
    {"Size", 80, true, kSortBySize},
};

}  // namespace

std::span<const FoundListColumn> FoundListColumns(FoundListKind kind) {
    if (kind == FoundListKind::FileSystem) return kFileSystemColumns;
    return kDriveSectorsColumns;
}

bool IsFoundListColumn(FoundListKind kind, int column) {
    return column >= 0 && static_cast<std::size_t>(column) < FoundListColumns(kind).size();
}

std::uint8_t SortCodeOfColumn(FoundListKind kind, int column) {
    if (!IsFoundListColumn(kind, column)) return kSortByName;
    return FoundListColumns(kind)[static_cast<std::size_t>(column)].sortCode;
}
