#include "engine/fs/fat_table.h"

#include <algorithm>
#include <unordered_set>

#include "engine/byte_order.h"
#include "engine/disk/bit_array.h"
#include "engine/exports.h"
#include "engine/log.h"

using engine::readLittleEndian;

FatTable::FatTable(const FatGeometry& geometry, std::vector<std::uint8_t> bytes)
    : kind_(geometry.kind), lastCluster_(geometry.lastCluster()), bytes_(std::move(bytes)) {
    const std::uint64_t present = fatEntriesIn(kind_, bytes_.size());
    entryCount_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(present, std::uint64_t{lastCluster_} + 1));
}

std::uint32_t FatTable::value(std::uint32_t index) const {
    if (index >= entryCount_) return 0;
    const std::span<const std::uint8_t> bytes(bytes_);
    switch (kind_) {
        case FatKind::Fat12: {
            const std::uint16_t pair =
                readLittleEndian<std::uint16_t>(bytes, std::size_t{index} * 3 / 2).value_or(0);
            return (index & 1) ? pair >> 4 : pair & 0x0FFF;
        }
        case FatKind::Fat16: return readLittleEndian<std::uint16_t>(bytes, std::size_t{index} * 2).value_or(0);
        case FatKind::Fat32:
            return readLittleEndian<std::uint32_t>(bytes, std::size_t{index} * 4).value_or(0) & 0x0FFFFFFF;
    }
    return 0;
}

bool FatTable::isEndMark(std::uint32_t value) const {
    switch (kind_) {
        case FatKind::Fat12: return value >= 0xFF8;
        case FatKind::Fat16: return value >= 0xFFF8;
        case FatKind::Fat32: return value >= 0x0FFFFFF8;
    }
    return true;
}

std::vector<std::uint32_t> FatTable::chain(std::uint32_t first) const {
    std::vector<std::uint32_t> clusters;
    std::unordered_set<std::uint32_t> seen;
    std::uint32_t next = first;
    while (next != 0 && !isEndMark(next)) {
        if (next < 2 || next > lastCluster_ || next >= entryCount_) {
            Log(kLogError, "except in CreateFileClustersList, NextCluster = 0x%X", next);
            break;
        }
        if (!seen.insert(next).second) {
            Log(kLogError,
                "CreateFileClustersList: error in FAT, corrupted file chain, NextCluster = 0x%X "
                "already exist in chain",
                next);
            break;
        }
        clusters.push_back(next);
        next = value(next);
    }
    return clusters;
}

bool FatTable::fillClusterMap(CBitArray& map) const {
    if (!map.Init(entryCount_, false)) return false;
    for (std::uint32_t i = 0; i < entryCount_; ++i) {
        if (value(i) != 0) map.SetBit(i, true);
    }
    return true;
}
