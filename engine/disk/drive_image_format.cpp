#include "engine/disk/drive_image_format.h"

#include <cstdio>
#include <cstring>

namespace engine::image {
namespace {

constexpr std::uint32_t kMaxSectorsPerCluster = 32768;

template <std::size_t N>
void terminate(char (&field)[N]) {
    field[N - 1] = '\0';
}

std::uint64_t atMost(std::uint64_t value, std::uint64_t limit) { return value < limit ? value : limit; }

bool acceptableSectorSize(std::uint32_t bytes) {
    return bytes >= 512 && bytes <= 4096 && (bytes & (bytes - 1)) == 0;
}

}  // namespace

_LDRIVE storedRecord(const _LDRIVE& drive) {
    _LDRIVE record = drive;
    // Where the drive's bytes came from means nothing in a file: those bytes stay zero.
    record.SourceDevice = 0;
    record.SourceInode = 0;
    std::memset(record.Reserved697, 0, sizeof record.Reserved697);
    return record;
}

Header buildHeader(const _LDRIVE& drive, std::uint16_t partitionCount) {
    Header header{};
    header[kPartitionCountOffset] = static_cast<std::uint8_t>(partitionCount & 0xFF);
    header[kPartitionCountOffset + 1] = static_cast<std::uint8_t>(partitionCount >> 8);
    const _LDRIVE record = storedRecord(drive);
    std::memcpy(header.data() + kDriveRecordOffset, &record, kRecordSize);
    return header;
}

std::uint16_t partitionCount(const Header& header) {
    return static_cast<std::uint16_t>(header[kPartitionCountOffset] | (header[kPartitionCountOffset + 1] << 8));
}

_LDRIVE driveRecord(const Header& header) {
    _LDRIVE record;
    std::memcpy(&record, header.data() + kDriveRecordOffset, kRecordSize);
    return record;
}

std::uint64_t dataOffset(std::uint16_t partitionCount) { return kHeaderSize + std::uint64_t{partitionCount} * kRecordSize; }

std::string imageDescription(const _LDRIVE& drive) {
    char text[sizeof drive.Description];
    std::snprintf(text, sizeof text, "Image from %c (%.*s) drive.", drive.Letter,
                  static_cast<int>(strnlen(drive.Label, sizeof drive.Label)), drive.Label);
    return text;
}

std::uint64_t partitionStart(const _LDRIVE& partition) {
    if (partition.BaseOffset != 0) return partition.BaseOffset;
    if (partition.Kind == kDriveVolume && partition.Layout.PartitionCount >= 1) {
        const LONGLONG start = partition.Layout.PartitionEntry[0].StartingOffset;
        return start > 0 ? static_cast<std::uint64_t>(start) : 0;
    }
    return 0;
}

void sanitizeLoadedRecord(_LDRIVE& record, std::uint64_t availableBytes) {
    terminate(record.Label);
    terminate(record.FileSystemName);
    terminate(record.Description);
    record.DevicePathSlot = 0;
    record.QueryThreadSlot = 0;
    if (!acceptableSectorSize(record.BytesPerSector)) record.BytesPerSector = static_cast<std::uint32_t>(kSectorBytes);
    if (record.SectorsPerCluster == 0 || record.SectorsPerCluster > kMaxSectorsPerCluster) record.SectorsPerCluster = 1;
    record.BytesPerCluster = record.SectorsPerCluster * record.BytesPerSector;
    const std::uint64_t availableSectors = availableBytes / kSectorBytes;
    record.TotalSectors = atMost(record.TotalSectors, availableSectors);
    record.SpaceTotal = atMost(record.SpaceTotal, availableBytes);
    record.SpaceFree = atMost(record.SpaceFree, record.SpaceTotal);
    record.TotalClusters = atMost(record.TotalClusters, availableBytes / record.BytesPerCluster);
    record.Layout.PartitionCount =
        static_cast<DWORD>(atMost(record.Layout.PartitionCount, std::size(record.Layout.PartitionEntry)));
}

}  // namespace engine::image
