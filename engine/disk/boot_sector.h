#pragma once
// The first two sectors of a volume: which file system they announce and the fields that
// the drive and volume records take from them (OEM name, label, serial number).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace boot {

inline constexpr std::size_t kBootBufferSize = 1024;

// The 8-byte file-system names and where they stand.
inline constexpr std::size_t kOemNameOffset = 3;
inline constexpr std::size_t kFat1216TypeOffset = 54;
inline constexpr std::size_t kFat32TypeOffset = 82;
inline constexpr std::size_t kNtfsTypeOffset = 3;
inline constexpr std::size_t kSectorsPerClusterOffset = 13;
inline constexpr std::size_t kFat1216SerialOffset = 39;
inline constexpr std::size_t kFat1216LabelOffset = 43;
inline constexpr std::size_t kFat32SerialOffset = 67;
inline constexpr std::size_t kFat32LabelOffset = 71;
inline constexpr std::size_t kNtfsSerialOffset = 72;
inline constexpr std::size_t kLabelLength = 11;
inline constexpr std::size_t kOemNameLength = 8;

// File-system codes grouped as the boot sector is laid out; partition type bytes of
// hidden and extended variants count with their family.
bool isFat1216Family(std::int32_t code);
bool isFat32Family(std::int32_t code);
bool isNtfsFamily(std::int32_t code);
// A code with nothing to parse.
inline constexpr std::int32_t kNoBootFields = 240;

// Reads `count` sectors from sector `first` into a buffer; the bytes read, 0 on failure.
using SectorRead = std::function<std::uint64_t(std::uint64_t first, std::uint64_t count, void* buffer)>;
// Reads the two boot sectors into `buffer` (kBootBufferSize bytes, zeroed first). When
// they do not read together, sector 0 is read alone and the second half stays zero: a bad
// sector 1 (FAT1's first sector on small FAT volumes, FAT32's FSInfo, NTFS boot code)
// must not hide the volume. The bytes read.
std::uint64_t readBootSectors(const SectorRead& read, std::uint8_t* buffer);

// True when the 8 bytes at `offset` are `name`.
bool hasName(std::span<const std::uint8_t> boot, std::size_t offset, const char (&name)[9]);
// The label field at `offset`, kLabelLength bytes. Formatting tools write "NO NAME"
// there when a volume has no label: that placeholder reads as empty, as does a field
// past the buffer.
std::string_view labelField(std::span<const std::uint8_t> boot, std::size_t offset);
// Byte 13; NTFS writes clusters of more than 128 sectors as a negative power of two.
std::uint32_t sectorsPerCluster(std::span<const std::uint8_t> boot, std::int32_t code);

}  // namespace boot

// A parsed boot sector of one volume.
class CBOOT {
public:
    CBOOT();
    virtual ~CBOOT() = default;

    // File-system code of the buffer (NTFS, FAT32, FAT16, FAT12 in that order); -1 and
    // false when none is announced.
    bool DetectFileSystem();
    // OEM name always; then label and serial by file system. False when the file system
    // is unknown.
    bool ParseBoot();

    std::uint8_t* buffer() { return buffer_; }
    const char* oemName() const { return oemName_; }  // 8 bytes, not terminated
    const char* label() const { return label_; }      // NUL-terminated
    std::uint64_t serialNumber() const { return serialNumber_; }
    std::int32_t fileSystemId() const { return fileSystemId_; }

private:
    std::uint8_t buffer_[boot::kBootBufferSize];
    char oemName_[boot::kOemNameLength];
    char label_[boot::kLabelLength + 1];
    std::uint64_t serialNumber_ = 0;
    std::int32_t fileSystemId_ = -1;
};
