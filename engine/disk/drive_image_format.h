#pragma once
// The layout of a drive image file (integers little-endian):
//   0     14 zero bytes
//   14    uint16: n, partition records after the header (0 unless a disk was imaged)
//   32    the imaged drive's 915-byte record
//   4096  n partition records of 915 bytes
//   then  the drive's sectors 0, 1, 2, ... in order
// Records read back are untrusted: they are made safe before any drive uses them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/records.h"

namespace engine::image {

inline constexpr std::size_t kHeaderSize = 4096;
inline constexpr std::size_t kPartitionCountOffset = 14;
inline constexpr std::size_t kDriveRecordOffset = 32;
inline constexpr std::size_t kRecordSize = sizeof(_LDRIVE);
inline constexpr std::uint64_t kSectorBytes = 512;
// Sectors copied per piece (2 MiB).
inline constexpr std::uint64_t kPieceSectors = 4096;

using Header = std::array<std::uint8_t, kHeaderSize>;

// The record as a file stores it: the drive's source identity is left out.
_LDRIVE storedRecord(const _LDRIVE& drive);
Header buildHeader(const _LDRIVE& drive, std::uint16_t partitionCount);
std::uint16_t partitionCount(const Header& header);
_LDRIVE driveRecord(const Header& header);
// Where the sector data starts.
std::uint64_t dataOffset(std::uint16_t partitionCount);
// "Image from %c (%s) drive." with the drive's letter and label.
std::string imageDescription(const _LDRIVE& drive);

// Where a partition's data starts inside its disk's data: its base offset, or for a
// partition device (base offset 0) the start in its layout.
std::uint64_t partitionStart(const _LDRIVE& partition);

// Makes a record read from a file safe: texts terminated, internal slots cleared, at
// least one sector per cluster with a sector size the readers accept, and a size no
// larger than the `availableBytes` of data that the file holds for it.
void sanitizeLoadedRecord(_LDRIVE& record, std::uint64_t availableBytes);

}  // namespace engine::image
