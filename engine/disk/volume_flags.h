#pragma once
// The volume flags of the drive record (FileSystemFlags): what the file system itself can
// do, as the system's volume query reports it for FAT and NTFS, and whether the volume is
// mounted read-only. Never the Linux mount's own flag bits.

#include <cstdint>

#include "engine/records.h"

namespace engine::disk {

inline constexpr std::uint32_t kVolumeCasePreservedNames = 0x00000002;
inline constexpr std::uint32_t kVolumeUnicodeOnDisk = 0x00000004;
inline constexpr std::uint32_t kVolumeReadOnly = 0x00080000;
inline constexpr std::uint32_t kFatVolumeFlags = kVolumeCasePreservedNames | kVolumeUnicodeOnDisk;
// Case-sensitive search, case-preserved names, Unicode, ACLs, compression, quotas, sparse
// files, reparse points, object ids, encryption and named streams.
inline constexpr std::uint32_t kNtfsVolumeFlags = 0x000700FF;

// `fileSystemCode` is the file system that the boot sector announces (0 or -1: none).
constexpr std::uint32_t volumeFlagsOf(std::int32_t fileSystemCode, bool readOnlyMount) {
    std::uint32_t flags = 0;
    if (fileSystemCode == kFileSystemFat12 || fileSystemCode == kFileSystemFat16 ||
        fileSystemCode == kFileSystemFat32)
        flags = kFatVolumeFlags;
    if (fileSystemCode == kFileSystemNtfs) flags = kNtfsVolumeFlags;
    return readOnlyMount ? flags | kVolumeReadOnly : flags;
}

}  // namespace engine::disk
