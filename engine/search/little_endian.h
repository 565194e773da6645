#pragma once
// Little-endian integers at any byte position of a buffer (the stored forms are packed).

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace search {

template <typename Integer>
Integer loadLittleEndian(const std::uint8_t* bytes) {
    static_assert(std::is_integral_v<Integer>);
    using Unsigned = std::make_unsigned_t<Integer>;
    Unsigned value = 0;
    for (std::size_t i = 0; i < sizeof(Integer); ++i) {
        value |= static_cast<Unsigned>(static_cast<Unsigned>(bytes[i]) << (8 * i));
    }
    return static_cast<Integer>(value);
}

template <typename Integer>
void storeLittleEndian(std::uint8_t* bytes, Integer value) {
    static_assert(std::is_integral_v<Integer>);
    auto bits = static_cast<std::make_unsigned_t<Integer>>(value);
    for (std::size_t i = 0; i < sizeof(Integer); ++i) {
        bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

}  // namespace search
