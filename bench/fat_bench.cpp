// FAT benchmarks, printed as figures:
//  1. enumerating a FAT32 volume of 100,000 entries (built in memory): entries per second;
//  2. recovering a 1 GiB file from an image file in page cache through the exports, against
//     `cp` of the same image on the same machine.
// Usage: fat_bench [work-folder] (default /tmp); the work folder needs about 3 GiB.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/fs/fat_reader.h"
#include "tests/engine/support/memory_drive.h"
#include "engine/recovery_writer.h"
#include "platform/text.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}
void put32(std::uint8_t* at, std::uint32_t value) {
    put16(at, static_cast<std::uint16_t>(value));
    put16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

// A FAT32 layout: 512-byte sectors, 32 reserved sectors, one FAT.
struct Layout {
    std::uint32_t sectorsPerCluster;
    std::uint32_t fatSectors;
    std::uint64_t totalSectors;
    std::uint64_t fatOffset() const { return 32 * 512; }
    std::uint64_t dataOffset() const { return fatOffset() + std::uint64_t{fatSectors} * 512; }
    std::uint64_t clusterBytes() const { return sectorsPerCluster * 512ull; }
    std::uint64_t clusterOffset(std::uint32_t cluster) const { return dataOffset() + (cluster - 2) * clusterBytes(); }
};

void writeBoot(std::uint8_t* boot, const Layout& layout) {
    std::memset(boot, 0, 512);
    put16(boot + 11, 512);
    boot[13] = static_cast<std::uint8_t>(layout.sectorsPerCluster);
    put16(boot + 14, 32);
    boot[16] = 1;
    put32(boot + 32, static_cast<std::uint32_t>(layout.totalSectors));
    put32(boot + 36, layout.fatSectors);
    put32(boot + 44, 2);
    std::memcpy(boot + 82, "FAT32   ", 8);
}

void writeEntry(std::uint8_t* at, const char* name83, std::uint8_t attributes, std::uint32_t cluster, std::uint32_t size) {
    std::memcpy(at, name83, 11);
    at[11] = attributes;
    put16(at + 20, static_cast<std::uint16_t>(cluster >> 16));
    put16(at + 26, static_cast<std::uint16_t>(cluster));
    put16(at + 24, (43 << 9) | (5 << 5) | 6);
    put32(at + 28, size);
}

// An image file read with pread, as the engine reads image drives.
class FileDrive : public CDrive {
public:
    explicit FileDrive(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        GetDriveInfo()->FileSystemCode = kFileSystemFat32;
        GetDriveInfo()->Letter = 'B';
        GetDriveInfo()->TotalSectors = static_cast<std::uint64_t>(::lseek(fd_, 0, SEEK_END)) / 512;
    }
    ~FileDrive() override { ::close(fd_); }
    std::uint64_t ReadSectors(std::uint64_t lba, std::uint64_t count, void* buffer) override {
        const ssize_t got = ::pread(fd_, buffer, count * 512, static_cast<off_t>(lba * 512));
        return got > 0 ? static_cast<std::uint64_t>(got) : 0;
    }

private:
    int fd_;
};

void benchEnumeration() {
    constexpr std::uint32_t kFolders = 100;
    constexpr std::uint32_t kFilesPerFolder = 1000;
    const Layout layout{8, 64, 0};  // 4 KiB clusters
    const std::uint32_t entriesPerCluster = static_cast<std::uint32_t>(layout.clusterBytes() / 32);
    const std::uint32_t folderClusters = (kFilesPerFolder + 2 + entriesPerCluster - 1) / entriesPerCluster;
    const std::uint32_t clusters = 1 + kFolders * folderClusters;
    std::vector<std::uint8_t> image(layout.dataOffset() + (clusters + 1) * layout.clusterBytes(), 0);
    Layout sized = layout;
    sized.totalSectors = image.size() / 512;
    writeBoot(image.data(), sized);
    std::uint8_t* fat = image.data() + layout.fatOffset();
    put32(fat, 0x0FFFFFF8);
    put32(fat + 4, 0x0FFFFFFF);
    put32(fat + 8, 0x0FFFFFFF);  // root: cluster 2
    std::uint32_t next = 3;
    for (std::uint32_t folder = 0; folder < kFolders; ++folder) {
        const std::uint32_t first = next;
        char name[12];
        std::snprintf(name, sizeof name, "DIR%05u   ", folder);
        writeEntry(image.data() + layout.clusterOffset(2) + folder * 32, name, 0x10, first, 0);
        for (std::uint32_t k = 0; k < folderClusters; ++k, ++next) {
            put32(fat + next * 4, k + 1 < folderClusters ? next + 1 : 0x0FFFFFFF);
        }
        std::uint8_t* block = image.data() + layout.clusterOffset(first);
        writeEntry(block, ".          ", 0x10, first, 0);
        writeEntry(block + 32, "..         ", 0x10, 0, 0);
        for (std::uint32_t file = 0; file < kFilesPerFolder; ++file) {
            std::snprintf(name, sizeof name, "F%07uTXT", file);
            writeEntry(block + (file + 2) * 32, name, 0x20, 0, 0);
        }
    }
    test_support::MemoryDrive drive(std::move(image), kFileSystemFat32, 'B');
    const auto start = Clock::now();
    CFAT reader(&drive);
    const int counted = reader.Initialize();
    std::size_t listed = 0;
    while (FoundFileRecord* record = reader.GetFileNext()) {
        reader.GetFilePath(record);
        ++listed;
    }
    const double seconds = secondsSince(start);
    std::printf("enumeration: %zu entries (%d counted) in %.3f s: %.0f entries/s, with paths\n", listed, counted,
                seconds, static_cast<double>(listed) / seconds);
}

void benchRecovery(const std::filesystem::path& folder) {
    constexpr std::uint64_t kFileBytes = 1ull << 30;
    const Layout layout{64, 0, 0};  // 32 KiB clusters
    const std::uint32_t fileClusters = static_cast<std::uint32_t>(kFileBytes / layout.clusterBytes());
    const std::uint32_t clusters = fileClusters + 1;
    Layout sized = layout;
    sized.fatSectors = static_cast<std::uint32_t>(((clusters + 2) * 4 + 511) / 512);
    const std::uint64_t imageBytes = sized.dataOffset() + std::uint64_t{clusters} * sized.clusterBytes();
    sized.totalSectors = imageBytes / 512;

    std::vector<std::uint8_t> head(sized.dataOffset() + sized.clusterBytes(), 0);
    writeBoot(head.data(), sized);
    std::uint8_t* fat = head.data() + sized.fatOffset();
    put32(fat, 0x0FFFFFF8);
    put32(fat + 4, 0x0FFFFFFF);
    put32(fat + 8, 0x0FFFFFFF);
    for (std::uint32_t c = 3; c < 3 + fileClusters; ++c) put32(fat + c * 4, c + 1 < 3 + fileClusters ? c + 1 : 0x0FFFFFFF);
    writeEntry(head.data() + sized.clusterOffset(2), "BIG     BIN", 0x20, 3, static_cast<std::uint32_t>(kFileBytes - 1));

    const std::string imagePath = (folder / "fat_bench.img").string();
    const std::string outPath = (folder / "fat_bench.out").string();
    const std::string copyPath = (folder / "fat_bench.cp").string();
    {
        const int fd = ::open(imagePath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::write(fd, head.data(), head.size()) != static_cast<ssize_t>(head.size())) std::abort();
        std::vector<std::uint8_t> chunk(8 << 20);
        std::uint64_t state = 88172645463325252ull;
        for (std::uint64_t done = 0; done < kFileBytes; done += chunk.size()) {
            for (std::size_t i = 0; i < chunk.size(); i += 8) {
                state ^= state << 13, state ^= state >> 7, state ^= state << 17;
                std::memcpy(chunk.data() + i, &state, 8);
            }
            if (::write(fd, chunk.data(), chunk.size()) != static_cast<ssize_t>(chunk.size())) std::abort();
        }
        ::close(fd);
    }
    ::sync();
    // Warm the page cache.
    std::system(("cat '" + imagePath + "' > /dev/null").c_str());

    Library_Initialize(u"\\Software\\Bench");
    EngineSettings settings{};
    settings.ReadRetries = 1;
    settings.DiskNumber = engine::state().drives->add(std::make_unique<FileDrive>(imagePath));
    if (DriveInitialize(&settings) <= 0) std::abort();
    FoundFileRecord record{};
    while (FoundFileRecord* next = FileGetNext()) record = *next;

    RecoveryRequest request{};
    request.Options = kRecoveryDefaultOptions;
    platform::copyToField(request.TargetPath, kRecoveryTargetCapacity, platform::toUtf16(outPath));
    request.Record = &record;
    auto start = Clock::now();
    DoFileRecovery(&request);
    const double copyOnlySeconds = secondsSince(start);
    ::sync();
    const double recoverySeconds = secondsSince(start);
    std::printf("recovery before sync: %.2f s\n", copyOnlySeconds);
    start = Clock::now();
    std::system(("cp '" + imagePath + "' '" + copyPath + "'").c_str());
    ::sync();
    const double copySeconds = secondsSince(start);
    const double mb = static_cast<double>(kFileBytes) / 1e6;
    std::printf("recovery: 1 GiB in %.2f s: %.0f MB/s; cp of the image: %.2f s: %.0f MB/s\n", recoverySeconds,
                mb / recoverySeconds, copySeconds, static_cast<double>(imageBytes) / 1e6 / copySeconds);
    engine::releaseFileReaders();
    std::filesystem::remove(imagePath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(copyPath);
}

}  // namespace

int main(int argc, char** argv) {
    benchEnumeration();
    benchRecovery(argc > 1 ? argv[1] : "/tmp");
    return 0;
}
