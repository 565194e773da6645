#pragma once
// A file's bytes handed to a decoder a piece at a time, in order, so that a decoder that
// stops early (at a JPEG's end, or once a progressive JPEG's first scans are in) has the
// rest of the file never read.

#include <cstdint>
#include <span>
#include <utility>

namespace engine::imaging {

class ByteStream {
public:
    virtual ~ByteStream() = default;
    // The next piece, valid until the next call; empty once the data has ended.
    virtual std::span<const std::uint8_t> Next() noexcept = 0;
};

// Bytes already in memory, as one piece.
class SpanStream final : public ByteStream {
public:
    explicit SpanStream(std::span<const std::uint8_t> data) : data_(data) {}
    std::span<const std::uint8_t> Next() noexcept override { return std::exchange(data_, {}); }

private:
    std::span<const std::uint8_t> data_;
};

}  // namespace engine::imaging
