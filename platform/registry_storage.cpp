#include "platform/registry_storage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>

#include "platform/registry_file.h"

namespace platform {
namespace registry_detail {
namespace {

constexpr std::string_view kTemporarySuffix = ".tmp.XXXXXX";

struct Diagnostics {
    std::mutex mutex;
    std::function<void(const std::string&)> sink;
};

Diagnostics& diagnostics() {
    static Diagnostics instance;
    return instance;
}

void report(const std::string& message) {
    std::function<void(const std::string&)> sink;
    {
        std::lock_guard lock(diagnostics().mutex);
        sink = diagnostics().sink;
    }
    if (sink) {
        sink(message);
    } else {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
}

std::string valuesFilePath(const std::string& folder) {
    return folder + "/" + std::string(kValuesFileName);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now, reporting whether the last writes reached the file.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

enum class ReadResult { Ok, Missing, Linked, Failed };

// Only a regular file of a sane size is read, never through a symbolic link. A FIFO would
// block the open or the read for ever, a device (/dev/zero) would be read to the size
// limit on every value, and a link could lend the store a file from anywhere, so none is
// opened for reading at all; the descriptor is checked again, as the name may have
// changed in between.
bool isReadableValuesFile(const struct stat& status) {
    return S_ISREG(status.st_mode) && status.st_size >= 0 &&
           static_cast<std::uint64_t>(status.st_size) <= kMaxValuesFileSize;
}

ReadResult readWholeFile(const std::string& path, std::string& text) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    }
    if (S_ISLNK(status.st_mode)) {
        return ReadResult::Linked;
    }
    if (!isReadableValuesFile(status)) {
        return ReadResult::Failed;
    }
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!file.valid()) {
        if (errno == ELOOP) {
            return ReadResult::Linked;
        }
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    }
    if (::fstat(file.get(), &status) != 0 || !isReadableValuesFile(status)) {
        return ReadResult::Failed;
    }
    // One byte more than the size: a file that grew since fstat is refused.
    text.resize(static_cast<std::size_t>(status.st_size) + 1);
    std::size_t filled = 0;
    while (filled < text.size()) {
        const ssize_t count = ::read(file.get(), text.data() + filled, text.size() - filled);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return ReadResult::Failed;
        }
        if (count == 0) {
            text.resize(filled);
            return ReadResult::Ok;
        }
        filled += static_cast<std::size_t>(count);
    }
    return ReadResult::Failed;
}

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t count = ::write(fd, text.data(), text.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

}  // namespace

std::optional<std::vector<RegistryValue>> loadValues(const std::string& folder) {
    const std::string path = valuesFilePath(folder);
    std::string text;
    switch (readWholeFile(path, text)) {
        case ReadResult::Missing: return std::vector<RegistryValue>{};
        case ReadResult::Linked:
            report("registry: " + path + ": is a symbolic link, not followed");
            return std::nullopt;
        case ReadResult::Failed:
            report("registry: " + path + ": cannot be read");
            return std::nullopt;
        case ReadResult::Ok: break;
    }
    auto parsed = registry_file::parse(text);
    if (parsed.firstDamage) {
        std::string message = "registry: " + path + ":" +
                              std::to_string(parsed.firstDamage->line) + ": " +
                              parsed.firstDamage->reason;
        if (parsed.damagedLines > 1) {
            message += " (" + std::to_string(parsed.damagedLines) + " damaged lines skipped)";
        } else {
            message += " (line skipped)";
        }
        report(message);
    }
    return std::move(parsed.values);
}

bool saveValues(const std::string& folder, const std::vector<RegistryValue>& values) {
    const std::string finalPath = valuesFilePath(folder);
    const std::string text = registry_file::serialize(values);
    if (text.size() > kMaxValuesFileSize) {
        report("registry: " + finalPath + ": not written, the values would take " + std::to_string(text.size()) +
               " bytes, more than the " + std::to_string(kMaxValuesFileSize) +
               " a values file may hold; the file stays as it was");
        return false;
    }
    std::string temporaryPath = finalPath + std::string(kTemporarySuffix);
    FileDescriptor file(::mkostemp(temporaryPath.data(), O_CLOEXEC));
    if (!file.valid()) {
        return false;
    }
    const bool written = writeAll(file.get(), text) &&
                         ::fsync(file.get()) == 0 && file.close() &&
                         ::rename(temporaryPath.c_str(), finalPath.c_str()) == 0;
    if (!written) {
        ::unlink(temporaryPath.c_str());
        return false;
    }
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.valid()) {
        ::fsync(directory.get());  // makes the rename durable; the data is safe either way
    }
    return true;
}

}  // namespace registry_detail

void setRegistryDiagnostics(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(registry_detail::diagnostics().mutex);
    registry_detail::diagnostics().sink = std::move(sink);
}

}  // namespace platform
