// Enumerates an NTFS image and reports records per second, without and with every
// record's path; when The Sleuth Kit's `fls` is installed, times `fls -r` over the same
// image in the same run and prints the ratio of the listing with paths to it.
//
//   ntfs_bench IMAGE      (make one with: scripts/make-ntfs-fixtures --bench DIR)

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/fs/ntfs.h"

namespace {

// A drive over an image file, read with pread.
class ImageFileDrive final : public CDrive {
public:
    explicit ImageFileDrive(const char* path) : fd_(::open(path, O_RDONLY)) {
        off_t size = fd_ >= 0 ? ::lseek(fd_, 0, SEEK_END) : 0;
        GetDriveInfo()->TotalSectors = static_cast<std::uint64_t>(size) / kSectorSize;
        GetDriveInfo()->Letter = 'C';
    }
    ~ImageFileDrive() override {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }

    std::uint64_t ReadSectors(std::uint64_t lba, std::uint64_t count, void* buffer) override {
        ssize_t n = ::pread(fd_, buffer, count * kSectorSize, static_cast<off_t>(lba * kSectorSize));
        return n > 0 ? static_cast<std::uint64_t>(n) : 0;
    }

private:
    int fd_;
};

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s IMAGE\n", argv[0]);
        return 2;
    }
    ImageFileDrive drive(argv[1]);
    if (!drive.ok()) {
        std::perror(argv[1]);
        return 1;
    }
    auto start = std::chrono::steady_clock::now();
    CNTFS ntfs(&drive);
    if (!ntfs.Initialize()) {
        std::fprintf(stderr, "not a readable NTFS volume\n");
        return 1;
    }
    std::uint64_t records = 0, named = 0;
    while (FoundFileRecord* record = ntfs.FileGetNext()) {
        ++records;
        if (record->Flags & kFileHasName) ++named;
    }
    double enumerate = seconds(start);
    std::printf("engine: %llu records (%llu named) in %.3f s: %.0f records/s\n",
                static_cast<unsigned long long>(records), static_cast<unsigned long long>(named),
                enumerate, records / enumerate);

    start = std::chrono::steady_clock::now();
    std::uint64_t paths = 0;
    CNTFS withPaths(&drive);
    withPaths.Initialize();
    while (FoundFileRecord* record = withPaths.FileGetNext()) {
        if (record->Flags & kFileHasName) {
            withPaths.FileGetPath(record);
            ++paths;
        }
    }
    double listing = seconds(start);
    std::printf("engine with paths: %llu paths in %.3f s: %.0f records/s\n",
                static_cast<unsigned long long>(paths), listing, records / listing);

    if (std::system("command -v fls >/dev/null 2>&1") == 0) {
        std::string command = std::string("fls -r '") + argv[1] + "' > /dev/null";
        start = std::chrono::steady_clock::now();
        int status = std::system(command.c_str());
        double fls = seconds(start);
        std::printf("fls -r: %.3f s (exit %d): %.0f records/s\n", fls, status, records / fls);
        std::printf("ratio, with paths to fls -r: %.2f\n", fls / listing);
    }
    return 0;
}
