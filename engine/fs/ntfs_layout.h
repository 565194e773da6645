#pragma once
// NTFS on-disk constants and bounded field reads. Every read names the container it may
// not leave: a field that does not fit reads as absent (engine::readLittleEndian) or as a
// fallback (fieldOr).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "engine/byte_order.h"

namespace ntfs {

using Bytes = std::span<const std::uint8_t>;

inline constexpr std::uint32_t kFileMagic = 0x454C4946;  // "FILE"
inline constexpr std::uint32_t kFixupStride = 512;       // whatever the sector size
inline constexpr std::uint32_t kMinRecordSize = 512;
inline constexpr std::uint32_t kMaxRecordSize = 4096;
inline constexpr std::uint64_t kRootDirectory = 5;
inline constexpr std::uint64_t kBitmapRecord = 6;
inline constexpr std::uint64_t kRecordNumberMask = 0x0000FFFFFFFFFFFFULL;

// File record header.
inline constexpr std::size_t kHeaderMagic = 0;
inline constexpr std::size_t kHeaderFixupOffset = 4;
inline constexpr std::size_t kHeaderFixupCount = 6;
inline constexpr std::size_t kHeaderFirstAttribute = 20;
inline constexpr std::size_t kHeaderFlags = 22;
inline constexpr std::size_t kHeaderAllocatedSize = 28;
inline constexpr std::size_t kHeaderBaseRecord = 32;
inline constexpr std::size_t kHeaderRecordNumber = 44;
inline constexpr std::size_t kHeaderSize = 48;
inline constexpr std::uint16_t kRecordInUse = 0x0001;
inline constexpr std::uint16_t kRecordDirectory = 0x0002;

// Attribute types.
inline constexpr std::uint32_t kAttrStandardInformation = 0x10;
inline constexpr std::uint32_t kAttrAttributeList = 0x20;
inline constexpr std::uint32_t kAttrFileName = 0x30;
inline constexpr std::uint32_t kAttrData = 0x80;
inline constexpr std::uint32_t kAttrEnd = 0xFFFFFFFF;

// Attribute header (common, resident, non-resident).
inline constexpr std::size_t kAttrType = 0;
inline constexpr std::size_t kAttrLength = 4;
inline constexpr std::size_t kAttrNonResident = 8;
inline constexpr std::size_t kAttrNameLength = 9;
inline constexpr std::size_t kAttrNameOffset = 10;
inline constexpr std::size_t kAttrCommonSize = 16;
inline constexpr std::size_t kResidentValueLength = 16;
inline constexpr std::size_t kResidentValueOffset = 20;
inline constexpr std::size_t kResidentHeaderSize = 24;
inline constexpr std::size_t kNonResidentLowestVcn = 16;
inline constexpr std::size_t kNonResidentMappingPairs = 32;
inline constexpr std::size_t kNonResidentAllocatedSize = 40;
inline constexpr std::size_t kNonResidentRealSize = 48;
inline constexpr std::size_t kNonResidentInitializedSize = 56;
inline constexpr std::size_t kNonResidentHeaderSize = 64;

// Attribute values.
inline constexpr std::size_t kStdCreationTime = 0;
inline constexpr std::size_t kStdModificationTime = 8;
inline constexpr std::size_t kStdAccessTime = 24;
inline constexpr std::size_t kStdAttributes = 32;
inline constexpr std::size_t kStdMinimumSize = 36;
inline constexpr std::size_t kNameParent = 0;
inline constexpr std::size_t kNameRealSize = 48;
inline constexpr std::size_t kNameLength = 64;
inline constexpr std::size_t kNameNamespace = 65;
inline constexpr std::size_t kNameText = 66;
inline constexpr std::size_t kListEntryType = 0;
inline constexpr std::size_t kListEntryLength = 4;
inline constexpr std::size_t kListEntryNameLength = 6;
inline constexpr std::size_t kListEntryStartVcn = 8;
inline constexpr std::size_t kListEntryRecord = 16;
inline constexpr std::size_t kListEntryMinimumSize = 26;

// File-name namespaces.
inline constexpr std::uint8_t kNamespacePosix = 0;
inline constexpr std::uint8_t kNamespaceWin32 = 1;
inline constexpr std::uint8_t kNamespaceDos = 2;
inline constexpr std::uint8_t kNamespaceWin32AndDos = 3;

// For fields whose container was already checked to hold them.
template <engine::ByteOrderInteger T>
T fieldOr(Bytes container, std::size_t offset, T fallback = T{}) {
    return engine::readLittleEndian<T>(container, offset).value_or(fallback);
}

// A sub-range [offset, offset + length) of the container, or nothing when it leaves it.
inline std::optional<Bytes> subRange(Bytes container, std::size_t offset, std::size_t length) {
    if (offset > container.size() || container.size() - offset < length) return std::nullopt;
    return container.subspan(offset, length);
}

constexpr bool isPowerOfTwo(std::uint64_t value) { return value && !(value & (value - 1)); }

}  // namespace ntfs
