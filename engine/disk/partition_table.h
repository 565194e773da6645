#pragma once
// Partition tables of a disk: the master boot record with its extended chain, and the
// GUID partition table. A pure parser over 512-byte sectors fetched through a callback,
// so it serves a disk, an image file and a region being searched for lost partitions.
//
// Everything read is distrusted: entries that start outside the disk are dropped, entries
// that run past its end are cut to it, a chain that loops or runs too long stops, and no
// count from the disk sizes an allocation before it is checked.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <unordered_set>
#include <vector>

namespace engine {

inline constexpr std::size_t kPartitionSectorSize = 512;

// Reads one 512-byte sector; false when it cannot be read.
using SectorSource = std::function<bool(std::uint64_t lba, std::span<std::uint8_t, kPartitionSectorSize>)>;

enum class PartitionScheme { None, Mbr, Gpt };

using Guid = std::array<std::uint8_t, 16>;

struct PartitionEntry {
    std::uint32_t number = 0;  // 1..4 primary slots, 5.. logical; GPT: entry index + 1
    std::uint64_t firstSector = 0;
    std::uint64_t sectorCount = 0;
    std::uint8_t mbrType = 0;  // 0 for a GPT entry
    Guid gptType{};            // all zero for an MBR entry
    bool logical = false;
    bool cutAtDiskEnd = false;  // the table claimed more sectors than the disk has

    std::uint64_t byteOffset() const { return firstSector * kPartitionSectorSize; }
    std::uint64_t byteLength() const { return sectorCount * kPartitionSectorSize; }
};

struct PartitionTable {
    PartitionScheme scheme = PartitionScheme::None;
    // Data partitions in number order; extended containers are not listed.
    std::vector<PartitionEntry> partitions;
};

// Limits that keep hostile tables cheap.
inline constexpr std::size_t kMaxLogicalPartitions = 128;
inline constexpr std::uint32_t kMaxGptEntries = 1024;

bool isExtendedPartitionType(std::uint8_t type);

// True when the sector is the boot sector of a volume (FAT or NTFS) rather than a master
// boot record: both end in 55 AA, and a volume formatted whole must not be read as a
// partitioned disk.
bool looksLikeVolumeBootSector(std::span<const std::uint8_t, kPartitionSectorSize> sector);

// For a walk that reads the tables of many positions of one disk (the lost-partition
// search): each GPT header position is examined once. `base` is the disk sector where
// the table being read starts; positions are kept as disk sectors.
struct GptHeaderMemo {
    std::uint64_t base = 0;
    std::unordered_set<std::uint64_t> examined;
};

// Parses the disk's table; scheme None when it has none (or only an unreadable one). A GPT
// header is trusted only when it names its own position and its usable range and entry
// array fit the disk; only then is its entry array read.
PartitionTable readPartitionTable(const SectorSource& read, std::uint64_t totalSectors,
                                  GptHeaderMemo* memo = nullptr);

}  // namespace engine
