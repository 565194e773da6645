#pragma once
// Picture files made in memory for the decoder and thumbnail tests. Every maker takes a
// top-down RGB picture.

#include <cstdint>
#include <vector>

#include "engine/imaging/picture.h"

namespace test_pictures {

using Bytes = std::vector<std::uint8_t>;
using engine::imaging::Picture;

// The pixel at (x, y) as 0xRRGGBB.
std::uint32_t pixelOf(const Picture& picture, std::uint32_t x, std::uint32_t y);

// A picture whose top half is `top` and bottom half `bottom` (RGB triples).
Picture twoBands(std::uint32_t width, std::uint32_t height, std::uint32_t top, std::uint32_t bottom);

Bytes encodeJpeg(const Picture& picture, int quality = 95);
// Colours are reduced to the picture's first 256 distinct ones.
Bytes encodeGif(const Picture& picture, bool interlaced = false);
// 24-bit, bottom-up unless `topDown`.
Bytes encodeBmp24(const Picture& picture, bool topDown = false);
// An icon with one opaque 32-bit entry and an empty mask.
Bytes encodeIco32(const Picture& picture);

}  // namespace test_pictures
