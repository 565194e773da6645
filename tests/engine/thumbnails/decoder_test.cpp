#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "engine/imaging/bmp_decoder.h"
#include "engine/imaging/gif_decoder.h"
#include "engine/imaging/ico_decoder.h"
#include "engine/imaging/jpeg_decoder.h"
#include "engine/imaging/picture_decoder.h"
#include "test_pictures.h"

namespace {

using engine::imaging::Picture;
using test_pictures::Bytes;
using test_pictures::pixelOf;

constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;

// Lossy formats: each channel within `tolerance`.
void expectNear(std::uint32_t actual, std::uint32_t expected, int tolerance = 24) {
    for (int shift : {16, 8, 0})
        EXPECT_NEAR(int((actual >> shift) & 0xFF), int((expected >> shift) & 0xFF), tolerance)
            << std::hex << actual << " vs " << expected;
}

void expectRedOverBlue(const Picture& picture, int tolerance = 0) {
    ASSERT_GT(picture.height, 3u);
    expectNear(pixelOf(picture, 0, 0), kRed, tolerance);
    expectNear(pixelOf(picture, picture.width - 1, picture.height - 1), kBlue, tolerance);
}

TEST(JpegDecoder, DecodesUprightAndScalesLargePicturesDown) {
    const Bytes small = test_pictures::encodeJpeg(test_pictures::twoBands(64, 32, kRed, kBlue));
    auto picture = engine::imaging::decodeJpeg(small, 96);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 64u);  // below the target: full size
    EXPECT_EQ(picture->height, 32u);
    expectRedOverBlue(*picture, 24);

    const Bytes large = test_pictures::encodeJpeg(test_pictures::twoBands(1600, 800, kRed, kBlue));
    picture = engine::imaging::decodeJpeg(large, 96);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 200u);  // 1/8 still covers 96
    EXPECT_EQ(picture->height, 100u);
    expectRedOverBlue(*picture, 24);
}

TEST(JpegDecoder, CutOffAndDamagedFilesNeverOverrun) {
    const Bytes whole = test_pictures::encodeJpeg(test_pictures::twoBands(64, 64, kRed, kBlue));
    for (std::size_t size : {std::size_t{3}, std::size_t{20}, whole.size() / 2, whole.size() - 2})
        engine::imaging::decodeJpeg({whole.data(), size}, 96);  // a result or none, no fault
    Bytes damaged = whole;
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        damaged[2 + random() % (damaged.size() - 2)] = static_cast<std::uint8_t>(random());
        engine::imaging::decodeJpeg(damaged, 96);
    }
}

TEST(GifDecoder, DecodesPlainAndInterlacedImages) {
    for (bool interlaced : {false, true}) {
        const Bytes gif = test_pictures::encodeGif(test_pictures::twoBands(40, 30, kRed, kBlue), interlaced);
        auto picture = engine::imaging::decodeGif(gif);
        ASSERT_TRUE(picture) << interlaced;
        EXPECT_EQ(picture->width, 40u);
        EXPECT_EQ(picture->height, 30u);
        expectRedOverBlue(*picture);
        EXPECT_EQ(pixelOf(*picture, 0, 14), kRed);
        EXPECT_EQ(pixelOf(*picture, 0, 15), kBlue);
    }
}

TEST(GifDecoder, HugeScreenAndTruncatedStreamsAreRefused) {
    Bytes gif = test_pictures::encodeGif(test_pictures::twoBands(8, 8, kRed, kBlue));
    Bytes huge = gif;
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;  // 65535 x 65535 logical screen
    EXPECT_FALSE(engine::imaging::decodeGif(huge));
    EXPECT_FALSE(engine::imaging::decodeGif({gif.data(), 13}));
    for (std::size_t size = 6; size < gif.size(); ++size) engine::imaging::decodeGif({gif.data(), size});
}

TEST(BmpDecoder, BottomUpAndTopDownRowsGiveTheSamePicture) {
    const Picture bands = test_pictures::twoBands(5, 4, kRed, kBlue);  // odd width: padded rows
    for (bool topDown : {false, true}) {
        auto picture = engine::imaging::decodeBmp(test_pictures::encodeBmp24(bands, topDown));
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->rgb, bands.rgb) << topDown;
    }
}

TEST(BmpDecoder, PalettedAndBitFieldPixels) {
    // 2 x 2, 1 bit per pixel, palette black/white: stored bottom row 10, top row 01.
    Bytes bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,
                 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0,
                 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0,
                 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0,
                 0x80, 0, 0, 0, 0x40, 0, 0, 0};
    auto picture = engine::imaging::decodeBmp(bmp);
    ASSERT_TRUE(picture);
    EXPECT_EQ(pixelOf(*picture, 0, 0), 0x000000u);
    EXPECT_EQ(pixelOf(*picture, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(pixelOf(*picture, 0, 1), 0xFFFFFFu);

    // 1 x 1, 16 bits, 5-6-5 bit fields: pure green.
    Bytes fields = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 66, 0, 0, 0,
                    40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 16, 0, 3, 0, 0, 0,
                    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                    0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0,
                    0xE0, 0x07, 0, 0};
    picture = engine::imaging::decodeBmp(fields);
    ASSERT_TRUE(picture);
    EXPECT_EQ(pixelOf(*picture, 0, 0), 0x00FF00u);
}

TEST(BmpDecoder, HostileHeadersAreRefusedAndCutFilesKeepBlackRows) {
    const Bytes good = test_pictures::encodeBmp24(test_pictures::twoBands(4, 4, kRed, kBlue));
    Bytes bomb = good;
    bomb[18] = bomb[19] = bomb[20] = 0xFF, bomb[21] = 0x7F;  // width 2^31 - 1
    EXPECT_FALSE(engine::imaging::decodeBmp(bomb));
    Bytes depth = good;
    depth[28] = 7;
    EXPECT_FALSE(engine::imaging::decodeBmp(depth));
    Bytes rle = good;
    rle[30] = 1;
    EXPECT_FALSE(engine::imaging::decodeBmp(rle));
    Bytes palette = good;
    palette[28] = 8, palette[46] = 0xFF, palette[47] = 0xFF;  // palette beyond the file
    EXPECT_FALSE(engine::imaging::decodeBmp(palette));

    // Only the two bottom rows are present: the top of the picture stays black.
    auto cut = engine::imaging::decodeBmp({good.data(), good.size() - 2 * 12});
    ASSERT_TRUE(cut);
    EXPECT_EQ(pixelOf(*cut, 0, 0), 0u);
    EXPECT_EQ(pixelOf(*cut, 0, 3), kBlue);
    for (std::size_t size = 0; size < good.size(); ++size) engine::imaging::decodeBmp({good.data(), size});
}

TEST(IcoDecoder, DecodesTheBitmapEntryAndRefusesBadDirectories) {
    const Picture bands = test_pictures::twoBands(16, 16, kRed, kBlue);
    const Bytes ico = test_pictures::encodeIco32(bands);
    auto picture = engine::imaging::decodeIco(ico);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 16u);
    EXPECT_EQ(picture->height, 16u);
    EXPECT_EQ(picture->rgb, bands.rgb);

    Bytes farOffset = ico;
    farOffset[18] = 0xFF, farOffset[19] = 0xFF, farOffset[20] = 0xFF;
    EXPECT_FALSE(engine::imaging::decodeIco(farOffset));
    Bytes png = ico;
    png[22] = 0x89, png[23] = 'P', png[24] = 'N', png[25] = 'G';
    EXPECT_FALSE(engine::imaging::decodeIco(png));
    Bytes manyEntries = ico;
    manyEntries[4] = 0xFF, manyEntries[5] = 0xFF;  // directory claims 65535 entries
    EXPECT_TRUE(engine::imaging::decodeIco(manyEntries));
    for (std::size_t size = 0; size < ico.size(); ++size) engine::imaging::decodeIco({ico.data(), size});
}

TEST(PictureDecoder, ChoosesByContentAndRefusesOtherData) {
    const Picture bands = test_pictures::twoBands(8, 8, kRed, kBlue);
    EXPECT_TRUE(engine::imaging::decodePicture(test_pictures::encodeJpeg(bands), 96));
    EXPECT_TRUE(engine::imaging::decodePicture(test_pictures::encodeGif(bands), 96));
    EXPECT_TRUE(engine::imaging::decodePicture(test_pictures::encodeBmp24(bands), 96));
    EXPECT_TRUE(engine::imaging::decodePicture(test_pictures::encodeIco32(bands), 96));
    const Bytes text = {'%', 'P', 'D', 'F', '-', '1', '.', '4'};
    EXPECT_FALSE(engine::imaging::decodePicture(text, 96));
    EXPECT_FALSE(engine::imaging::decodePicture({}, 96));
}

}  // namespace
