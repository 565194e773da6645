#pragma once
// A decoded picture as the thumbnail scaler takes it: 8-bit red, green, blue per pixel,
// rows top-down, no padding.

#include <cstdint>
#include <vector>

namespace engine::imaging {

struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3 bytes
};

// Decoders refuse pictures of more pixels than this (decompression bombs): 64 MiB of RGB.
inline constexpr std::uint64_t kMaxDecodedPixels = 1ull << 24;

constexpr bool withinPixelCap(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= kMaxDecodedPixels &&
           height <= kMaxDecodedPixels && width * height <= kMaxDecodedPixels;
}

}  // namespace engine::imaging
