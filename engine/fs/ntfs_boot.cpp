#include "engine/fs/ntfs_boot.h"

#include <cstring>

namespace ntfs {

namespace {

constexpr std::size_t kBootOem = 3;
constexpr std::size_t kBootBytesPerSector = 11;
constexpr std::size_t kBootSectorsPerCluster = 13;
constexpr std::size_t kBootTotalSectors = 40;
constexpr std::size_t kBootMftCluster = 48;
constexpr std::size_t kBootMirrorCluster = 56;
constexpr std::size_t kBootClustersPerRecord = 64;
constexpr std::size_t kBootSectorSize = 512;

bool fail(std::string& error, const char* field, std::uint64_t value) {
    error = std::string("not an NTFS volume: ") + field + " " + std::to_string(value);
    return false;
}

}  // namespace

std::uint32_t recordSizeFromBoot(std::int8_t clustersPerRecord, std::uint32_t bytesPerCluster) {
    std::uint64_t size = 0;
    if (clustersPerRecord < 0) {
        int shift = -clustersPerRecord;
        if (shift < 32) size = std::uint64_t{1} << shift;
    } else {
        size = std::uint64_t(clustersPerRecord) * bytesPerCluster;
    }
    if (!isPowerOfTwo(size) || size < kMinRecordSize || size > kMaxRecordSize) return 0;
    return static_cast<std::uint32_t>(size);
}

bool parseBootSector(Bytes sector, Geometry& geometry, std::string& error) {
    if (sector.size() < kBootSectorSize) return fail(error, "boot sector bytes", sector.size());
    if (std::memcmp(sector.data() + kBootOem, "NTFS    ", 8) != 0) {
        error = "not an NTFS volume: OEM name";
        return false;
    }
    std::uint16_t bytesPerSector = fieldOr<std::uint16_t>(sector, kBootBytesPerSector);
    if (!isPowerOfTwo(bytesPerSector) || bytesPerSector < 512 || bytesPerSector > 4096) {
        return fail(error, "bytes per sector", bytesPerSector);
    }
    // 0xF0 and above encode 2^(256 - v) sectors, for clusters above 64 KiB.
    std::uint8_t code = sector[kBootSectorsPerCluster];
    std::uint64_t sectorsPerCluster = code >= 0xF0 ? std::uint64_t{1} << (256 - code) : code;
    std::uint64_t bytesPerCluster = sectorsPerCluster * bytesPerSector;
    if (!isPowerOfTwo(sectorsPerCluster) || bytesPerCluster > kMaxClusterSize) {
        return fail(error, "sectors per cluster", code);
    }
    std::uint64_t totalSectors = fieldOr<std::uint64_t>(sector, kBootTotalSectors);
    std::uint64_t totalClusters = totalSectors / sectorsPerCluster;
    if (totalClusters == 0) return fail(error, "total sectors", totalSectors);
    std::uint64_t mftCluster = fieldOr<std::uint64_t>(sector, kBootMftCluster);
    if (mftCluster >= totalClusters) return fail(error, "MFT cluster", mftCluster);
    auto clustersPerRecord = fieldOr<std::int8_t>(sector, kBootClustersPerRecord);
    std::uint32_t recordSize =
        recordSizeFromBoot(clustersPerRecord, static_cast<std::uint32_t>(bytesPerCluster));
    if (recordSize == 0) {
        return fail(error, "clusters per record", static_cast<std::uint8_t>(clustersPerRecord));
    }
    geometry.bytesPerSector = bytesPerSector;
    geometry.bytesPerCluster = static_cast<std::uint32_t>(bytesPerCluster);
    geometry.recordSize = recordSize;
    geometry.totalClusters = totalClusters;
    geometry.mftCluster = mftCluster;
    geometry.mftMirrorCluster = fieldOr<std::uint64_t>(sector, kBootMirrorCluster);
    return true;
}

}  // namespace ntfs
