#include "engine/search/searcher_blocks.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "engine/disk/bit_array.h"
#include "engine/disk/drive.h"

namespace {

constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b) { return a / b + (a % b != 0); }

}  // namespace

CSearchBlockPlan::CSearchBlockPlan(const CDrive& drive, std::uint32_t bufferSize, bool freeSpaceOnly) {
    const _LDRIVE& info = *drive.GetDriveInfo();
    totalSectors_ = info.TotalSectors;
    // Cluster sizes come from boot sectors: anything below a sector counts as one sector.
    clusterSectors_ = std::max<std::uint32_t>(1, info.BytesPerCluster / kSectorSize);
    blockClusters_ = std::max<std::uint64_t>(1, ceilDiv(bufferSize, bytesPerCluster()));
    totalClusters_ = ceilDiv(totalSectors_, clusterSectors_);

    const CBitArray& map = drive.clusterMap();
    if (map.sizeInBits() == 0) return;
    map_ = &map;
    freeSpaceOnly_ = freeSpaceOnly;
    const CDrive::ClusterMapOrigin origin = drive.clusterMapOrigin();
    originSector_ = origin.firstSector;
    firstBit_ = origin.firstBit;
    const std::uint64_t mappedSectors = totalSectors_ > originSector_ ? totalSectors_ - originSector_ : 0;
    const std::uint64_t mappedClusters = ceilDiv(mappedSectors, clusterSectors_);
    endBit_ = firstBit_ + std::min(mappedClusters, kNone - firstBit_);
    if (freeSpaceOnly_) cursor_ = firstBit_;
}

bool CSearchBlockPlan::IsClusterUsed(std::uint64_t bit) const {
    return map_ != nullptr && map_->GetBit(bit);
}

std::uint64_t CSearchBlockPlan::FindNextFreeCluster(std::uint64_t bit) const {
    if (map_ == nullptr || bit >= map_->sizeInBits()) return bit;
    const std::int64_t found = map_->FindNext(bit, false);
    return found == CBitArray::kNotFound ? map_->sizeInBits() : static_cast<std::uint64_t>(found);
}

std::uint64_t CSearchBlockPlan::nextUsedCluster(std::uint64_t bit) const {
    if (map_ == nullptr || bit >= map_->sizeInBits()) return kNone;
    const std::int64_t found = map_->FindNext(bit, true);
    return found == CBitArray::kNotFound ? kNone : static_cast<std::uint64_t>(found);
}

std::uint64_t CSearchBlockPlan::CountFreeClusters() const {
    if (map_ == nullptr) return totalClusters_;
    const std::uint64_t mappedEnd = std::min(endBit_, map_->sizeInBits());
    std::uint64_t used = 0;
    std::uint64_t bit = firstBit_;
    const std::uint8_t* bytes = map_->GetData();
    for (; bit < mappedEnd && bit % 8 != 0; ++bit) used += map_->GetBit(bit);
    for (; bit + 8 <= mappedEnd; bit += 8) used += static_cast<std::uint64_t>(std::popcount(bytes[bit / 8]));
    for (; bit < mappedEnd; ++bit) used += map_->GetBit(bit);
    return endBit_ - firstBit_ - used;
}

bool CSearchBlockPlan::Next(SearchBlock& block) {
    block.matched.clear();
    return freeSpaceOnly_ ? nextFree(block) : nextWhole(block);
}

bool CSearchBlockPlan::nextWhole(SearchBlock& block) {
    if (cursor_ >= totalSectors_) return false;
    block.firstSector = cursor_;
    block.sectors = std::min(blockSectors(), totalSectors_ - cursor_);
    block.matched.push_back({0, block.sectors});
    cursor_ += block.sectors;
    return true;
}

bool CSearchBlockPlan::nextFree(SearchBlock& block) {
    const std::uint64_t start = FindNextFreeCluster(cursor_);
    // A jump past the drive's last cluster ends the search.
    if (start >= endBit_) {
        cursor_ = endBit_;
        return false;
    }
    const std::uint64_t windowEnd = std::min(endBit_, start + std::min(blockClusters_, kNone - start));
    block.firstSector = sectorOfBit(start);
    const std::uint64_t sectorsLeft = totalSectors_ - block.firstSector;
    std::uint64_t freeEnd = start;
    for (std::uint64_t bit = start; bit < windowEnd; bit = FindNextFreeCluster(freeEnd)) {
        freeEnd = std::min(nextUsedCluster(bit), windowEnd);
        const std::uint64_t first = (bit - start) * clusterSectors_;
        // The drive's last cluster may be partial.
        const std::uint64_t count = std::min((freeEnd - bit) * clusterSectors_, sectorsLeft - first);
        block.matched.push_back({first, count});
        if (freeEnd == windowEnd) break;
    }
    // The block ends with its last free cluster; the next one starts after it.
    const SectorRange& last = block.matched.back();
    block.sectors = last.first + last.count;
    cursor_ = freeEnd;
    return true;
}
