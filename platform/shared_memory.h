#pragma once
// Named blocks of shared memory (POSIX shm objects) that another process opens by name.
// The creator owns the name: destroying its block unlinks the name, while a process that
// has the block open or mapped keeps its own reference to the memory.

#include <cstddef>
#include <optional>
#include <string>

#include "platform/api.h"

namespace platform {

class PLATFORM_API SharedMemoryBlock {
public:
    // Creates a new zero-filled block of `size` bytes under `name` ("/name", readable and
    // writable by this user only) and maps it. Fails (nothing, errno set) for a size of 0,
    // a name that exists already, or when the memory cannot be had.
    static std::optional<SharedMemoryBlock> create(const std::string& name, std::size_t size);

    SharedMemoryBlock(SharedMemoryBlock&& other) noexcept;
    SharedMemoryBlock& operator=(SharedMemoryBlock&& other) noexcept;
    SharedMemoryBlock(const SharedMemoryBlock&) = delete;
    SharedMemoryBlock& operator=(const SharedMemoryBlock&) = delete;
    ~SharedMemoryBlock();

    const std::string& name() const { return name_; }
    std::size_t size() const { return size_; }
    // Null once unmapped.
    std::byte* data() const { return data_; }
    // Drops this process's view; the block stays alive under its name.
    void unmap();

private:
    SharedMemoryBlock(std::string name, std::size_t size, std::byte* data);
    void release();

    std::string name_;
    std::size_t size_ = 0;
    std::byte* data_ = nullptr;
};

// Maps an existing block for reading, as a viewer does: the whole object as it is sized.
class PLATFORM_API SharedMemoryView {
public:
    static std::optional<SharedMemoryView> open(const std::string& name);

    SharedMemoryView(SharedMemoryView&& other) noexcept;
    SharedMemoryView& operator=(SharedMemoryView&& other) noexcept;
    SharedMemoryView(const SharedMemoryView&) = delete;
    SharedMemoryView& operator=(const SharedMemoryView&) = delete;
    ~SharedMemoryView();

    std::size_t size() const { return size_; }
    const std::byte* data() const { return data_; }

private:
    SharedMemoryView(std::size_t size, const std::byte* data) : size_(size), data_(data) {}

    std::size_t size_ = 0;
    const std::byte* data_ = nullptr;
};

}  // namespace platform
