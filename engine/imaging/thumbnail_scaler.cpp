#include "engine/imaging/thumbnail_scaler.h"

#include "platform/bitmap.h"

namespace engine::imaging {

namespace {

// Source span [first, last) that one target pixel covers; never empty.
struct SourceSpan {
    std::uint64_t first;
    std::uint64_t last;
};

SourceSpan spanOf(std::uint64_t target, std::uint64_t targetCount, std::uint64_t sourceCount) {
    const std::uint64_t first = target * sourceCount / targetCount;
    std::uint64_t last = (target + 1) * sourceCount / targetCount;
    if (last <= first) last = first + 1;
    return {first, last};
}

void drawPixel(const Picture& picture, SourceSpan columns, SourceSpan rows, BYTE* out) {
    std::uint64_t sum[3] = {0, 0, 0};
    for (std::uint64_t y = rows.first; y < rows.last; ++y) {
        const std::uint8_t* in = picture.rgb.data() + (y * picture.width + columns.first) * 3;
        for (std::uint64_t x = columns.first; x < columns.last; ++x, in += 3)
            for (int c = 0; c < 3; ++c) sum[c] += in[c];
    }
    const std::uint64_t count = (rows.last - rows.first) * (columns.last - columns.first);
    // The bitmap stores blue, green, red.
    out[0] = static_cast<BYTE>(sum[2] / count);
    out[1] = static_cast<BYTE>(sum[1] / count);
    out[2] = static_cast<BYTE>(sum[0] / count);
}

}  // namespace

FitRectangle fitIntoSquare(std::uint32_t pictureWidth, std::uint32_t pictureHeight,
                           std::int32_t side) {
    FitRectangle fit;
    if (pictureWidth == 0 || pictureHeight == 0 || side <= 0) return fit;
    const double pictureRatio = double(pictureWidth) / double(pictureHeight);
    if (pictureRatio < 1.0) {
        fit.height = side;
        fit.width = static_cast<std::int32_t>(std::int64_t{side} * pictureWidth / pictureHeight);
        fit.x = (side - fit.width) / 2;
    } else {
        fit.width = side;
        fit.height = static_cast<std::int32_t>(std::int64_t{side} * pictureHeight / pictureWidth);
        fit.y = (side - fit.height) / 2;
    }
    return fit;
}

HBITMAP renderThumbnail(const Picture& picture, std::int32_t side) {
    if (picture.width == 0 || picture.height == 0 ||
        picture.rgb.size() != std::size_t{picture.width} * picture.height * 3)
        return nullptr;
    HBITMAP bitmap = platform::createBitmap24(side, side);
    if (!bitmap) return nullptr;
    const FitRectangle fit = fitIntoSquare(picture.width, picture.height, side);
    for (std::int32_t row = 0; row < fit.height; ++row) {
        const SourceSpan rows = spanOf(std::uint64_t(row), std::uint64_t(fit.height), picture.height);
        BYTE* out = bitmap->row(fit.y + row) + std::size_t(fit.x) * 3;
        for (std::int32_t column = 0; column < fit.width; ++column, out += 3) {
            const SourceSpan columns =
                spanOf(std::uint64_t(column), std::uint64_t(fit.width), picture.width);
            drawPixel(picture, columns, rows, out);
        }
    }
    return bitmap;
}

}  // namespace engine::imaging
