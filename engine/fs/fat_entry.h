#pragma once
// One 32-byte FAT directory entry, the tests the reader applies to it, and its names.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "engine/byte_order.h"

inline constexpr std::size_t kFatEntrySize = 32;
// Longest name and path the reader produces, in UTF-16 units.
inline constexpr std::size_t kFatMaxNameLength = 4095;

inline constexpr std::uint8_t kFatAttrReadOnly = 0x01;
inline constexpr std::uint8_t kFatAttrHidden = 0x02;
inline constexpr std::uint8_t kFatAttrSystem = 0x04;
inline constexpr std::uint8_t kFatAttrVolumeLabel = 0x08;
inline constexpr std::uint8_t kFatAttrDirectory = 0x10;
inline constexpr std::uint8_t kFatAttrLongName = 0x0F;

inline constexpr std::uint8_t kFatDeletedMark = 0xE5;
// Byte 12: the 8.3 base name or extension is shown in lower case.
inline constexpr std::uint8_t kFatLowerCaseBase = 0x08;
inline constexpr std::uint8_t kFatLowerCaseExtension = 0x10;
// A live entry whose name really starts with byte 0xE5.
inline constexpr std::uint8_t kFatKanjiMark = 0x05;

struct FatDirEntry {
    std::array<std::uint8_t, kFatEntrySize> raw;

    std::uint8_t attributes() const { return raw[11]; }
    // Callers pass the entry's own fixed field offsets, all inside `raw`.
    std::uint16_t word(std::size_t offset) const {
        return engine::loadLittleEndian<std::uint16_t>(raw.data() + offset);
    }
    std::uint32_t key() const { return (std::uint32_t{word(20)} << 16) | word(26); }
    std::uint32_t fileSize() const { return engine::loadLittleEndian<std::uint32_t>(raw.data() + 28); }
    std::uint16_t creationTime() const { return word(14); }
    std::uint16_t creationDate() const { return word(16); }
    std::uint16_t accessDate() const { return word(18); }
    std::uint16_t writeTime() const { return word(22); }
    std::uint16_t writeDate() const { return word(24); }

    bool isEmpty() const;
    bool isDeleted() const { return raw[0] == kFatDeletedMark; }
    bool isDirectory() const { return (attributes() & kFatAttrDirectory) != 0; }
    bool isDotEntry() const { return isDirectory() && raw[0] == '.'; }
    bool isLongName() const { return attributes() == kFatAttrLongName; }
    bool isValidShortName() const;
    bool isValid() const;
    // A directory worth loading: valid, not a dot entry, a plausible 8.3 name.
    bool isLoadableDirectory() const {
        return isValid() && !isLongName() && isDirectory() && raw[0] != '.' && isValidShortName();
    }
};
static_assert(sizeof(FatDirEntry) == kFatEntrySize);

// The 8.3 name: '_' in place of a deleted entry's first byte, "BASE.EXT" or "BASE",
// lower-cased where the entry's case flags say so.
std::u16string fatShortName(const FatDirEntry& entry);

// The long name carried by `parts`, the long-name entries in front of `shortEntry`, the
// nearest first. Entries are taken while their checksum matches the 8.3 name (for a
// deleted entry, whose first byte is lost, any first byte may match); empty when none
// does. A live entry marked as the last part ends the name.
std::u16string fatLongName(std::span<const FatDirEntry> parts, const FatDirEntry& shortEntry);
