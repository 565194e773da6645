#pragma once
// Picture files made in memory from top-down RGB pictures, and the bits the thumbnail and
// viewer tests share.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/imaging/picture.h"
#include "engine/records.h"
#include "platform/bitmap.h"

namespace test_pictures {

using Bytes = std::vector<std::uint8_t>;
using engine::imaging::Picture;

struct BitmapDeleter {
    void operator()(PlatformBitmap* bitmap) const { DeleteObject(bitmap); }
};
using Bitmap = std::unique_ptr<PlatformBitmap, BitmapDeleter>;

// The pixel at (x, y) as 0xRRGGBB.
std::uint32_t pixelOf(const Picture& picture, std::uint32_t x, std::uint32_t y);
// Top half `top`, bottom half `bottom` (0xRRGGBB).
Picture twoBands(std::uint32_t width, std::uint32_t height, std::uint32_t top, std::uint32_t bottom);

struct JpegOptions {
    bool progressive = false;
    bool scanPerComponent = false;  // sequential, one scan for each component
    std::uint32_t commentBytes = 0;  // a comment segment of this size (below 65534), if any
};
Bytes encodeJpeg(const Picture& picture, const JpegOptions& options = {});
// The whole file decoded by the library from memory at 1 / `denominator`, every scan.
Picture decodeJpegWhole(const Bytes& file, unsigned denominator);
// Gradients with pixel noise, as in a photo.
Picture photoLike(std::uint32_t width, std::uint32_t height);
// At most 256 distinct colours.
Bytes encodeGif(const Picture& picture, bool interlaced = false);
Bytes encodeBmp24(const Picture& picture, bool topDown = false);
// One opaque 32-bit entry with an empty mask.
Bytes encodeIco32(const Picture& picture);

inline FoundFileRecord recordOf(std::uint64_t size, std::uint16_t typeCode = 0) {
    FoundFileRecord record{};
    resetFoundFileForFill(record);
    record.Size = size, record.TypeCode = typeCode;
    return record;
}
std::string readWhole(const std::filesystem::path& path);
// Polls for up to ten seconds.
bool waitForFile(const std::filesystem::path& path);

}  // namespace test_pictures
