#include <gtest/gtest.h>

#include "engine/imaging/thumbnail_scaler.h"
#include "test_pictures.h"

namespace {

using engine::imaging::fitIntoSquare;
using engine::imaging::renderThumbnail;
using test_pictures::Bitmap;
using test_pictures::twoBands;

TEST(FitIntoSquare, KeepsProportionsAndCentres) {
    struct Case { std::uint32_t width, height; std::int32_t fitWidth, fitHeight, x, y; };
    // Sizes are truncated: 96 * 3 / 7 = 41, offset (96 - 41) / 2 = 27.
    for (const Case& c : {Case{200, 100, 96, 48, 0, 24}, Case{100, 200, 48, 96, 24, 0}, Case{7, 7, 96, 96, 0, 0},
                          Case{3, 7, 41, 96, 27, 0}}) {
        const auto fit = fitIntoSquare(c.width, c.height, 96);
        EXPECT_EQ(std::tuple(fit.width, fit.height, fit.x, fit.y), std::tuple(c.fitWidth, c.fitHeight, c.x, c.y))
            << c.width << " x " << c.height;
    }
    EXPECT_EQ(fitIntoSquare(1, 1000, 96).width, 0);  // too thin for one pixel: nothing drawn
}

// The pixel at column x of the row counted from the top, as stored: 0xBBGGRR.
std::uint32_t bgrAt(const PlatformBitmap& bitmap, int x, int topDownRow) {
    const BYTE* p = bitmap.row(topDownRow) + x * 3;
    return (std::uint32_t{p[0]} << 16) | (p[1] << 8) | p[2];
}

TEST(RenderThumbnail, PicturesAreDrawnUprightBetweenBlackMargins) {
    Bitmap wide(renderThumbnail(twoBands(200, 100, 0xFF0000, 0x0000FF), 96));
    ASSERT_TRUE(wide);
    EXPECT_EQ(std::tuple(wide->width, wide->height, wide->stride), std::tuple(96, 96, 288u));
    ASSERT_EQ(wide->pixels.size(), 27648u);
    EXPECT_EQ(bgrAt(*wide, 50, 23), 0u);  // margins above row 24 and from row 72 on
    EXPECT_EQ(bgrAt(*wide, 50, 72), 0u);
    EXPECT_EQ(bgrAt(*wide, 0, 24), 0x0000FFu);  // red on top, blue below
    EXPECT_EQ(bgrAt(*wide, 95, 71), 0xFF0000u);
    // Rows are stored bottom-up: the first stored row is the bottom margin.
    EXPECT_EQ(wide->pixels[0], 0);
    EXPECT_EQ(wide->pixels[std::size_t(95 - 71) * 288], 0xFF);  // blue byte of the lowest picture row

    Bitmap tall(renderThumbnail(twoBands(100, 200, 0x00FF00, 0x00FF00), 96));
    ASSERT_TRUE(tall);
    for (auto [x, bgr] : {std::pair{23, 0u}, {24, 0x00FF00u}, {71, 0x00FF00u}, {72, 0u}})
        EXPECT_EQ(bgrAt(*tall, x, 50), bgr) << x;
}

TEST(RenderThumbnail, SmallPicturesAreEnlargedAndEmptyOnesRefused) {
    Bitmap bitmap(renderThumbnail(twoBands(2, 2, 0xFFFFFF, 0x000080), 96));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bgrAt(*bitmap, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(bgrAt(*bitmap, 95, 95), 0x800000u);
    EXPECT_EQ(renderThumbnail({}, 96), nullptr);
    EXPECT_EQ(renderThumbnail({4, 4, std::vector<std::uint8_t>(5)}, 96), nullptr);  // too few bytes
}

}  // namespace
