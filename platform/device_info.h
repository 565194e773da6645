#pragma once
// What Linux tells about a block device and a mounted volume beyond its bytes: sysfs
// attributes, /proc/self/mountinfo, statvfs and /dev/disk/by-label.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/api.h"
#include "platform/raw_device.h"

namespace platform {

// Drive types of the interface.
inline constexpr std::uint32_t kDriveTypeRemovable = 2;
inline constexpr std::uint32_t kDriveTypeFixed = 3;
inline constexpr std::uint32_t kDriveTypeRamDisk = 6;

struct DeviceIdentity {
    std::string vendor;  // trailing blanks cut; empty when unknown
    std::string model;
};

struct MountedVolume {
    std::string mountPoint;
    std::string fileSystem;  // the kernel's type name: vfat, ntfs3, fuseblk, ext4...
    std::uint64_t totalBytes = 0;
    std::uint64_t freeBytes = 0;
    bool readOnly = false;
};

// Where a path's bytes come from: a block device's st_rdev (inode 0), or for any other
// file the st_dev of the file system holding it and the file's inode. All zero when the
// path cannot be examined.
struct SourceIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// One line of sysfs, or nothing when the attribute cannot be read.
PLATFORM_API std::optional<std::string> readSysfsText(dev_t device, const std::string& attribute);
PLATFORM_API std::optional<std::uint64_t> readSysfsNumber(dev_t device, const std::string& attribute);

// The disk a partition device belongs to; the device itself when it is a whole disk.
PLATFORM_API dev_t wholeDiskOf(dev_t device);

// Vendor and model from sysfs (device/vendor, device/model, or device/name for cards).
PLATFORM_API DeviceIdentity deviceIdentity(dev_t device);

// 2 removable, 6 RAM disk, 3 otherwise (also for plain files).
PLATFORM_API std::uint32_t driveTypeOf(std::optional<dev_t> device);

// The partitions of a whole disk, in partition-number order.
PLATFORM_API std::vector<PartitionExtent> diskPartitions(dev_t disk);

// The first mount of the device, with statvfs figures when they can be read.
PLATFORM_API std::optional<MountedVolume> findMount(dev_t device);

PLATFORM_API SourceIdentity sourceIdentity(const std::string& path);

// The label that udev recorded for the device, or empty.
PLATFORM_API std::string volumeLabel(dev_t device);

}  // namespace platform
