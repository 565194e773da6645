#include "platform/bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(PlatformBitmap, NewBitmapIsBlackWithPaddedBottomUpRows) {
    HBITMAP bitmap = platform::createBitmap24(5, 3);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->stride, 16u);  // 15 bytes padded to 4
    EXPECT_EQ(bitmap->bitsPerPixel, 24);
    ASSERT_EQ(bitmap->pixels.size(), 48u);
    EXPECT_TRUE(std::all_of(bitmap->pixels.begin(), bitmap->pixels.end(), [](BYTE b) { return b == 0; }));
    EXPECT_EQ(bitmap->row(2), bitmap->pixels.data());  // the bottom row comes first
    EXPECT_EQ(bitmap->row(0), bitmap->pixels.data() + 32);
    EXPECT_EQ(DeleteObject(bitmap), 1);
}

TEST(PlatformBitmap, ImpossibleSizesAndNullAreRefused) {
    EXPECT_EQ(platform::createBitmap24(0, 96), nullptr);
    EXPECT_EQ(platform::createBitmap24(96, -1), nullptr);
    EXPECT_EQ(platform::createBitmap24(platform::kMaxBitmapSide + 1, 1), nullptr);
    EXPECT_EQ(DeleteObject(nullptr), 0);
}

}  // namespace
