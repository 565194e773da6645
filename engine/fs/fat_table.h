#pragma once
// The file allocation table: FAT copy 1 held in memory, entry values, cluster chains and
// the cluster-usage map.

#include <cstdint>
#include <vector>

#include "engine/fs/fat_geometry.h"

class CBitArray;

class FatTable {
public:
    FatTable() = default;
    // `bytes` is one FAT copy, at most geometry.fatBytes long.
    FatTable(const FatGeometry& geometry, std::vector<std::uint8_t> bytes);

    // Number of entries that the data area uses: clusters 0..lastCluster.
    std::uint32_t entryCount() const { return entryCount_; }
    // Value of entry i (FAT32: 28 bits); 0 past the table.
    std::uint32_t value(std::uint32_t index) const;
    bool isAllocated(std::uint32_t cluster) const { return value(cluster) != 0; }
    bool isEndMark(std::uint32_t value) const;

    // The chain from `first`, in order. Stops at 0 or an end mark; a cluster outside the
    // data area or a repeated cluster ends it with an error line. At most entryCount long.
    std::vector<std::uint32_t> chain(std::uint32_t first) const;

    // Sets bit i for every entry i whose value is not 0.
    bool fillClusterMap(CBitArray& map) const;

private:
    FatKind kind_ = FatKind::Fat16;
    std::uint32_t lastCluster_ = 0;
    std::uint32_t entryCount_ = 0;
    std::vector<std::uint8_t> bytes_;
};
