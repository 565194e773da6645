#include "wizard/model/sort_columns.h"

#include <array>
#include <span>

#include "wizard/model/base_sorted_list.h"

namespace {

constexpr std::array<std::uint8_t, 6> kFileSystemCodes = {
    kSortByName, kSortByCondition, kSortByCreated, kSortBySize, kSortByType, kSortByPath};
constexpr std::array<std::uint8_t, 4> kDriveSectorsCodes = {kSortByName, kSortByCondition,
                                                            kSortByType, kSortBySize};

std::uint8_t CodeOf(std::span<const std::uint8_t> codes, int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= codes.size()) return kSortByName;
    return codes[static_cast<std::size_t>(column)];
}

}  // namespace

std::uint8_t FileSystemSortCode(int column) { return CodeOf(kFileSystemCodes, column); }
std::uint8_t DriveSectorsSortCode(int column) { return CodeOf(kDriveSectorsCodes, column); }
