#include "engine/search/searcher_blocks.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "engine/disk/bit_array.h"
#include "engine/disk/drive.h"

namespace {

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
    if (!freeSpaceOnly || map.sizeInBits() == 0) return;
    map_ = &map;
    const CDrive::ClusterMapOrigin origin = drive.clusterMapOrigin();
    originSector_ = origin.firstSector;
    firstBit_ = origin.firstBit;
    const std::uint64_t mappedSectors = totalSectors_ > originSector_ ? totalSectors_ - originSector_ : 0;
    const std::uint64_t mappedClusters = ceilDiv(mappedSectors, clusterSectors_);
    endBit_ = firstBit_ + std::min(mappedClusters, std::numeric_limits<std::uint64_t>::max() - firstBit_);
    cursor_ = firstBit_;
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
    if (map_ == nullptr || bit >= map_->sizeInBits()) return std::numeric_limits<std::uint64_t>::max();
    const std::int64_t found = map_->FindNext(bit, true);
    return found == CBitArray::kNotFound ? std::numeric_limits<std::uint64_t>::max() : static_cast<std::uint64_t>(found);
}

std::uint64_t CSearchBlockPlan::CountFreeClusters() const {
    if (map_ == nullptr) return totalClusters_;
    const std::uint64_t mapBits = map_->sizeInBits();
    const std::uint64_t mappedEnd = std::min(endBit_, mapBits);
    std::uint64_t used = 0;
    std::uint64_t bit = firstBit_;
    const std::uint8_t* bytes = map_->GetData();
    for (; bit < mappedEnd && bit % 8 != 0; ++bit) used += map_->GetBit(bit);
    for (; bit + 8 <= mappedEnd; bit += 8) used += static_cast<std::uint64_t>(std::popcount(bytes[bit / 8]));
    for (; bit < mappedEnd; ++bit) used += map_->GetBit(bit);
    return endBit_ - firstBit_ - used;
}

std::optional<SearchBlock> CSearchBlockPlan::Next() { return map_ ? nextFree() : nextWhole(); }

std::optional<SearchBlock> CSearchBlockPlan::nextWhole() {
    if (cursor_ >= totalSectors_) return std::nullopt;
    SearchBlock block{cursor_, std::min(blockSectors(), totalSectors_ - cursor_)};
    cursor_ += block.sectors;
    return block;
}

std::optional<SearchBlock> CSearchBlockPlan::nextFree() {
    const std::uint64_t start = FindNextFreeCluster(cursor_);
    // A jump past the drive's last cluster ends the search.
    if (start >= endBit_) {
        cursor_ = endBit_;
        return std::nullopt;
    }
    const std::uint64_t end = std::min({nextUsedCluster(start), endBit_, start + blockClusters_});
    SearchBlock block;
    block.firstSector = originSector_ + (start - firstBit_) * clusterSectors_;
    block.sectors = std::min((end - start) * clusterSectors_, totalSectors_ - block.firstSector);
    cursor_ = end;
    return block;
}
