#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <random>

#include "engine/imaging/bmp_decoder.h"
#include "engine/imaging/gif_decoder.h"
#include "engine/imaging/ico_decoder.h"
#include "engine/imaging/jpeg_decoder.h"
#include "engine/imaging/picture_decoder.h"
#include "test_pictures.h"

namespace {

using namespace engine::imaging;
using namespace test_pictures;

constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;
constexpr std::array<std::uint8_t, 2> kStartOfScan = {0xFF, 0xDA};

// Every cut-off start of `file`: a result or none, never a fault.
template <typename Decode>
void survivesCuts(const Bytes& file, Decode decode) {
    for (std::size_t size = 0; size < file.size(); ++size) decode({file.data(), size});
}

TEST(JpegDecoder, DecodesUprightAndScalesLargePicturesDown) {
    struct Case { std::uint32_t width, height, decodedWidth, decodedHeight; };
    // Below the target: full size; 1/8 of 1600 x 800 still covers 96.
    for (const Case& c : {Case{64, 32, 64, 32}, Case{1600, 800, 200, 100}}) {
        auto picture = decodeJpeg(encodeJpeg(twoBands(c.width, c.height, kRed, kBlue)), 96);
        ASSERT_TRUE(picture) << c.width;
        EXPECT_EQ(picture->width, c.decodedWidth);
        EXPECT_EQ(picture->height, c.decodedHeight);
        for (auto [x, y, rgb] : {std::tuple{0u, 0u, kRed}, {picture->width - 1, picture->height - 1, kBlue}})
            for (int shift : {16, 8, 0})
                EXPECT_NEAR(int((pixelOf(*picture, x, y) >> shift) & 0xFF), int((rgb >> shift) & 0xFF), 24)
                    << c.width << " at " << x << "," << y;
    }
}

TEST(JpegDecoder, CutOffAndDamagedFilesNeverOverrun) {
    const Bytes whole = encodeJpeg(twoBands(64, 64, kRed, kBlue));
    // Cut before the picture's data: nothing. Cut inside it: the whole picture, decoded as
    // far as the data goes.
    const std::size_t data = std::search(whole.begin(), whole.end(), kStartOfScan.begin(), kStartOfScan.end()) -
                             whole.begin() + 20;
    ASSERT_LT(data + 40, whole.size());
    for (std::size_t size : {std::size_t{3}, std::size_t{20}, data - 20}) {
        EXPECT_FALSE(decodeJpeg({whole.data(), size}, 96)) << size;
    }
    for (std::size_t size : {data + 40, whole.size() - 2}) {
        const auto cut = decodeJpeg({whole.data(), size}, 96);
        ASSERT_TRUE(cut) << size;
        EXPECT_EQ(std::tuple(cut->width, cut->height, cut->rgb.size()), std::tuple(64u, 64u, std::size_t{64 * 64 * 3}));
        EXPECT_NEAR(int(pixelOf(*cut, 0, 0) >> 16), 255, 24) << size;
    }
    Bytes damaged = whole;
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        damaged[2 + random() % (damaged.size() - 2)] = static_cast<std::uint8_t>(random());
        if (const auto picture = decodeJpeg(damaged, 96)) {
            EXPECT_EQ(picture->rgb.size(), std::size_t{picture->width} * picture->height * 3) << i;
        }
    }
}

// Serves bytes in pieces of a fixed size.
class PieceStream final : public ByteStream {
public:
    PieceStream(const Bytes& data, std::size_t pieceBytes) : data_(data), pieceBytes_(pieceBytes) {}
    std::span<const std::uint8_t> Next() noexcept override {
        const std::size_t count = std::min(pieceBytes_, data_.size() - at_);
        const std::span<const std::uint8_t> piece(data_.data() + at_, count);
        at_ += count;
        return piece;
    }

private:
    const Bytes& data_;
    std::size_t pieceBytes_;
    std::size_t at_ = 0;
};

TEST(JpegDecoder, PiecesOfAnySizeGiveTheSamePicture) {
    // A comment segment longer than the pieces is skipped across them.
    for (const JpegOptions& options : {JpegOptions{false, false, 3000}, JpegOptions{true, false, 3000},
                                       JpegOptions{false, true, 3000}}) {
        const bool progressive = options.progressive;
        const Bytes file = encodeJpeg(photoLike(300, 200), options);
        const auto whole = decodeJpeg(file, 96);
        ASSERT_TRUE(whole) << progressive;
        for (std::size_t pieceBytes : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
            PieceStream stream(file, pieceBytes);
            const auto pieced = decodeJpeg(stream, 96);
            ASSERT_TRUE(pieced) << progressive << " " << pieceBytes;
            EXPECT_EQ(pieced->rgb, whole->rgb) << progressive << " " << pieceBytes;
        }
        const Bytes third(file.begin(), file.begin() + file.size() / 3);
        PieceStream cut(third, 512);
        decodeJpeg(cut, 96);  // ends at the cut, with whatever it decoded
    }
}

TEST(LosslessDecoders, GiveThePictureBackExactly) {
    const Picture bands = twoBands(5, 4, kRed, kBlue);  // odd width: padded BMP rows
    const struct {
        const char* name;
        std::optional<Picture> decoded;
    } cases[] = {
        {"GIF", decodeGif(encodeGif(bands, false))},
        {"interlaced GIF", decodeGif(encodeGif(bands, true))},
        {"bottom-up BMP", decodeBmp(encodeBmp24(bands, false))},
        {"top-down BMP", decodeBmp(encodeBmp24(bands, true))},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.decoded) << c.name;
        EXPECT_EQ(c.decoded->width, 5u) << c.name;
        EXPECT_EQ(c.decoded->rgb, bands.rgb) << c.name;
    }
}

TEST(GifDecoder, HugeScreenAndTruncatedStreamsAreRefused) {
    const Bytes gif = encodeGif(twoBands(8, 8, kRed, kBlue));
    Bytes huge = gif;
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;  // 65535 x 65535 logical screen
    EXPECT_FALSE(decodeGif(huge));
    EXPECT_FALSE(decodeGif({gif.data(), 13}));
    survivesCuts(gif, decodeGif);
}

TEST(BmpDecoder, PalettedAndBitFieldPixels) {
    // 2 x 2, 1 bit per pixel, palette black/white: stored bottom row 10, top row 01.
    const Bytes paletted = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,
                            40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0,
                            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0,
                            0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0x80, 0, 0, 0, 0x40, 0, 0, 0};
    auto picture = decodeBmp(paletted);
    ASSERT_TRUE(picture);
    EXPECT_EQ(pixelOf(*picture, 0, 0), 0x000000u);
    EXPECT_EQ(pixelOf(*picture, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(pixelOf(*picture, 0, 1), 0xFFFFFFu);

    // 1 x 1, 16 bits, 5-6-5 bit fields: pure green.
    const Bytes fields = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 66, 0, 0, 0,
                          40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 16, 0, 3, 0, 0, 0,
                          0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                          0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0, 0xE0, 0x07, 0, 0};
    picture = decodeBmp(fields);
    ASSERT_TRUE(picture);
    EXPECT_EQ(pixelOf(*picture, 0, 0), 0x00FF00u);
}

TEST(BmpDecoder, HostileHeadersAreRefusedAndCutFilesKeepBlackRows) {
    const Bytes good = encodeBmp24(twoBands(4, 4, kRed, kBlue));
    struct Patch { const char* name; std::vector<std::pair<std::size_t, std::uint8_t>> bytes; };
    for (const Patch& patch : {Patch{"width 2^31 - 1", {{18, 0xFF}, {19, 0xFF}, {20, 0xFF}, {21, 0x7F}}},
                               Patch{"7 bits", {{28, 7}}}, Patch{"compressed", {{30, 1}}},
                               Patch{"palette beyond the file", {{28, 8}, {46, 0xFF}, {47, 0xFF}}}}) {
        Bytes bad = good;
        for (auto [offset, value] : patch.bytes) bad[offset] = value;
        EXPECT_FALSE(decodeBmp(bad)) << patch.name;
    }
    // Only the two bottom rows are present: the top of the picture stays black.
    auto cut = decodeBmp({good.data(), good.size() - 2 * 12});
    ASSERT_TRUE(cut);
    EXPECT_EQ(pixelOf(*cut, 0, 0), 0u);
    EXPECT_EQ(pixelOf(*cut, 0, 3), kBlue);
    survivesCuts(good, decodeBmp);
}

TEST(IcoDecoder, DecodesTheBitmapEntryAndRefusesBadDirectories) {
    const Picture bands = twoBands(16, 16, kRed, kBlue);
    const Bytes ico = encodeIco32(bands);
    auto picture = decodeIco(ico);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 16u);
    EXPECT_EQ(picture->rgb, bands.rgb);

    Bytes farOffset = ico;
    farOffset[18] = farOffset[19] = farOffset[20] = 0xFF;
    EXPECT_FALSE(decodeIco(farOffset));
    Bytes png = ico;
    png[22] = 0x89, png[23] = 'P', png[24] = 'N', png[25] = 'G';
    EXPECT_FALSE(decodeIco(png));
    Bytes manyEntries = ico;
    manyEntries[4] = manyEntries[5] = 0xFF;  // directory claims 65535 entries
    EXPECT_TRUE(decodeIco(manyEntries));
    survivesCuts(ico, decodeIco);
}

TEST(PictureDecoder, RefusesOtherAndTooShortData) {
    for (const Bytes& data : {Bytes{}, Bytes{'%', 'P', 'D', 'F', '-', '1', '.', '4'}, Bytes{0xFF, 0xD8, 0xFF},
                              Bytes{'G', 'I', 'F', '8', '9', 'a'}, Bytes{'B', 'M'}, Bytes{0, 0, 1, 0, 1, 0}})
        EXPECT_FALSE(decodePicture(data, 96)) << data.size();
}

}  // namespace
