#pragma once
// Compound documents (the storage format of older office files): the size that a hit's
// header announces, and the application type that the names in its directory reveal.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

class CDrive;
struct FoundFileRecord;

namespace compound {

inline constexpr std::uint16_t kStorageTypeId = 10;
inline constexpr std::size_t kDirectoryEntrySize = 128;
inline constexpr std::size_t kDirectoryEntries = 100;
inline constexpr std::size_t kDirectoryBytes = kDirectoryEntrySize * kDirectoryEntries;

struct CompoundHeader {
    std::uint32_t sectorSize = 0;          // 128 .. 65536 bytes
    std::uint64_t addressableBytes = 0;    // what the file's FAT sectors can address
    std::uint64_t directoryOffset = 0;     // from the start of the file
};

// The header at the start of `unit` (at least 512 bytes): all eight magic bytes, a sector
// shift of 7 to 16. Nothing when the unit does not hold a usable header.
std::optional<CompoundHeader> ParseHeader(std::span<const std::uint8_t> unit);

// The application type of a directory (up to 100 entries of 128 bytes, names UTF-16 at
// each entry's start, at most 32 units long): the first stream name that a rule knows,
// else the storage type itself. A directory that does not start with the root entry is
// not trusted.
std::uint16_t ClassifyStorage(std::span<const std::uint8_t> directory);

// Refines a storage hit whose unit is `unit`: sets the record's size (capped at the end
// of the drive) and returns the type id: the application's, 0 when the directory cannot
// be read, the storage type when the header is not usable.
std::uint16_t ExtractDocInfo(CDrive& drive, FoundFileRecord& record, std::span<const std::uint8_t> unit);

}  // namespace compound
