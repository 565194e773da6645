#pragma once
// Disks that the user names instead of the machine's own: UNDELETE_DISKS holds image
// files or block devices separated by ':'. Each is a physical disk; its MBR or GPT
// partitions are its volumes, read through the file at their offsets, and a file without
// a partition table is one volume as a whole (raw data is then searched by signature).

#include <optional>
#include <string>
#include <vector>

#include "platform/device_enumeration.h"

namespace engine {

inline constexpr const char* kListedDisksVariable = "UNDELETE_DISKS";

// The paths in UNDELETE_DISKS, in order (empty entries skipped); nothing when unset.
std::optional<std::vector<std::string>> listedDiskPaths();

// Opens the file read-only and parses its partition table.
platform::ListedDisk describeListedDisk(const std::string& path);

}  // namespace engine
