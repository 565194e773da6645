#include "platform/registry_text.h"

#include <algorithm>

#include "platform/text.h"
#include "platform/utf_codec.h"

namespace platform::registry_detail {
namespace {

template <typename Char>
Char foldAscii(Char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

}  // namespace

void appendUtf8(std::string& out, char32_t codePoint) {
    char bytes[4];
    out.append(bytes, utf::encodeUtf8(codePoint, bytes));
}

std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& pos) {
    if (pos >= text.size()) {
        return std::nullopt;
    }
    const std::size_t start = pos;
    const char32_t codePoint = utf::decodeUtf8(text, pos);
    // The lenient decoder marks bad input with U+FFFD; a spelled-out U+FFFD is fine.
    if (codePoint == utf::kReplacement && text.substr(start, pos - start) != "\xEF\xBF\xBD") {
        pos = start;
        return std::nullopt;
    }
    return codePoint;
}

void appendUtf16(std::u16string& out, char32_t codePoint) {
    char16_t units[2];
    out.append(units, utf::encodeUtf16(codePoint, units));
}

std::optional<std::string> toUtf8Strict(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            return std::nullopt;
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::optional<std::u16string> toUtf16Strict(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto codePoint = decodeUtf8(text, pos);
        if (!codePoint) {
            return std::nullopt;
        }
        appendUtf16(out, *codePoint);
    }
    return out;
}

std::u16string foldName(std::u16string_view name) {
    std::u16string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), foldAscii<char16_t>);
    return folded;
}

bool sameName(std::u16string_view a, std::u16string_view b) { return equalsIgnoreCase(a, b); }
bool sameName(std::string_view a, std::string_view b) { return equalsIgnoreCase(a, b); }

bool nameLess(std::u16string_view a, std::u16string_view b) {
    const bool foldedLess = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](char16_t x, char16_t y) { return foldAscii(x) < foldAscii(y); });
    if (foldedLess) {
        return true;
    }
    return sameName(a, b) && a < b;
}

}  // namespace platform::registry_detail
