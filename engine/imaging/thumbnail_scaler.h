#pragma once
// Fits a picture into a square bitmap, keeping its proportions and centring it; the
// margins stay black.

#include <cstdint>

#include "engine/imaging/picture.h"
#include "platform/win_types.h"

namespace engine::imaging {

struct FitRectangle {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// A picture narrower than the square fills its height; a wider or square one its width.
FitRectangle fitIntoSquare(std::uint32_t pictureWidth, std::uint32_t pictureHeight,
                           std::int32_t side);

// A new black side x side bitmap with the picture drawn upright (area-averaged when
// shrinking); null when the bitmap cannot be made or the picture is empty.
HBITMAP renderThumbnail(const Picture& picture, std::int32_t side);

}  // namespace engine::imaging
