#include "engine/disk/blocks_map.h"

#include <limits>

#include "engine/disk/volume.h"

bool CBlocksMap::Init(const CVolume& owner) {
    owner_ = &owner;
    auto bits = std::make_unique<CBitArray>();
    if (!bits->Init(owner.sectorCount(), false)) {
        bits_.reset();
        return false;
    }
    bits_ = std::move(bits);
    return true;
}

bool CBlocksMap::GetBit(std::uint64_t sector) const { return bits_ && bits_->GetBit(sector); }

void CBlocksMap::SetBit(std::uint64_t sector, bool value) {
    if (bits_) bits_->SetBit(sector, value);
}

CBlocksLayer::CBlocksLayer(std::uint32_t blockSize, std::uint64_t totalBlocks, CBlocksMap* map)
    : blockSize_(blockSize),
      sectorsPerBlock_(blockSize / 512 ? blockSize / 512 : 1),
      totalBlocks_(totalBlocks),
      map_(map) {}

bool CBlocksLayer::addresses(std::uint64_t block) const {
    return map_ && block < totalBlocks_ &&
           block <= std::numeric_limits<std::uint64_t>::max() / sectorsPerBlock_;
}

std::int32_t CBlocksLayer::SetBlockState(std::uint64_t block, bool state) {
    if (!addresses(block)) return kBlockFail;
    map_->SetBit(block * sectorsPerBlock_, state);
    return kBlockOk;
}

std::int32_t CBlocksLayer::GetBlockState(std::uint64_t block) const {
    if (!addresses(block)) return kBlockFail;
    return map_->GetBit(block * sectorsPerBlock_) ? 1 : 0;
}
