// JPEG thumbnails read only what their decoder needs, and look as they did when the whole
// file was read into memory and decoded, every scan of it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "engine/imaging/thumbnail_scaler.h"
#include "engine/thumbnails/thumbnail_worker.h"
#include "test_pictures.h"

namespace {

using namespace engine::thumbnails;
using namespace test_pictures;

struct Difference {
    int largest = 0;
    double mean = 0;
};

Difference compare(const PlatformBitmap& a, const PlatformBitmap& b) {
    Difference difference;
    long total = 0;
    long count = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width * 3; ++x, ++count) {
            const int delta = std::abs(int(a.row(y)[x]) - int(b.row(y)[x]));
            difference.largest = std::max(difference.largest, delta);
            total += delta;
        }
    }
    difference.mean = double(total) / double(count);
    return difference;
}

TEST(JpegThumbnail, LooksLikeTheFullPictureAndReadsOnlyWhatItNeeds) {
    const Picture picture = photoLike(2400, 1800);
    for (bool progressive : {false, true}) {
        const Bytes file = encodeJpeg(picture, {progressive, false, 0});
        const Bitmap expected(engine::imaging::renderThumbnail(decodeJpegWhole(file, 8), kThumbnailSide));

        // The file as listed is followed by other data: reading stops at the picture's end.
        Bytes listed = file;
        listed.resize(file.size() + 4 * FileBytes::kPieceBytes, 0x5A);
        std::uint64_t served = 0;
        ThumbnailJob job{[&](FoundFileRecord&, void* buffer, std::uint64_t offset, std::uint64_t size) -> std::uint64_t {
            const std::size_t count = std::min<std::size_t>(size, listed.size() - offset);
            std::memcpy(buffer, listed.data() + offset, count);
            served += count;
            return count;
        }};
        const Bitmap thumbnail(makeThumbnail(recordOf(listed.size()), std::move(job)));
        ASSERT_TRUE(thumbnail) << progressive;
        const Difference difference = compare(*thumbnail, *expected);
        if (progressive) {
            // Its first scans, the block means, are all a thumbnail needs; the means may
            // lack their last bit, which moves a colour by at most 2 levels.
            EXPECT_LT(served, file.size() / 2);
            EXPECT_LE(difference.largest, 2);
            EXPECT_LT(difference.mean, 0.25);
        } else {
            EXPECT_LE(served, file.size() + FileBytes::kPieceBytes);
            EXPECT_EQ(difference.largest, 0);
        }
    }
}

}  // namespace
