#include "engine/disk/listed_disks.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <span>

#include "engine/disk/partition_table.h"

namespace engine {
namespace {

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~ReadOnlyFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    std::optional<std::uint64_t> byteSize() const {
        struct stat info {};
        if (::fstat(fd_, &info) != 0) return std::nullopt;
        if (S_ISBLK(info.st_mode)) {
            std::uint64_t bytes = 0;
            if (::ioctl(fd_, BLKGETSIZE64, &bytes) != 0) return std::nullopt;
            return bytes;
        }
        if (!S_ISREG(info.st_mode) || info.st_size < 0) return std::nullopt;
        return static_cast<std::uint64_t>(info.st_size);
    }

    bool readSector(std::uint64_t lba, std::span<std::uint8_t, kPartitionSectorSize> sector) const {
        std::size_t done = 0;
        const off_t position = static_cast<off_t>(lba * kPartitionSectorSize);
        while (done < sector.size()) {
            const ssize_t got = ::pread(fd_, sector.data() + done, sector.size() - done,
                                        position + static_cast<off_t>(done));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            done += static_cast<std::size_t>(got);
        }
        return true;
    }

private:
    int fd_;
};

}  // namespace

std::optional<std::vector<std::string>> listedDiskPaths() {
    const char* value = std::getenv(kListedDisksVariable);
    if (!value) return std::nullopt;
    std::vector<std::string> paths;
    std::string_view rest(value);
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view path = rest.substr(0, colon);
        if (!path.empty()) paths.emplace_back(path);
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return paths;
}

platform::ListedDisk describeListedDisk(const std::string& path) {
    platform::ListedDisk disk;
    disk.path = path;
    ReadOnlyFile file(path);
    if (!file.isOpen()) return disk;
    const std::optional<std::uint64_t> bytes = file.byteSize();
    if (!bytes) return disk;
    disk.opened = true;
    disk.bytes = *bytes;
    const PartitionTable table = readPartitionTable(
        [&file](std::uint64_t lba, std::span<std::uint8_t, kPartitionSectorSize> sector) {
            return file.readSector(lba, sector);
        },
        disk.bytes / kPartitionSectorSize);
    for (const PartitionEntry& entry : table.partitions)
        disk.partitions.push_back({entry.number, entry.mbrType, entry.byteOffset(), entry.byteLength()});
    return disk;
}

}  // namespace engine
