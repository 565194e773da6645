#pragma once
// The FAT as a failing disk gives it: copy 1 read piece by piece and compared with copy 2,
// each piece with one attempt; a piece that copy 1 cannot give comes from copy 2, and one
// that neither gives is read sector by sector in a sector pass (engine/disk/sector_pass.h),
// each sector from the first copy that gives it with one attempt, and only a sector that
// no copy gives retried. A part that no copy gives reads as free entries, so the chains
// through it end there.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "engine/fs/fat_geometry.h"

struct FatCopies {
    std::vector<std::uint8_t> bytes;  // geometry.fatBytesInUse() bytes of the FAT
    bool copiesDiffer = false;        // a piece of copies 1 and 2 differs or one could not be read
};

// Reads `out.size()` bytes at a byte offset of the volume with the attempts of the
// thread's ReadScope; false when any could not be read.
using FatReadFunction = std::function<bool(std::uint64_t offset, std::span<std::uint8_t> out)>;

FatCopies readFatCopies(const FatGeometry& geometry, const FatReadFunction& read);
