#include "engine/imaging/picture_decoder.h"

#include "engine/imaging/bmp_decoder.h"
#include "engine/imaging/gif_decoder.h"
#include "engine/imaging/ico_decoder.h"
#include "engine/imaging/jpeg_decoder.h"

namespace engine::imaging {

std::optional<Picture> decodePicture(std::span<const std::uint8_t> data, std::uint32_t targetSide) {
    if (looksLikeJpeg(data)) return decodeJpeg(data, targetSide);
    if (looksLikeGif(data)) return decodeGif(data);
    if (looksLikeBmp(data)) return decodeBmp(data);
    if (looksLikeIco(data)) return decodeIco(data);
    return std::nullopt;
}

}  // namespace engine::imaging
