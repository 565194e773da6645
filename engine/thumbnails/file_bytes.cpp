#include "engine/thumbnails/file_bytes.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace engine::thumbnails {

namespace {

constexpr std::uint64_t kSectorSize = 512;

std::uint64_t roundUpToSectors(std::uint64_t bytes) { return (bytes + kSectorSize - 1) / kSectorSize * kSectorSize; }

}  // namespace

FileBytes::FileBytes(FoundFileRecord& record, const FileReader& read, std::uint64_t size)
    : record_(record), read_(read), size_(size) {}

std::uint64_t FileBytes::readInto(std::uint8_t* buffer, std::uint64_t offset, std::uint64_t size) {
    // A reader that claims more than it was asked for is held to the request.
    return std::min(read_(record_, buffer, offset, size), size);
}

std::span<const std::uint8_t> FileBytes::Head() {
    if (!headRead_) {
        headRead_ = true;
        const std::uint64_t size = std::min<std::uint64_t>(size_, kPieceBytes);
        piece_.resize(kPieceBytes);
        headBytes_ = static_cast<std::size_t>(readInto(piece_.data(), 0, size));
    }
    return {piece_.data(), headBytes_};
}

std::span<const std::uint8_t> FileBytes::Next() noexcept {
    if (ended_) return {};
    try {
        if (nextOffset_ == 0) {
            const std::span<const std::uint8_t> head = Head();
            nextOffset_ = kPieceBytes;
            ended_ = head.size() < kPieceBytes || nextOffset_ >= size_;
            return head;
        }
        const std::uint64_t size = std::min<std::uint64_t>(size_ - nextOffset_, kPieceBytes);
        const std::size_t read = static_cast<std::size_t>(readInto(piece_.data(), nextOffset_, size));
        nextOffset_ += kPieceBytes;
        ended_ = read < kPieceBytes || nextOffset_ >= size_;
        return {piece_.data(), read};
    } catch (...) {
        ended_ = true;
        return {};
    }
}

std::span<const std::uint8_t> FileBytes::Whole() {
    if (!whole_) {
        const std::size_t bytes = static_cast<std::size_t>(roundUpToSectors(size_)) + kSlackBytes;
        whole_.reset(new (std::nothrow) std::uint8_t[bytes]);
        if (!whole_) return {};
        wholeBytes_ = static_cast<std::size_t>(readInto(whole_.get(), 0, size_));
        std::memset(whole_.get() + wholeBytes_, 0, bytes - wholeBytes_);
    }
    return {whole_.get(), wholeBytes_};
}

}  // namespace engine::thumbnails
