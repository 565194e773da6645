#pragma once
// Whether a recovery target lies on the drive being recovered. Writing there could
// overwrite the very data being recovered, so the wizard refuses such targets.
//
// The decision never parses paths or drive letters: the engine names each drive's source
// by device numbers (the drive record's SourceDevice and SourceInode), and a target is
// judged by the device of the file system that holds it. Block devices overlap when they
// are the same device, when one is a partition of the other, or when a mapped device
// (device mapper, md) is stacked on either: sysfs tells which is which ("partition", and
// the "slaves" of a stacked device, the other side of its members' "holders").

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/records.h"

struct DriveSource {
    // A block device's st_rdev; for an image file, the st_dev of the file system holding it.
    std::uint64_t device = 0;
    // The image file's inode; 0 for a block device.
    std::uint64_t inode = 0;

    bool isImageFile() const { return inode != 0; }
};

DriveSource SourceOf(const _LDRIVE& drive);

// How the machine's block devices stack, read from sysfs; file systems without a block
// device of their own (btrfs, ...) are traced to theirs through the mount table.
class BlockDeviceTopology {
public:
    explicit BlockDeviceTopology(std::string sysfsRoot = "/sys",
                                 std::string mountInfo = "/proc/self/mountinfo");

    // The block device that holds a file system whose st_dev is `fileSystem`: itself when
    // sysfs knows it as a block device, else the device its mount was made from; 0 when
    // there is none (tmpfs, overlay, network file systems).
    dev_t BackingDevice(dev_t fileSystem) const;

    // Whether the two devices share any sector.
    bool Overlap(dev_t first, dev_t second) const;

    // Whether a file system is mounted from the block device `device`.
    bool Mounted(dev_t device) const;

private:
    // A piece of a disk: a partition (device) of `disk`, or a whole disk (device == disk).
    struct Extent {
        dev_t device;
        dev_t disk;
    };

    void CollectExtents(dev_t device, int depth, std::vector<Extent>& extents) const;
    // The canonical sysfs folder of a block device; empty when sysfs does not know it.
    std::string DeviceFolder(dev_t device) const;
    dev_t DeviceByName(const std::string& name) const;

    std::string sysfsRoot_;
    std::string mountInfo_;
};

// Whether a place with that status (a folder, or a file that exists) lies on the source.
// A block-device source is hit by any place on an overlapping device; an image-file
// source only by the image file itself.
bool StatusOnSource(const DriveSource& source, const struct stat& status,
                    const BlockDeviceTopology& topology = BlockDeviceTopology());

// The status of `path`, or, while it does not exist yet, of the nearest folder above it
// that does (where it would be made); false when none can be read.
bool NearestExistingStatus(const std::string& path, struct stat& status);

// Whether writing into `target` (a folder or file; it need not exist yet) could write onto
// the source. An empty target hits nothing.
bool TargetOnSource(const DriveSource& source, const std::string& target,
                    const BlockDeviceTopology& topology = BlockDeviceTopology());
