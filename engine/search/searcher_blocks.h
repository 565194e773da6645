#pragma once
// Which runs of sectors the search reads, block after block. Blocks are whole clusters of
// the drive (clusters counted from sector 0), so a block size that is not a multiple of
// the cluster size neither skips nor repeats a sector. In free-space mode a block is a run
// of free clusters of the drive's cluster map, placed through the map's origin, so that no
// used cluster is read.

#include <cstdint>
#include <optional>

class CDrive;
class CBitArray;

struct SearchBlock {
    std::uint64_t firstSector = 0;  // 512-byte sectors from the drive's start
    std::uint64_t sectors = 0;
};

class CSearchBlockPlan {
public:
    static constexpr std::uint32_t kSectorSize = 512;

    // `bufferSize` is rounded up to whole clusters (at least one).
    CSearchBlockPlan(const CDrive& drive, std::uint32_t bufferSize, bool freeSpaceOnly);

    std::uint32_t sectorsPerCluster() const { return clusterSectors_; }
    std::uint64_t bytesPerCluster() const { return std::uint64_t{clusterSectors_} * kSectorSize; }
    std::uint64_t blockSectors() const { return blockClusters_ * clusterSectors_; }
    // Clusters of the drive, a last partial cluster included.
    std::uint64_t totalClusters() const { return totalClusters_; }
    // Clusters the search would read in free-space mode.
    std::uint64_t CountFreeClusters() const;

    // The next block, or nothing once the drive's end is reached.
    std::optional<SearchBlock> Next();

    // Map bit `bit` is set (cluster in use); bits past the map are free.
    bool IsClusterUsed(std::uint64_t bit) const;
    // The first free bit at or after `bit` (past the map every bit is free).
    std::uint64_t FindNextFreeCluster(std::uint64_t bit) const;

private:
    std::optional<SearchBlock> nextWhole();
    std::optional<SearchBlock> nextFree();
    std::uint64_t nextUsedCluster(std::uint64_t bit) const;

    const CBitArray* map_ = nullptr;  // null: every cluster is searched
    std::uint64_t totalSectors_ = 0;
    std::uint32_t clusterSectors_ = 1;
    std::uint64_t blockClusters_ = 1;
    std::uint64_t totalClusters_ = 0;
    // Free-space mode: map bits [firstBit_, endBit_) lie on the drive, bit firstBit_ at
    // sector originSector_.
    std::uint64_t originSector_ = 0;
    std::uint64_t firstBit_ = 0;
    std::uint64_t endBit_ = 0;
    std::uint64_t cursor_ = 0;  // next sector (whole mode) or next bit (free mode)
};
