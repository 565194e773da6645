#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/handles.h"
#include "platform/local_heap.h"

HLOCAL LocalAlloc(UINT flags, std::size_t bytes) {
    if ((flags & ~LPTR) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // No object may be larger than this; refusing here keeps the allocator quiet.
    if (bytes > static_cast<std::size_t>(PTRDIFF_MAX)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // Size 0 still needs a distinct block that LocalFree accepts.
    const std::size_t size = std::max<std::size_t>(bytes, 1);
    void* block = (flags & LMEM_ZEROINIT) != 0 ? std::calloc(1, size) : std::malloc(size);
    if (block == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return block;
}

HLOCAL LocalFree(HLOCAL block) {
    std::free(block);
    return nullptr;
}
