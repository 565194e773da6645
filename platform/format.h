#pragma once
// The printf dialect of the engine's log formats: %s %S %c %d %i %u %x %X %p %%, the
// size prefixes h, l and I64 (%I64d, %I64u, %I64x, %I64X), the flags '-', '0' and '#',
// a width and, for %s and %S, a precision. %S takes UTF-16 text (char16_t*) and writes it
// as UTF-8. A null text prints "(null)". An unknown conversion is copied as it stands.

#include <cstdarg>
#include <cstddef>

#include "platform/api.h"

namespace platform {

// Formats into `out`, which holds `size` bytes, and returns the length written without
// the terminator. The output is cut to fit and always NUL-terminated when size > 0;
// nothing is ever written past `size` bytes.
PLATFORM_API std::size_t formatv(char* out, std::size_t size, const char* format, va_list args);
PLATFORM_API std::size_t format(char* out, std::size_t size, const char* format, ...);

}  // namespace platform
