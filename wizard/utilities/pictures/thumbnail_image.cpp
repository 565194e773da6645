#include "wizard/utilities/pictures/thumbnail_image.h"

#include "platform/bitmap.h"
#include "wizard/utilities/pictures/stock_pictures.h"

namespace {

bool HasThumbnailShape(const PlatformBitmap& bitmap) {
    const DWORD stride = platform::bitmapStride24(kThumbnailSide);
    return bitmap.width == kThumbnailSide && bitmap.height == kThumbnailSide && bitmap.bitsPerPixel == 24 &&
           bitmap.stride == stride && bitmap.pixels.size() >= std::size_t(stride) * kThumbnailSide;
}

// Bottom-up rows of blue, green, red bytes into a top-down image.
QImage ImageOf(const PlatformBitmap& bitmap) {
    QImage image(kThumbnailSide, kThumbnailSide, QImage::Format_RGB888);
    for (int y = 0; y < kThumbnailSide; ++y) {
        const BYTE* source = bitmap.row(y);
        uchar* target = image.scanLine(y);
        for (int x = 0; x < kThumbnailSide; ++x) {
            target[3 * x] = source[3 * x + 2];
            target[3 * x + 1] = source[3 * x + 1];
            target[3 * x + 2] = source[3 * x];
        }
    }
    return image;
}

}  // namespace

QImage TakeThumbnailImage(HBITMAP bitmap) {
    if (!bitmap) return {};
    QImage image = HasThumbnailShape(*bitmap) ? ImageOf(*bitmap) : QImage();
    DeleteObject(bitmap);
    return image;
}
