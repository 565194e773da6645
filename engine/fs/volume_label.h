#pragma once
// The label of a FAT or NTFS volume, as the system's own volume query reports it: for FAT
// the volume-label entry of the root folder, else the label field of the boot sector; for
// NTFS the volume name that $Volume holds (none when it has no name attribute). Read from
// the volume's own bytes, so a volume inside an image file or on a device without a mount
// has its label too. Everything read is bounded: at most the root folder's 2 MiB, or two
// file records.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace engine {

// Reads `out.size()` bytes (whole 512-byte sectors) at a sector-aligned byte offset of the
// volume; false when they cannot all be read.
using VolumeReader = std::function<bool(std::uint64_t offset, std::span<std::uint8_t> out)>;

// Labels are UTF-8 with trailing blanks cut; empty when the volume has none or it cannot
// be read. `volumeBytes` bounds every read (0: unknown, no bound).
std::string fatVolumeLabel(std::span<const std::uint8_t> bootSector, std::int32_t fileSystemCode,
                           std::uint64_t volumeBytes, const VolumeReader& read);
std::string ntfsVolumeName(std::span<const std::uint8_t> bootSector, std::uint64_t volumeBytes,
                           const VolumeReader& read);

// The label of a volume whose boot sector announces `fileSystemCode` (FAT12, FAT16,
// FAT32 or NTFS; others have no label here).
std::string volumeLabelOf(std::span<const std::uint8_t> bootSector, std::int32_t fileSystemCode,
                          std::uint64_t volumeBytes, const VolumeReader& read);

// A VolumeReader over a ReadSectors(first sector, count, buffer) -> bytes read.
template <typename ReadSectors>
VolumeReader sectorReader(ReadSectors readSectors) {
    return [readSectors](std::uint64_t offset, std::span<std::uint8_t> out) {
        if (offset % 512 != 0 || out.size() % 512 != 0) return false;
        return readSectors(offset / 512, out.size() / 512, out.data()) == out.size();
    };
}

}  // namespace engine
