#pragma once
// Picks the decoder by the data's first bytes: JPEG, GIF, BMP or icon. Anything else,
// and damaged data, gives nothing.

#include <cstdint>
#include <optional>
#include <span>

#include "engine/imaging/picture.h"

namespace engine::imaging {

// `targetSide` lets a decoder that can scale while decoding stop near that size.
std::optional<Picture> decodePicture(std::span<const std::uint8_t> data, std::uint32_t targetSide);

}  // namespace engine::imaging
