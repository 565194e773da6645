#pragma once
// Little-endian integers in byte buffers, read and written byte by byte so that neither
// the host's byte order nor the alignment of the field matters.

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>

namespace engine {

template <typename T>
concept ByteOrderInteger = std::integral<T> && !std::same_as<T, bool>;

// Unchecked: the caller has made sure sizeof(Integer) bytes stand at `bytes`.
template <ByteOrderInteger Integer>
constexpr Integer loadLittleEndian(const std::uint8_t* bytes) {
    using Unsigned = std::make_unsigned_t<Integer>;
    Unsigned value = 0;
    for (std::size_t i = 0; i < sizeof(Integer); ++i) {
        value |= static_cast<Unsigned>(static_cast<Unsigned>(bytes[i]) << (8 * i));
    }
    return static_cast<Integer>(value);
}

// Unchecked: the caller has made sure sizeof(Integer) bytes stand at `bytes`.
template <ByteOrderInteger Integer>
constexpr void storeLittleEndian(std::uint8_t* bytes, Integer value) {
    const auto bits = static_cast<std::make_unsigned_t<Integer>>(value);
    for (std::size_t i = 0; i < sizeof(Integer); ++i) {
        bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

// The field at `offset`, or nothing when any of its bytes lies past the end.
template <ByteOrderInteger Integer>
constexpr std::optional<Integer> readLittleEndian(std::span<const std::uint8_t> bytes, std::size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < sizeof(Integer)) return std::nullopt;
    return loadLittleEndian<Integer>(bytes.data() + offset);
}

}  // namespace engine
