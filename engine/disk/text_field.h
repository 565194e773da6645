#pragma once
// Fixed-size text fields of the drive records, filled from devices and disks: always
// bounded, NUL-terminated and zero-padded.

#include <cstddef>
#include <cstring>
#include <string_view>

namespace engine::disk {

// Copies `text` up to its first NUL, cut to leave room for the terminator.
template <std::size_t N>
void setTextField(char (&field)[N], std::string_view text) {
    static_assert(N > 0);
    const std::size_t end = text.find('\0');
    if (end != std::string_view::npos) text = text.substr(0, end);
    const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    if (n != 0) std::memcpy(field, text.data(), n);  // an empty view may have no data
    std::memset(field + n, 0, N - n);
}

// As setTextField, but never cuts a UTF-8 character in two.
template <std::size_t N>
void setUtf8TextField(char (&field)[N], std::string_view text) {
    if (text.size() > N - 1) {
        std::size_t n = N - 1;
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
        text = text.substr(0, n);
    }
    setTextField(field, text);
}

// Cuts trailing blanks of a NUL-terminated field.
template <std::size_t N>
void trimTextField(char (&field)[N]) {
    std::size_t n = 0;
    while (n < N && field[n] != '\0') ++n;
    while (n > 0 && field[n - 1] == ' ') field[--n] = '\0';
}

}  // namespace engine::disk
