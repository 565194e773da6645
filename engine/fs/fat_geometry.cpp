#include "engine/fs/fat_geometry.h"

#include <algorithm>

#include "engine/byte_order.h"
#include "engine/records.h"

using engine::loadLittleEndian;

namespace {

constexpr std::size_t kBootSectorSize = 512;
constexpr std::uint32_t kDriveSectorSize = 512;
constexpr std::uint32_t kMaxBytesPerSector = 4096;
constexpr std::uint32_t kMaxBytesPerCluster = 256 * 1024;
// The most clusters each kind can number: higher entry values mark bad clusters and
// chain ends, so clusters past these can never be part of a chain.
constexpr std::uint64_t kMaxFat12Clusters = 0xFF5;
constexpr std::uint64_t kMaxFat16Clusters = 0xFFF5;
constexpr std::uint64_t kMaxFat32Clusters = 0x0FFFFFF5;
// FAT32 entries hold 28-bit cluster numbers: a FAT of more entries than that names
// clusters no chain can reach, and no volume needs one.
constexpr std::uint64_t kMaxFat32Entries = std::uint64_t{1} << 28;

std::uint64_t maxClusters(FatKind kind) {
    switch (kind) {
        case FatKind::Fat12: return kMaxFat12Clusters;
        case FatKind::Fat16: return kMaxFat16Clusters;
        case FatKind::Fat32: return kMaxFat32Clusters;
    }
    return 0;
}

bool isPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

FatGeometryResult fail(const char* field, std::uint64_t value) {
    return {std::nullopt, std::string("not a FAT volume: ") + field + " " + std::to_string(value)};
}

}  // namespace

std::uint64_t fatEntriesIn(FatKind kind, std::uint64_t fatBytes) {
    switch (kind) {
        case FatKind::Fat12: return fatBytes * 2 / 3;
        case FatKind::Fat16: return fatBytes / 2;
        case FatKind::Fat32: return fatBytes / 4;
    }
    return 0;
}

std::uint64_t FatGeometry::fatBytesInUse() const {
    const std::uint64_t entries = std::uint64_t{clusterCount} + 2;
    std::uint64_t bytes = entries * 4;
    if (kind == FatKind::Fat12) bytes = (entries * 3 + 1) / 2;
    if (kind == FatKind::Fat16) bytes = entries * 2;
    const std::uint64_t sectors = (bytes + kDriveSectorSize - 1) / kDriveSectorSize;
    return std::min(sectors * kDriveSectorSize, fatBytes);
}

FatGeometryResult parseFatGeometry(std::span<const std::uint8_t> boot, std::int32_t fileSystemCode,
                                   std::uint64_t driveBytes) {
    FatGeometry g;
    switch (fileSystemCode) {
        case kFileSystemFat12: g.kind = FatKind::Fat12; break;
        case kFileSystemFat16: g.kind = FatKind::Fat16; break;
        case kFileSystemFat32: g.kind = FatKind::Fat32; break;
        default: return fail("file-system code", static_cast<std::uint32_t>(fileSystemCode));
    }
    if (boot.size() < kBootSectorSize) return fail("boot sector size", boot.size());

    g.bytesPerSector = loadLittleEndian<std::uint16_t>(boot.data() + 11);
    if (!isPowerOfTwo(g.bytesPerSector) || g.bytesPerSector < kDriveSectorSize ||
        g.bytesPerSector > kMaxBytesPerSector) {
        return fail("bytes per sector", g.bytesPerSector);
    }
    g.sectorsPerCluster = boot[13];
    if (!isPowerOfTwo(g.sectorsPerCluster)) return fail("sectors per cluster", g.sectorsPerCluster);
    g.bytesPerCluster = g.bytesPerSector * g.sectorsPerCluster;
    if (g.bytesPerCluster > kMaxBytesPerCluster) return fail("cluster size", g.bytesPerCluster);

    const std::uint32_t reservedSectors = loadLittleEndian<std::uint16_t>(boot.data() + 14);
    if (reservedSectors == 0) return fail("reserved sectors", 0);
    g.fatCount = boot[16];
    if (g.fatCount == 0) return fail("FAT count", 0);
    g.rootEntryCount = loadLittleEndian<std::uint16_t>(boot.data() + 17);

    const std::uint32_t totalSectors16 = loadLittleEndian<std::uint16_t>(boot.data() + 19);
    const std::uint64_t totalSectors =
        totalSectors16 != 0 ? totalSectors16 : loadLittleEndian<std::uint32_t>(boot.data() + 32);

    std::uint64_t fatSectors = loadLittleEndian<std::uint16_t>(boot.data() + 22);
    if (g.kind == FatKind::Fat32) {
        fatSectors = loadLittleEndian<std::uint32_t>(boot.data() + 36);
        g.rootCluster = loadLittleEndian<std::uint32_t>(boot.data() + 44);
        if (g.rootEntryCount != 0) return fail("FAT32 root entry count", g.rootEntryCount);
    } else if (g.rootEntryCount == 0) {
        return fail("root entry count", 0);
    }
    if (fatSectors == 0) return fail("FAT sectors", 0);

    const std::uint64_t bps = g.bytesPerSector;
    // The size fields are only a hint: a damaged one (zero, or past the drive's end) gives
    // way to the drive's own size.
    g.volumeBytes = totalSectors * bps;
    if (driveBytes != 0 && (g.volumeBytes == 0 || g.volumeBytes > driveBytes)) g.volumeBytes = driveBytes;
    if (g.volumeBytes == 0) return fail("total sectors", 0);
    g.fatOffset = std::uint64_t{reservedSectors} * bps;
    g.fatBytes = fatSectors * bps;
    g.rootOffset = g.fatOffset + g.fatCount * g.fatBytes;
    const std::uint64_t rootBytes = std::uint64_t{g.rootEntryCount} * 32;
    const std::uint64_t rootSectors = (rootBytes + bps - 1) / bps;
    g.dataOffset = g.rootOffset + rootSectors * bps;
    if (g.dataOffset >= g.volumeBytes) return fail("data area start", g.dataOffset);

    const std::uint64_t clusters = (g.volumeBytes - g.dataOffset) / g.bytesPerCluster;
    const std::uint64_t fatEntries = fatEntriesIn(g.kind, g.fatBytes);
    if (fatEntries < 3) return fail("FAT entries", fatEntries);
    // A FAT shorter than the data area leaves the clusters it cannot describe unused.
    std::uint64_t usable = std::min(clusters, fatEntries - 2);
    if (usable > maxClusters(g.kind)) {
        // Both the FAT and the data area hold more clusters than the kind can number. On
        // FAT32 a FAT of more entries than cluster numbers exist is forged, and the volume
        // size does not hold it back: no size this boot sector gives can be believed, and
        // trusting it would cost up to 1 GiB of FAT for nothing.
        if (g.kind == FatKind::Fat32 && fatEntries > kMaxFat32Entries) return fail("FAT sectors", fatSectors);
        usable = maxClusters(g.kind);
    }
    if (usable == 0) return fail("cluster count", 0);
    g.clusterCount = static_cast<std::uint32_t>(usable);

    if (g.kind == FatKind::Fat32 && !g.isDataCluster(g.rootCluster)) {
        return fail("root cluster", g.rootCluster);
    }
    return {g, {}};
}
