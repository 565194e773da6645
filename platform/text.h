#pragma once
// UTF-16 text of the engine's interface and UTF-8 text of Linux, and the bounded
// text fields of the on-disk and boundary records.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/api.h"

namespace platform {

// Ill-formed input (lone surrogates, bad UTF-8 sequences) becomes U+FFFD; never throws
// on bad data.
PLATFORM_API std::string toUtf8(std::u16string_view text);
PLATFORM_API std::u16string toUtf16(std::string_view text);

// Length of a NUL-terminated UTF-16 text, looking at no more than `limit` units.
PLATFORM_API std::size_t boundedLength(const char16_t* text, std::size_t limit);

// Copies into a fixed field of `capacity` units, cutting the text so that the field
// always ends with a NUL. A capacity of 0 writes nothing.
PLATFORM_API void copyToField(char* field, std::size_t capacity, std::string_view text);
PLATFORM_API void copyToField(char16_t* field, std::size_t capacity, std::u16string_view text);

// ASCII case folding, the comparison of drive letters, registry and extension names.
PLATFORM_API bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b);
PLATFORM_API bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace platform
