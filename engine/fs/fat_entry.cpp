#include "engine/fs/fat_entry.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::string_view kForbiddenShortNameBytes = "\"*+,/:;<=>?[\\]|";
constexpr std::uint8_t kLastLongNamePart = 0x40;
constexpr std::size_t kLongNameOffsets[] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};

bool isValidShortNameByte(std::uint8_t byte) {
    if (byte < 0x20) return false;
    if (byte >= 'a' && byte <= 'z') return false;
    return kForbiddenShortNameBytes.find(static_cast<char>(byte)) == std::string_view::npos;
}

std::uint8_t checksumFrom(std::uint8_t first, const std::uint8_t* name) {
    std::uint8_t sum = first;
    for (int i = 1; i < 11; ++i) {
        sum = static_cast<std::uint8_t>(((sum & 1) << 7) + (sum >> 1) + name[i]);
    }
    return sum;
}

bool checksumMatches(std::uint8_t checksum, const FatDirEntry& shortEntry) {
    if (!shortEntry.isDeleted()) return checksumFrom(shortEntry.raw[0], shortEntry.raw.data()) == checksum;
    for (int first = 0; first < 256; ++first) {
        if (checksumFrom(static_cast<std::uint8_t>(first), shortEntry.raw.data()) == checksum) return true;
    }
    return false;
}

}  // namespace

bool FatDirEntry::isEmpty() const {
    return std::all_of(raw.begin(), raw.end(), [](std::uint8_t byte) { return byte == 0; });
}

bool FatDirEntry::isValidShortName() const {
    if (raw[0] == 0x00 || raw[0] == 0x20) return false;
    const std::size_t start = raw[0] == kFatKanjiMark ? 1 : 0;
    for (std::size_t i = start; i < 11; ++i) {
        if (!isValidShortNameByte(raw[i])) return false;
    }
    return true;
}

bool FatDirEntry::isValid() const {
    if ((attributes() & 0xC0) != 0) return false;
    if ((attributes() & kFatAttrLongName) == kFatAttrLongName) {
        return attributes() == kFatAttrLongName && word(26) == 0;
    }
    return isValidShortName() && raw[13] <= 199;
}

std::u16string fatShortName(const FatDirEntry& entry) {
    // Bytes above 0x7F are taken as Latin-1; the case flags that Linux and Windows set
    // for an all-lower-case 8.3 name are honoured.
    const auto unit = [](std::uint8_t byte, bool lower) {
        if (lower && byte >= 'A' && byte <= 'Z') byte = static_cast<std::uint8_t>(byte - 'A' + 'a');
        return static_cast<char16_t>(byte);
    };
    const bool lowerBase = (entry.raw[12] & kFatLowerCaseBase) != 0;
    const bool lowerExtension = (entry.raw[12] & kFatLowerCaseExtension) != 0;
    std::u16string name;
    for (std::size_t i = 0; i < 8 && entry.raw[i] != ' '; ++i) {
        std::uint8_t byte = entry.raw[i];
        if (i == 0 && entry.isDeleted()) byte = '_';
        if (i == 0 && byte == kFatKanjiMark) byte = kFatDeletedMark;
        name.push_back(unit(byte, lowerBase));
    }
    if (entry.raw[8] != ' ') {
        name.push_back(u'.');
        for (std::size_t i = 8; i < 11 && entry.raw[i] != ' '; ++i) name.push_back(unit(entry.raw[i], lowerExtension));
    }
    return name;
}

std::u16string fatLongName(std::span<const FatDirEntry> parts, const FatDirEntry& shortEntry) {
    std::u16string name;
    for (const FatDirEntry& part : parts) {
        if (!part.isLongName() || !checksumMatches(part.raw[13], shortEntry)) break;
        for (std::size_t offset : kLongNameOffsets) {
            const char16_t unit = static_cast<char16_t>(part.word(offset));
            if (unit == 0) return name;
            if (name.size() == kFatMaxNameLength) return name;
            name.push_back(unit);
        }
        if (!part.isDeleted() && (part.raw[0] & kLastLongNamePart) != 0) break;
    }
    return name;
}
