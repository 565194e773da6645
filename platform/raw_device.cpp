#include "platform/raw_device.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/hdreg.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/device_info.h"

namespace platform {

RawDevice::~RawDevice() = default;

namespace {

constexpr std::uint32_t kDefaultSectorSize = 512;
constexpr std::uint32_t kDefaultHeads = 255;
constexpr std::uint32_t kDefaultSectorsPerTrack = 63;
// Linux moves at most this much in one read call.
constexpr std::size_t kMaxReadChunk = 0x7FFFF000;

class FileDevice final : public RawDevice {
public:
    FileDevice(int fd, const struct stat& status) : fd_(fd), status_(status) {}
    ~FileDevice() override { ::close(fd_); }
    FileDevice(const FileDevice&) = delete;
    FileDevice& operator=(const FileDevice&) = delete;

    IoResult readAt(std::uint64_t offset, void* buffer, std::size_t bytes) override {
        auto* out = static_cast<unsigned char*>(buffer);
        std::size_t done = 0;
        while (done < bytes) {
            const std::uint64_t position = offset + done;
            if (position < offset || position > static_cast<std::uint64_t>(LLONG_MAX)) {
                return {0, EINVAL};
            }
            const std::size_t chunk = std::min(bytes - done, kMaxReadChunk);
            const ssize_t n = ::pread(fd_, out + done, chunk, static_cast<off_t>(position));
            if (n < 0) {
                if (errno == EINTR) continue;
                return {0, errno};
            }
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
        }
        return {done, 0};
    }

    std::optional<std::uint64_t> byteSize() const override {
        if (isBlockDevice()) {
            std::uint64_t size = 0;
            if (::ioctl(fd_, BLKGETSIZE64, &size) == 0) return size;
        }
        struct stat now {};
        if (::fstat(fd_, &now) != 0) return std::nullopt;
        return static_cast<std::uint64_t>(now.st_size);
    }

    std::uint32_t logicalSectorSize() const override {
        int size = 0;
        if (isBlockDevice() && ::ioctl(fd_, BLKSSZGET, &size) == 0 && size > 0) {
            return static_cast<std::uint32_t>(size);
        }
        return kDefaultSectorSize;
    }

    DeviceGeometry geometry() const override {
        DeviceGeometry result;
        result.tracksPerCylinder = kDefaultHeads;
        result.sectorsPerTrack = kDefaultSectorsPerTrack;
        result.bytesPerSector = logicalSectorSize();
        hd_geometry reported{};
        if (isBlockDevice() && ::ioctl(fd_, HDIO_GETGEO, &reported) == 0 && reported.heads != 0 &&
            reported.sectors != 0) {
            result.tracksPerCylinder = reported.heads;
            result.sectorsPerTrack = reported.sectors;
        }
        // The reported cylinder count has 16 bits; the byte size gives the real one.
        const std::uint64_t cylinderBytes = std::uint64_t{result.tracksPerCylinder} *
                                            result.sectorsPerTrack * result.bytesPerSector;
        result.cylinders = byteSize().value_or(0) / cylinderBytes;
        return result;
    }

    std::optional<PartitionExtent> partition() const override {
        if (!isBlockDevice()) return std::nullopt;
        const auto number = readSysfsNumber(status_.st_rdev, "partition");
        const auto start = readSysfsNumber(status_.st_rdev, "start");
        const auto size = readSysfsNumber(status_.st_rdev, "size");
        if (!number || !start || !size) return std::nullopt;
        // sysfs counts in 512-byte units whatever the sector size.
        return PartitionExtent{*start * 512, *size * 512, static_cast<std::uint32_t>(*number)};
    }

    std::optional<dev_t> deviceNumber() const override {
        if (!isBlockDevice()) return std::nullopt;
        return status_.st_rdev;
    }

    std::unique_ptr<RawDevice> duplicate() const override {
        const int copy = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
        if (copy < 0) return nullptr;
        return std::make_unique<FileDevice>(copy, status_);
    }

private:
    bool isBlockDevice() const { return S_ISBLK(status_.st_mode); }

    int fd_;
    struct stat status_;
};

}  // namespace

OpenResult openRawDevice(const std::string& path, OpenMode mode) {
    int flags = O_RDONLY | O_CLOEXEC;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return {nullptr, errno};
    const bool blockDevice = S_ISBLK(status.st_mode);
    if (!blockDevice && !S_ISREG(status.st_mode)) return {nullptr, ENODEV};
    if (mode == OpenMode::Exclusive && blockDevice) flags |= O_EXCL;

    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) return {nullptr, errno};
    if (mode == OpenMode::Exclusive && !blockDevice && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return {nullptr, error};
    }
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        return {nullptr, error};
    }
    return {std::make_unique<FileDevice>(fd, status), 0};
}

}  // namespace platform
