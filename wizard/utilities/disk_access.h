#pragma once
// Whether the user may read the machine's disks, the program's administrator check.

#include <sys/types.h>

#include <vector>

// True when the effective user may open raw block devices for reading: root, the
// CAP_DAC_READ_SEARCH capability in the effective set, or membership of the group "disk"
// (as effective group or as any supplementary group, however many the user has).
bool IsUserAdministrator();

// Every supplementary group of the process.
std::vector<gid_t> ReadSupplementaryGroups();
