#pragma once
// Code-point level UTF-8 and UTF-16 coding shared by text.cpp and format.cpp; internal to
// the platform library. Ill-formed input decodes to U+FFFD, one per maximal bad subpart.

#include <cstddef>
#include <string_view>

namespace platform::utf {

inline constexpr char32_t kReplacement = 0xFFFD;

constexpr bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Decodes the code point at `pos` and advances `pos` past it.
constexpr char32_t decodeUtf16(std::u16string_view text, std::size_t& pos) {
    const char32_t unit = text[pos++];
    if (isHighSurrogate(unit) && pos < text.size() && isLowSurrogate(text[pos])) {
        const char32_t low = text[pos++];
        return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
        return kReplacement;
    }
    return unit;
}

// Decodes the code point at `pos` and advances `pos` past it. A broken sequence consumes
// only the bytes that could have started it, so the next sequence is not swallowed.
constexpr char32_t decodeUtf8(std::string_view text, std::size_t& pos) {
    const auto byteAt = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
    const unsigned char lead = byteAt(pos++);
    if (lead < 0x80) {
        return lead;
    }
    std::size_t trailing = 0;
    char32_t value = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) secondLow = 0xA0;   // overlong
        if (lead == 0xED) secondHigh = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        value = lead & 0x07;
        if (lead == 0xF0) secondLow = 0x90;   // overlong
        if (lead == 0xF4) secondHigh = 0x8F;  // above U+10FFFF
    } else {
        return kReplacement;
    }
    for (std::size_t i = 0; i < trailing; ++i) {
        if (pos >= text.size()) {
            return kReplacement;
        }
        const unsigned char next = byteAt(pos);
        const unsigned char low = i == 0 ? secondLow : 0x80;
        const unsigned char high = i == 0 ? secondHigh : 0xBF;
        if (next < low || next > high) {
            return kReplacement;
        }
        value = (value << 6) | (next & 0x3F);
        ++pos;
    }
    return value;
}

// Writes the UTF-8 form of a valid code point into `out` (room for 4) and returns its
// length.
constexpr std::size_t encodeUtf8(char32_t codePoint, char* out) {
    if (codePoint < 0x80) {
        out[0] = static_cast<char>(codePoint);
        return 1;
    }
    if (codePoint < 0x800) {
        out[0] = static_cast<char>(0xC0 | (codePoint >> 6));
        out[1] = static_cast<char>(0x80 | (codePoint & 0x3F));
        return 2;
    }
    if (codePoint < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (codePoint >> 12));
        out[1] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (codePoint & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (codePoint >> 18));
    out[1] = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (codePoint & 0x3F));
    return 4;
}

// Writes the UTF-16 form of a valid code point into `out` (room for 2) and returns its
// length.
constexpr std::size_t encodeUtf16(char32_t codePoint, char16_t* out) {
    if (codePoint < 0x10000) {
        out[0] = static_cast<char16_t>(codePoint);
        return 1;
    }
    const char32_t offset = codePoint - 0x10000;
    out[0] = static_cast<char16_t>(0xD800 + (offset >> 10));
    out[1] = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
    return 2;
}

}  // namespace platform::utf
