#pragma once
// The machine's drives as the engine lists them: physical disks and lettered volumes.
//
// Disks are the whole-disk block devices of /sys/block (sd, nvme, mmcblk, vd, xvd, and
// loop devices with a backing file), in name order (sdb before sdaa, nvme0n2 before
// nvme0n10). Volumes are their partitions in partition-number order, and each disk
// without partitions (a stick formatted whole, an empty card reader, a disk holding no
// known file system) as one volume; extended-partition containers are not volumes.
// Volumes get letters from 'C' in that order; a device keeps its letter across
// enumerations while it stays attached, and once 'Z' is taken the rest go unlettered.
//
// Instead of sysfs, a caller can present disk files of its own (image files listed by the
// user) with the partitions it found in them; they are numbered and lettered the same way.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/api.h"

namespace platform {

// Where the enumeration looks; tests point these at a tree of plain files.
struct EnumerationRoots {
    std::string sys = "/sys";
    std::string dev = "/dev";
    std::string mountInfo = "/proc/self/mountinfo";
};

inline constexpr std::uint32_t kEnumeratedRemovable = 2;
inline constexpr std::uint32_t kEnumeratedFixed = 3;

struct DiskDevice {
    std::string name;         // "sda", or the path of a listed file
    std::string path;         // what to open
    std::uint64_t bytes = 0;  // 0 when no medium is present
    std::uint32_t driveType = kEnumeratedFixed;
    bool ready = false;       // a medium is present
};

struct VolumeDevice {
    std::string name;               // "sda1"; for a listed file "<path>#<number>"
    std::string path;               // what to open
    std::size_t disk = 0;           // index into DeviceList::disks
    std::uint64_t baseOffset = 0;   // where the volume starts within `path`
    std::uint64_t bytes = 0;
    std::uint32_t partitionNumber = 0;  // 0: the whole disk is the volume
    std::uint8_t partitionType = 0;     // MBR type byte when known
    char letter = 0;
    std::uint32_t driveType = kEnumeratedFixed;
    bool ready = false;
    std::string mountPoint;  // first mount of the device, or empty
};

struct DeviceList {
    std::vector<DiskDevice> disks;
    std::vector<VolumeDevice> volumes;
    std::vector<std::string> unlettered;  // volume names left out: no letter was free
};

// A disk file that the caller opened and parsed itself.
struct ListedPartition {
    std::uint32_t number = 0;
    std::uint8_t type = 0;     // MBR type byte, 0 for GPT
    std::uint64_t offset = 0;  // bytes
    std::uint64_t length = 0;  // bytes
};

struct ListedDisk {
    std::string path;
    std::uint64_t bytes = 0;
    bool opened = false;  // false: listed as a disk that is not ready, without volumes
    std::vector<ListedPartition> partitions;  // empty: the whole file is one volume
};

class PLATFORM_API DeviceEnumerator {
public:
    explicit DeviceEnumerator(EnumerationRoots roots = {});

    DeviceList enumerate();
    DeviceList enumerateListed(const std::vector<ListedDisk>& disks);

private:
    struct Candidate {
        VolumeDevice volume;
        std::string key;  // stays the same while the device stays attached
    };
    DeviceList assignLetters(std::vector<DiskDevice> disks, std::vector<Candidate> candidates);

    EnumerationRoots roots_;
    std::map<std::string, char> letters_;  // device key -> letter of the last enumeration
};

// Orders block device names the way people count them: "sdb" < "sdaa", "nvme0n2" <
// "nvme0n10".
PLATFORM_API bool blockDeviceNameLess(const std::string& a, const std::string& b);

}  // namespace platform
