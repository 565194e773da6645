#include "platform/text.h"

#include <algorithm>
#include <cstring>

#include "platform/utf_codec.h"

namespace platform {

std::string toUtf8(std::u16string_view text) {
    std::string result;
    result.reserve(text.size());
    char encoded[4];
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t codePoint = utf::decodeUtf16(text, pos);
        result.append(encoded, utf::encodeUtf8(codePoint, encoded));
    }
    return result;
}

std::u16string toUtf16(std::string_view text) {
    std::u16string result;
    result.reserve(text.size());
    char16_t encoded[2];
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t codePoint = utf::decodeUtf8(text, pos);
        result.append(encoded, utf::encodeUtf16(codePoint, encoded));
    }
    return result;
}

std::size_t boundedLength(const char16_t* text, std::size_t limit) {
    if (text == nullptr) {
        return 0;
    }
    std::size_t length = 0;
    while (length < limit && text[length] != u'\0') {
        ++length;
    }
    return length;
}

// The rest of the field is zeroed so that records written to disk carry no stale bytes.
void copyToField(char* field, std::size_t capacity, std::string_view text) {
    if (field == nullptr || capacity == 0) {
        return;
    }
    const std::size_t length = std::min(text.size(), capacity - 1);
    std::memcpy(field, text.data(), length);
    std::fill(field + length, field + capacity, '\0');
}

void copyToField(char16_t* field, std::size_t capacity, std::u16string_view text) {
    if (field == nullptr || capacity == 0) {
        return;
    }
    std::size_t length = std::min(text.size(), capacity - 1);
    // Do not leave half of a surrogate pair behind.
    if (length < text.size() && length > 0 && utf::isHighSurrogate(text[length - 1]) &&
        utf::isLowSurrogate(text[length])) {
        --length;
    }
    std::copy_n(text.data(), length, field);
    std::fill(field + length, field + capacity, u'\0');
}

namespace {

template <typename Char>
constexpr Char foldAscii(Char unit) {
    return (unit >= 'A' && unit <= 'Z') ? static_cast<Char>(unit - 'A' + 'a') : unit;
}

template <typename Char>
bool equalsFolded(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](Char x, Char y) { return foldAscii(x) == foldAscii(y); });
}

}  // namespace

bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    return equalsFolded(a, b);
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return equalsFolded(a, b);
}

}  // namespace platform
