#pragma once
// A map of one bit per sector of a volume, and a layer that addresses it in blocks of
// several sectors.

#include <cstdint>
#include <memory>

#include "engine/disk/bit_array.h"

class CVolume;

class CBlocksMap {
public:
    // One bit per sector of the owner's volume, all clear; false when the volume has no
    // sectors or the map cannot be allocated.
    bool Init(const CVolume& owner);
    bool IsValid() const { return bits_ != nullptr; }
    bool GetBit(std::uint64_t sector) const;
    void SetBit(std::uint64_t sector, bool value);

private:
    const CVolume* owner_ = nullptr;
    std::unique_ptr<CBitArray> bits_;
};

// Result codes of the block state calls.
inline constexpr std::int32_t kBlockOk = 0;
inline constexpr std::int32_t kBlockFail = static_cast<std::int32_t>(0x80004005u);

class CBlocksLayer {
public:
    static constexpr std::uint32_t kDefaultBlockSize = 512;

    CBlocksLayer() = default;
    // `blockSize` is a multiple of 512 bytes (a smaller one counts as one sector).
    CBlocksLayer(std::uint32_t blockSize, std::uint64_t totalBlocks, CBlocksMap* map);
    virtual ~CBlocksLayer() = default;

    std::uint64_t GetTotalBlocks() const { return totalBlocks_; }
    std::uint32_t blockSize() const { return blockSize_; }
    std::uint32_t sectorsPerBlock() const { return sectorsPerBlock_; }
    // Address the map's bit of the block's first sector; kBlockFail without a map or for
    // a block not below the total.
    std::int32_t SetBlockState(std::uint64_t block, bool state);
    std::int32_t GetBlockState(std::uint64_t block) const;

private:
    bool addresses(std::uint64_t block) const;

    std::uint32_t blockSize_ = kDefaultBlockSize;
    std::uint32_t sectorsPerBlock_ = 1;
    std::uint64_t totalBlocks_ = 0;
    CBlocksMap* map_ = nullptr;
};
