#pragma once
// Icons and cursors of our own: the largest entry (then the deepest) that holds a bitmap;
// entries stored as PNG are passed over.

#include <cstdint>
#include <optional>
#include <span>

#include "engine/imaging/picture.h"

namespace engine::imaging {

bool looksLikeIco(std::span<const std::uint8_t> data);
std::optional<Picture> decodeIco(std::span<const std::uint8_t> data);

}  // namespace engine::imaging
