#include "platform/bitmap.h"

#include <new>

BOOL DeleteObject(HBITMAP bitmap) {
    if (!bitmap) return 0;
    delete bitmap;
    return 1;
}

namespace platform {

HBITMAP createBitmap24(LONG width, LONG height) {
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
        return nullptr;
    auto* bitmap = new (std::nothrow) PlatformBitmap;
    if (!bitmap) return nullptr;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->stride = bitmapStride24(width);
    try {
        bitmap->pixels.assign(std::size_t(bitmap->stride) * std::size_t(height), 0);
    } catch (const std::bad_alloc&) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

}  // namespace platform
