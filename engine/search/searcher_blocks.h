#pragma once
// Which runs of sectors the search reads, block after block, and which of their units it
// matches. Blocks are whole clusters of the drive (clusters counted from sector 0), so a
// block size that is not a multiple of the cluster size neither skips nor repeats a
// sector. In free-space mode a block starts at the next free cluster of the drive's
// cluster map (placed through the map's origin) and spans at most the buffer, up to its
// last free cluster: used clusters between its free runs are read with them, since one
// large read costs less than many small ones, but only the free runs are matched.

#include <cstdint>
#include <vector>

class CDrive;
class CBitArray;

// Sectors [first, first + count) of a block, counted from the block's start.
struct SectorRange {
    std::uint64_t first = 0;
    std::uint64_t count = 0;
    friend bool operator==(const SectorRange&, const SectorRange&) = default;
};

struct SearchBlock {
    std::uint64_t firstSector = 0;  // 512-byte sectors from the drive's start
    std::uint64_t sectors = 0;
    std::vector<SectorRange> matched;  // in order, inside the block
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
    // Clusters that the map marks free (clusters it does not reach count as free); every
    // cluster when the drive has no map.
    std::uint64_t CountFreeClusters() const;

    // Fills `block` (its range list reused) with the next block; false once the drive's
    // end is reached.
    bool Next(SearchBlock& block);

    // Map bit `bit` is set (cluster in use); bits past the map are free.
    bool IsClusterUsed(std::uint64_t bit) const;
    // The first free bit at or after `bit` (past the map every bit is free).
    std::uint64_t FindNextFreeCluster(std::uint64_t bit) const;

private:
    bool nextWhole(SearchBlock& block);
    bool nextFree(SearchBlock& block);
    std::uint64_t nextUsedCluster(std::uint64_t bit) const;
    std::uint64_t sectorOfBit(std::uint64_t bit) const {
        return originSector_ + (bit - firstBit_) * clusterSectors_;
    }

    const CBitArray* map_ = nullptr;  // null: the drive has no map
    bool freeSpaceOnly_ = false;      // with a map only
    std::uint64_t totalSectors_ = 0;
    std::uint32_t clusterSectors_ = 1;
    std::uint64_t blockClusters_ = 1;
    std::uint64_t totalClusters_ = 0;
    // Map bits [firstBit_, endBit_) lie on the drive, bit firstBit_ at sector originSector_.
    std::uint64_t originSector_ = 0;
    std::uint64_t firstBit_ = 0;
    std::uint64_t endBit_ = 0;
    std::uint64_t cursor_ = 0;  // next sector (whole mode) or next bit (free mode)
};
