#pragma once
// A found file's bytes as the picture decoders take them: streamed from the drive a piece
// at a time, for a decoder that reads in order and may stop early, or whole, followed by
// zeroed slack, for decoders that need all of it at once.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "engine/imaging/byte_stream.h"
#include "engine/records.h"

namespace engine::thumbnails {

// Zeroed bytes after a whole file, for decoders that read a little past the end.
inline constexpr std::size_t kSlackBytes = 1024;

// Reads `size` bytes of the file from `offset` into `buffer` (which holds the size rounded
// up to whole 512-byte sectors); returns the bytes read.
using FileReader = std::function<std::uint64_t(FoundFileRecord& record, void* buffer, std::uint64_t offset,
                                               std::uint64_t size)>;

class FileBytes final : public imaging::ByteStream {
public:
    // Bytes a piece holds: a multiple of the sector size.
    static constexpr std::size_t kPieceBytes = 256 * 1024;

    // `size` bytes of `record`'s file through `read`; both must outlive this.
    FileBytes(FoundFileRecord& record, const FileReader& read, std::uint64_t size);

    // The file's first piece, read once; empty when nothing could be read.
    std::span<const std::uint8_t> Head();
    // The pieces from the start of the file, the first being Head(); empty after the last
    // piece, after a short read, and after a failing one.
    std::span<const std::uint8_t> Next() noexcept override;
    // As much of the file as could be read, followed by kSlackBytes zero bytes; empty when
    // nothing could be read or the buffer cannot be had.
    std::span<const std::uint8_t> Whole();

private:
    std::uint64_t readInto(std::uint8_t* buffer, std::uint64_t offset, std::uint64_t size);

    FoundFileRecord& record_;
    const FileReader& read_;
    std::uint64_t size_;
    std::vector<std::uint8_t> piece_;
    std::size_t headBytes_ = 0;
    bool headRead_ = false;
    std::uint64_t nextOffset_ = 0;  // of the piece that Next() gives next
    bool ended_ = false;
    std::unique_ptr<std::uint8_t[]> whole_;
    std::size_t wholeBytes_ = 0;
};

}  // namespace engine::thumbnails
