#pragma once
// A block buffer for the search: page-aligned, on huge pages where the system grants them
// on request, so that a 2 MiB read touches one page table entry instead of 512. Both the
// kernel's copy into it and the matching over it run faster that way.

#include <cstddef>
#include <cstdint>

class CBlockBuffer {
public:
    CBlockBuffer() = default;
    ~CBlockBuffer();
    CBlockBuffer(const CBlockBuffer&) = delete;
    CBlockBuffer& operator=(const CBlockBuffer&) = delete;

    // Replaces the buffer with `bytes` zero bytes; false (and empty) when they cannot be had.
    bool Allocate(std::size_t bytes);

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    void release();

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mapped_ = 0;
};
