#pragma once
// Device-independent bitmaps of our own: 1, 4 and 8 bits with a palette, 16 and 32 bits
// plain or with bit fields, 24 bits; core (12-byte) and info (40..124-byte) headers.
// Compressed (run-length) bitmaps are not decoded. Rows missing at the end of a cut-off
// file stay black.

#include <cstdint>
#include <optional>
#include <span>

#include "engine/imaging/picture.h"

namespace engine::imaging {

bool looksLikeBmp(std::span<const std::uint8_t> data);
// A whole ".bmp" file: file header, then the bitmap.
std::optional<Picture> decodeBmp(std::span<const std::uint8_t> data);

// A bitmap inside an icon: the header's height covers the picture and its 1-bit mask
// below it; masked pixels, and for 32-bit pixels the alpha channel, blend to black.
std::optional<Picture> decodeIconBitmap(std::span<const std::uint8_t> dib);

}  // namespace engine::imaging
