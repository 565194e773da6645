#include "engine/search/block_buffer.h"

#include <sys/mman.h>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

CBlockBuffer::~CBlockBuffer() { release(); }

bool CBlockBuffer::Allocate(std::size_t bytes) {
    release();
    if (bytes == 0) return true;
    // Whole huge pages, so that the buffer's end shares its page with nothing else.
    if (bytes > SIZE_MAX - kHugePage) return false;
    const std::size_t length = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    // Anonymous pages come zeroed and page-aligned; a huge-page-aligned start is asked
    // for by over-mapping and trimming.
    const std::size_t over = length + kHugePage;
    void* raw = ::mmap(nullptr, over, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return false;
    auto* start = static_cast<std::uint8_t*>(raw);
    const std::size_t lead = (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
    if (lead != 0) ::munmap(start, lead);
    ::munmap(start + lead + length, kHugePage - lead);
    data_ = start + lead;
    mapped_ = length;
    size_ = bytes;
    // Advice only: without huge pages the buffer works the same, a little slower.
    ::madvise(data_, mapped_, MADV_HUGEPAGE);
    return true;
}

void CBlockBuffer::release() {
    if (data_) ::munmap(data_, mapped_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = 0;
}
