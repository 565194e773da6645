// Thumbnail pipeline over arbitrary file data: read in pieces or whole, decode by
// content, then fit into the square. The first byte also picks one decoder to run directly on the rest, so that
// each decoder is reached without its signature.

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <span>

#include "engine/imaging/bmp_decoder.h"
#include "engine/imaging/gif_decoder.h"
#include "engine/imaging/ico_decoder.h"
#include "engine/imaging/jpeg_decoder.h"
#include "engine/thumbnails/thumbnail_worker.h"
#include "platform/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    // The file served as the drive serves it: in pieces, from any offset.
    const engine::thumbnails::FileReader read = [input](FoundFileRecord&, void* buffer, std::uint64_t offset,
                                                        std::uint64_t bytes) -> std::uint64_t {
        if (offset >= input.size()) return 0;
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, input.size() - offset));
        std::memcpy(buffer, input.data() + offset, count);
        return count;
    };
    FoundFileRecord record{};
    engine::thumbnails::FileBytes file(record, read, size);
    DeleteObject(engine::thumbnails::renderPictureData(file));
    if (size == 0) return 0;
    const auto rest = input.subspan(1);
    switch (data[0] % 4) {
        case 0: engine::imaging::decodeJpeg(rest, 96); break;
        case 1: engine::imaging::decodeGif(rest); break;
        case 2: engine::imaging::decodeBmp(rest); break;
        default: engine::imaging::decodeIco(rest); break;
    }
    return 0;
}
