#pragma once
// The file a recovery writes: created with O_CREAT | O_TRUNC | O_NOFOLLOW (mode 0644), so
// an existing file is replaced and a symbolic link is never followed.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace engine {

class RecoveryOutput {
public:
    explicit RecoveryOutput(const std::string& path)
        : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644)) {}
    ~RecoveryOutput() { close(); }
    RecoveryOutput(const RecoveryOutput&) = delete;
    RecoveryOutput& operator=(const RecoveryOutput&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Writes every byte; false with errno set on failure. `written` counts what reached
    // the file, also before a failure.
    bool writeAll(const std::uint8_t* data, std::size_t size, std::uint64_t& written) {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                if (n == 0) errno = EIO;
                return false;
            }
            written += static_cast<std::uint64_t>(n);
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }
    // Moves on by `bytes` without writing them: they read as zeros once data follows.
    bool skip(std::uint64_t bytes) {
        return ::lseek(fd_, static_cast<off_t>(bytes), SEEK_CUR) != static_cast<off_t>(-1);
    }
    bool close() {
        if (fd_ < 0) return true;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int fd_;
};

}  // namespace engine
