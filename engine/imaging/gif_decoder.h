#pragma once
// GIF through giflib: the first image of the file, placed on its logical screen; pixels
// that the image does not cover, and transparent ones, are black.

#include <cstdint>
#include <optional>
#include <span>

#include "engine/imaging/picture.h"

namespace engine::imaging {

bool looksLikeGif(std::span<const std::uint8_t> data);
std::optional<Picture> decodeGif(std::span<const std::uint8_t> data);

}  // namespace engine::imaging
