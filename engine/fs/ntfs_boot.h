#pragma once
// The geometry of an NTFS volume, taken from its boot sector and checked field by field
// before anything is allocated from it.

#include <cstdint>
#include <string>

#include "engine/fs/ntfs_layout.h"

namespace ntfs {

struct Geometry {
    std::uint32_t bytesPerSector = 0;
    std::uint32_t bytesPerCluster = 0;
    std::uint32_t recordSize = 0;        // from the boot sector; record 0 may refine it
    std::uint64_t totalClusters = 0;
    std::uint64_t mftCluster = 0;
    std::uint64_t mftMirrorCluster = 0;

    std::uint32_t sectorsPerCluster() const { return bytesPerCluster / 512; }
};

inline constexpr std::uint32_t kMaxClusterSize = 2 * 1024 * 1024;

// Parses a boot sector (at least 512 bytes). On failure returns false and names the field
// and its value in `error` ("not an NTFS volume: bytes per sector 300").
bool parseBootSector(Bytes sector, Geometry& geometry, std::string& error);

// The record size that a clusters-per-record byte stands for: negative values are
// 2^-v bytes, others that many clusters. 0 when it is not a power of two in 512..4096.
std::uint32_t recordSizeFromBoot(std::int8_t clustersPerRecord, std::uint32_t bytesPerCluster);

}  // namespace ntfs
