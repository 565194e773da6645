#include "wizard/model/found_files/found_files_columns.h"

namespace {

constexpr FoundListColumn kFileSystemColumns[] = {
    {"Name", false, kSortByName},      {"Condition", false, kSortByCondition},
    {"Created", true, kSortByCreated}, {"Size", true, kSortBySize},
    {"Type", false, kSortByType},      {"Path", false, kSortByPath},
};

constexpr FoundListColumn kDriveSectorsColumns[] = {
    {"Name", false, kSortByName},
    {"Condition", false, kSortByCondition},
    {"Type", false, kSortByType},
    {"Size", true, kSortBySize},
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
