#pragma once
// What the kernel's table of mounts (/proc/self/mountinfo) says of the file system with a
// given device number (a place's st_dev).

#include <sys/types.h>

#include <optional>
#include <string>

struct MountEntry {
    std::string type;    // "ext4", "devtmpfs", ...
    std::string source;  // "/dev/sda1", "udev", ...
};

// "8:17", as sysfs and the mount table write device numbers.
std::string DeviceNumberText(dev_t device);

// The first mount of that file system in the table at `mountInfo`; nothing when the table
// cannot be read or does not list it.
std::optional<MountEntry> FindMount(const std::string& mountInfo, dev_t fileSystem);
