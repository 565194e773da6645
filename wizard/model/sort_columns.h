#pragma once
// The found-file lists' columns as sort codes of TBaseSortedList. The stored sort column
// of each list is a column index of that list, read through these tables; a column the
// list does not have sorts by name.

#include <cstdint>

// File-system list: Name, Condition, Created, Size, Type, Path.
std::uint8_t FileSystemSortCode(int column);
// Sector list: Name, Condition, Type, Size.
std::uint8_t DriveSectorsSortCode(int column);
