#include <gtest/gtest.h>

#include "engine/imaging/thumbnail_scaler.h"
#include "platform/bitmap.h"
#include "test_pictures.h"

namespace {

using engine::imaging::fitIntoSquare;

TEST(FitIntoSquare, KeepsProportionsAndCentres) {
    auto wide = fitIntoSquare(200, 100, 96);
    EXPECT_EQ(wide.width, 96);
    EXPECT_EQ(wide.height, 48);
    EXPECT_EQ(wide.x, 0);
    EXPECT_EQ(wide.y, 24);
    auto tall = fitIntoSquare(100, 200, 96);
    EXPECT_EQ(tall.width, 48);
    EXPECT_EQ(tall.height, 96);
    EXPECT_EQ(tall.x, 24);
    EXPECT_EQ(tall.y, 0);
    auto square = fitIntoSquare(7, 7, 96);
    EXPECT_EQ(square.width, 96);
    EXPECT_EQ(square.height, 96);
    EXPECT_EQ(square.x, 0);
    EXPECT_EQ(square.y, 0);
    // Truncated sizes: 96 * 3 / 7 = 41, offset (96 - 41) / 2 = 27.
    auto odd = fitIntoSquare(3, 7, 96);
    EXPECT_EQ(odd.width, 41);
    EXPECT_EQ(odd.x, 27);
    // A sliver too thin for one pixel draws nothing.
    EXPECT_EQ(fitIntoSquare(1, 1000, 96).width, 0);
}

struct BitmapDeleter {
    void operator()(PlatformBitmap* bitmap) const { DeleteObject(bitmap); }
};
using Bitmap = std::unique_ptr<PlatformBitmap, BitmapDeleter>;

std::uint32_t bgrAt(const PlatformBitmap& bitmap, int x, int topDownRow) {
    const BYTE* p = bitmap.row(topDownRow) + x * 3;
    return (std::uint32_t{p[0]} << 16) | (p[1] << 8) | p[2];
}

TEST(RenderThumbnail, WidePictureIsDrawnUprightInABlackSquare) {
    const auto picture = test_pictures::twoBands(200, 100, 0xFF0000, 0x0000FF);
    Bitmap bitmap(engine::imaging::renderThumbnail(picture, 96));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width, 96);
    EXPECT_EQ(bitmap->height, 96);
    EXPECT_EQ(bitmap->stride, 288u);
    ASSERT_EQ(bitmap->pixels.size(), 27648u);
    // Margins above row 24 and from row 72 on are black.
    EXPECT_EQ(bgrAt(*bitmap, 50, 23), 0u);
    EXPECT_EQ(bgrAt(*bitmap, 50, 72), 0u);
    // Red on top, blue below; the bitmap stores blue, green, red.
    EXPECT_EQ(bgrAt(*bitmap, 0, 24), 0x0000FFu);
    EXPECT_EQ(bgrAt(*bitmap, 95, 71), 0xFF0000u);
    // Rows are stored bottom-up: the first stored row is the bottom margin.
    EXPECT_EQ(bitmap->pixels[0], 0);
    EXPECT_EQ(bitmap->pixels[std::size_t(95 - 71) * 288], 0xFF);  // blue byte of the lowest picture row
}

TEST(RenderThumbnail, TallPictureSitsBetweenSideMargins) {
    const auto picture = test_pictures::twoBands(100, 200, 0x00FF00, 0x00FF00);
    Bitmap bitmap(engine::imaging::renderThumbnail(picture, 96));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bgrAt(*bitmap, 23, 50), 0u);
    EXPECT_EQ(bgrAt(*bitmap, 24, 50), 0x00FF00u);
    EXPECT_EQ(bgrAt(*bitmap, 71, 50), 0x00FF00u);
    EXPECT_EQ(bgrAt(*bitmap, 72, 50), 0u);
}

TEST(RenderThumbnail, SmallPicturesAreEnlargedAndEmptyOnesRefused) {
    const auto picture = test_pictures::twoBands(2, 2, 0xFFFFFF, 0x000080);
    Bitmap bitmap(engine::imaging::renderThumbnail(picture, 96));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bgrAt(*bitmap, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(bgrAt(*bitmap, 95, 95), 0x800000u);
    EXPECT_EQ(engine::imaging::renderThumbnail({}, 96), nullptr);
    engine::imaging::Picture inconsistent{4, 4, std::vector<std::uint8_t>(5)};
    EXPECT_EQ(engine::imaging::renderThumbnail(inconsistent, 96), nullptr);
}

}  // namespace
