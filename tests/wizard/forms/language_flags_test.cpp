#include "wizard/forms/language_flags.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(LanguageFlags, EveryPictureIsItsOwn) {
    std::set<QByteArray> seen;
    for (int index = 0; index < kLanguageFlagCount; ++index) {
        const QImage flag = PaintLanguageFlag(index);
        ASSERT_EQ(flag.size(), QSize(16, 16)) << index;
        const QByteArray pixels(reinterpret_cast<const char*>(flag.constBits()),
                                flag.sizeInBytes());
        EXPECT_TRUE(seen.insert(pixels).second) << index;
    }
    EXPECT_TRUE(PaintLanguageFlag(-1).isNull());
    EXPECT_TRUE(PaintLanguageFlag(kLanguageFlagCount).isNull());
}

TEST(LanguageFlags, BandsRunAcrossOrDown) {
    struct Sample {
        int flag;
        QPoint pixel;
        QRgb colour;
    };
    const Sample samples[] = {
        {5, {8, 3}, 0x000000},  {5, {8, 8}, 0xDD0000},   {5, {8, 12}, 0xFFCE00},    // Deutsch
        {6, {1, 8}, 0x0055A4},  {6, {8, 8}, 0xFFFFFF},   {6, {14, 8}, 0xEF4135},    // Francais
        {9, {1, 3}, 0xFFFFFF},  {9, {8, 8}, 0xBC002D},                              // Japanese
        {17, {0, 8}, 0x11457E}, {17, {14, 3}, 0xFFFFFF}, {17, {14, 12}, 0xD7141A},  // Czech
    };
    for (const Sample& sample : samples) {
        EXPECT_EQ(PaintLanguageFlag(sample.flag).pixel(sample.pixel) & 0xFFFFFF, sample.colour)
            << sample.flag << " at " << sample.pixel.x() << "," << sample.pixel.y();
    }
    EXPECT_EQ(qAlpha(PaintLanguageFlag(5).pixel(8, 0)), 0);  // outside the 4:3 field
}

}  // namespace
