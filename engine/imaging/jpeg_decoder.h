#pragma once
// JPEG through libjpeg-turbo, decoded at the smallest of its scales (1/8 .. 1) that still
// covers `targetSide` pixels on the picture's longer side, so a large photo is never
// decoded at full size.

#include <cstdint>
#include <optional>
#include <span>

#include "engine/imaging/picture.h"

namespace engine::imaging {

bool looksLikeJpeg(std::span<const std::uint8_t> data);
std::optional<Picture> decodeJpeg(std::span<const std::uint8_t> data, std::uint32_t targetSide);

}  // namespace engine::imaging
