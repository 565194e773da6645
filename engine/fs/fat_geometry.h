#pragma once
// The layout of a FAT volume, read from its boot sector. Every figure is in bytes or
// clusters and checked before anything is allocated from it; the drive reads 512-byte
// sectors, so volumes with larger sectors are converted here.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

enum class FatKind { Fat12, Fat16, Fat32 };

struct FatGeometry {
    FatKind kind = FatKind::Fat16;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerCluster = 0;
    std::uint32_t fatCount = 0;
    std::uint64_t fatOffset = 0;  // first FAT copy
    std::uint64_t fatBytes = 0;   // one FAT copy
    std::uint64_t rootOffset = 0;  // FAT12/16 root region
    std::uint32_t rootEntryCount = 0;
    std::uint32_t rootCluster = 0;  // FAT32 only
    std::uint64_t dataOffset = 0;   // cluster 2 starts here
    std::uint32_t clusterCount = 0;  // data clusters, numbered 2..clusterCount+1
    std::uint64_t volumeBytes = 0;

    std::uint32_t lastCluster() const { return clusterCount + 1; }
    bool isDataCluster(std::uint64_t cluster) const {
        return cluster >= 2 && cluster <= lastCluster();
    }
    std::uint64_t clusterOffset(std::uint32_t cluster) const {
        return dataOffset + std::uint64_t{cluster - 2} * bytesPerCluster;
    }
    // Bytes of one FAT copy that hold the entries of clusters 0..lastCluster, in whole
    // 512-byte sectors: all that is read of a FAT, whatever size the boot sector gives it.
    std::uint64_t fatBytesInUse() const;
};

// Entries that `fatBytes` of a FAT hold (FAT12 entries take a byte and a half).
std::uint64_t fatEntriesIn(FatKind kind, std::uint64_t fatBytes);

struct FatGeometryResult {
    std::optional<FatGeometry> geometry;
    std::string error;  // "not a FAT volume: ..." when geometry is empty
};

// Parses the boot sector (at least 512 bytes) of a volume whose file-system code is
// 1, 4 or 11. `driveBytes` is the size of the drive when known (0 = unknown): it stands
// in for total-sector fields that are zero or too large, and the FAT and root regions
// must lie inside it. The clusters in use are at most what the FAT and the data area both
// hold and the kind can number; a FAT32 boot sector whose FAT holds more entries than
// 28-bit cluster numbers reach, on a data area past the kind's count too, is refused.
FatGeometryResult parseFatGeometry(std::span<const std::uint8_t> bootSector,
                                   std::int32_t fileSystemCode, std::uint64_t driveBytes);
