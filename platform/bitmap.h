#pragma once
// The bitmap object behind HBITMAP: a device-independent picture of 24-bit pixels in
// blue, green, red byte order, rows stored bottom-up (the first row in memory is the
// lowest on screen) and each row padded to a multiple of 4 bytes. A new bitmap is black.

#include <cstddef>
#include <vector>

#include "platform/api.h"
#include "platform/win_types.h"

struct PlatformBitmap {
    LONG width = 0;
    LONG height = 0;  // positive: rows bottom-up
    WORD bitsPerPixel = 24;
    DWORD stride = 0;  // bytes per row, padding included
    std::vector<BYTE> pixels;

    // The row that is `topDownRow` rows below the top edge.
    BYTE* row(LONG topDownRow) { return pixels.data() + std::size_t(height - 1 - topDownRow) * stride; }
    const BYTE* row(LONG topDownRow) const {
        return pixels.data() + std::size_t(height - 1 - topDownRow) * stride;
    }
};

// Frees a bitmap; deleting null fails (0).
PLATFORM_EXTERN_C PLATFORM_API BOOL DeleteObject(HBITMAP bitmap);

namespace platform {

// A black 24-bit bitmap, or null for a size of 0, a negative size or one above
// kMaxBitmapSide on either side.
inline constexpr LONG kMaxBitmapSide = 16384;
PLATFORM_API HBITMAP createBitmap24(LONG width, LONG height);

// Bytes per row of a 24-bit bitmap of `width` pixels: ((24 * width + 31) & ~31) / 8.
constexpr DWORD bitmapStride24(LONG width) {
    return ((24u * static_cast<DWORD>(width) + 31u) & ~31u) / 8u;
}

}  // namespace platform
