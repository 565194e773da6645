#include "platform/shared_memory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform {

namespace {

// Closes a descriptor on every path; the mapping outlives it.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

std::optional<SharedMemoryBlock> SharedMemoryBlock::create(const std::string& name,
                                                           std::size_t size) {
    if (size == 0) {
        errno = EINVAL;
        return std::nullopt;
    }
    Descriptor object{::shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600)};
    if (object.fd < 0) return std::nullopt;
    // ftruncate reserves no memory; touching pages of a block larger than the machine
    // can back would fault later, so the pages are claimed now.
    int error = 0;
    if (::ftruncate(object.fd, static_cast<off_t>(size)) != 0)
        error = errno;
    else
        error = ::posix_fallocate(object.fd, 0, static_cast<off_t>(size));
    if (error != 0) {
        ::shm_unlink(name.c_str());
        errno = error;
        return std::nullopt;
    }
    void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, object.fd, 0);
    if (data == MAP_FAILED) {
        error = errno;
        ::shm_unlink(name.c_str());
        errno = error;
        return std::nullopt;
    }
    return SharedMemoryBlock(name, size, static_cast<std::byte*>(data));
}

SharedMemoryBlock::SharedMemoryBlock(std::string name, std::size_t size, std::byte* data)
    : name_(std::move(name)), size_(size), data_(data) {}

SharedMemoryBlock::SharedMemoryBlock(SharedMemoryBlock&& other) noexcept
    : name_(std::move(other.name_)),
      size_(std::exchange(other.size_, 0)),
      data_(std::exchange(other.data_, nullptr)) {
    other.name_.clear();
}

SharedMemoryBlock& SharedMemoryBlock::operator=(SharedMemoryBlock&& other) noexcept {
    if (this != &other) {
        release();
        name_ = std::move(other.name_);
        other.name_.clear();
        size_ = std::exchange(other.size_, 0);
        data_ = std::exchange(other.data_, nullptr);
    }
    return *this;
}

SharedMemoryBlock::~SharedMemoryBlock() { release(); }

void SharedMemoryBlock::unmap() {
    if (data_) ::munmap(data_, size_);
    data_ = nullptr;
}

void SharedMemoryBlock::release() {
    unmap();
    if (!name_.empty()) ::shm_unlink(name_.c_str());
    name_.clear();
}

std::optional<SharedMemoryView> SharedMemoryView::open(const std::string& name) {
    Descriptor object{::shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0)};
    if (object.fd < 0) return std::nullopt;
    struct stat status {};
    if (::fstat(object.fd, &status) != 0) return std::nullopt;
    if (status.st_size <= 0) {
        errno = EINVAL;
        return std::nullopt;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, object.fd, 0);
    if (data == MAP_FAILED) return std::nullopt;
    return SharedMemoryView(size, static_cast<const std::byte*>(data));
}

SharedMemoryView::SharedMemoryView(SharedMemoryView&& other) noexcept
    : size_(std::exchange(other.size_, 0)), data_(std::exchange(other.data_, nullptr)) {}

SharedMemoryView& SharedMemoryView::operator=(SharedMemoryView&& other) noexcept {
    if (this != &other) {
        if (data_) ::munmap(const_cast<std::byte*>(data_), size_);
        size_ = std::exchange(other.size_, 0);
        data_ = std::exchange(other.data_, nullptr);
    }
    return *this;
}

SharedMemoryView::~SharedMemoryView() {
    if (data_) ::munmap(const_cast<std::byte*>(data_), size_);
}

}  // namespace platform
