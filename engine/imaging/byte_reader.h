#pragma once
// Little-endian fields of a byte buffer; a field beyond the end reads as absent.

#include <cstdint>
#include <optional>
#include <span>

namespace engine::imaging {

inline std::optional<std::uint32_t> readLe(std::span<const std::uint8_t> data, std::size_t offset,
                                           std::size_t width) {
    if (offset > data.size() || data.size() - offset < width) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = (value << 8) | data[offset + i];
    return value;
}

inline std::optional<std::uint16_t> readU16(std::span<const std::uint8_t> data, std::size_t offset) {
    auto value = readLe(data, offset, 2);
    if (!value) return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

inline std::optional<std::uint32_t> readU32(std::span<const std::uint8_t> data, std::size_t offset) {
    return readLe(data, offset, 4);
}

}  // namespace engine::imaging
