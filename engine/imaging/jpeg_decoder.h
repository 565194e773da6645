#pragma once
// JPEG through libjpeg-turbo, decoded at the smallest of its scales (1/8 .. 1) that still
// covers `targetSide` pixels on the picture's longer side, so a large photo is never
// decoded at full size. The data is pulled from a stream as the decoder needs it, and no
// further: reading stops at the picture's end, and a progressive picture is shown from
// its first scans, once they have brought every coefficient that the chosen scale uses
// (at 1/8 only the block means); the later scans would only refine them.

#include <cstdint>
#include <optional>
#include <span>

#include "engine/imaging/byte_stream.h"
#include "engine/imaging/picture.h"

namespace engine::imaging {

bool looksLikeJpeg(std::span<const std::uint8_t> data);
std::optional<Picture> decodeJpeg(ByteStream& data, std::uint32_t targetSide);
std::optional<Picture> decodeJpeg(std::span<const std::uint8_t> data, std::uint32_t targetSide);

}  // namespace engine::imaging
