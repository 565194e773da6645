// FAT benchmarks, printed as figures:
//  1. enumerating a FAT32 volume of 100,000 entries from an image file, every path included,
//     against `fls -r -p` of The Sleuth Kit on the same image in the same run;
//  2. recovering a 1 GiB file from an image file in page cache through the exports (the
//     best of five copies, each before and after its sync), against `cp` of the same image
//     on the same machine.
// Usage: fat_bench [work-folder] [recovery] (default /tmp; "recovery" runs only the second);
// the work folder needs about 3 GiB.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
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
#include "tests/engine/fs/fat_image_builder.h"
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

// Seconds that `command` takes through the shell.
double timeCommand(const std::string& command) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    return secondsSince(start);
}

// Lists the image with every path, as the file-system scan does.
double timeListing(const std::string& imagePath, std::size_t& listed) {
    const auto start = Clock::now();
    FileDrive drive(imagePath);
    CFAT reader(&drive);
    reader.Initialize();
    listed = 0;
    while (FoundFileRecord* record = reader.GetFileNext()) {
        reader.GetFilePath(record);
        ++listed;
    }
    return secondsSince(start);
}

void benchEnumeration(const std::filesystem::path& folder) {
    constexpr std::uint32_t kFolders = 100;
    constexpr std::uint32_t kFilesPerFolder = 1000;
    fattest::Fat32Builder volume(kFolders * (kFilesPerFolder / 128 + 2) + 16, 8);  // 4 KiB clusters
    char name[12];
    for (std::uint32_t k = 0; k < kFolders; ++k) {
        std::snprintf(name, sizeof name, "DIR%05u   ", k);
        const std::uint32_t inside = volume.addFolder(fattest::Fat32Builder::kRootCluster, name);
        for (std::uint32_t file = 0; file < kFilesPerFolder; ++file) {
            std::snprintf(name, sizeof name, "F%07uTXT", file);
            volume.addFile(inside, name, 0);
        }
    }
    const std::string imagePath = (folder / "fat_bench_list.img").string();
    {
        FILE* file = std::fopen(imagePath.c_str(), "wb");
        const std::vector<std::uint8_t>& image = volume.image();
        if (!file || std::fwrite(image.data(), 1, image.size(), file) != image.size()) std::abort();
        std::fclose(file);
    }
    const std::string peer = "fls -r -p -f fat32 '" + imagePath + "' > /dev/null";
    std::size_t listed = 0;
    // Both once to warm the page cache, then timed.
    timeListing(imagePath, listed);
    if (timeCommand(peer) < 0) {
        std::printf("enumeration: fls (The Sleuth Kit) did not run; install sleuthkit to compare\n");
    }
    const double ours = timeListing(imagePath, listed);
    const double theirs = timeCommand(peer);
    std::printf("enumeration with paths: %zu entries in %.3f s (%.0f entries/s); fls -r -p: %.3f s; ratio %.2fx\n",
                listed, ours, static_cast<double>(listed) / ours, theirs, theirs / ours);
    std::filesystem::remove(imagePath);
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
    // The engine's own image drive, read as the wizard reads one.
    auto drive = std::make_unique<CDrive>();
    drive->SetSource({kDriveImage, imagePath, 0, 0});
    drive->GetDriveInfo()->Letter = 'B';
    settings.DiskNumber = engine::state().drives->add(std::move(drive));
    if (DriveInitialize(&settings) <= 0) std::abort();
    FoundFileRecord record{};
    while (FoundFileRecord* next = FileGetNext()) record = *next;

    RecoveryRequest request{};
    request.Options = kRecoveryDefaultOptions;
    platform::copyToField(request.TargetPath, kRecoveryTargetCapacity, platform::toUtf16(outPath));
    request.Record = &record;
    double copyOnlySeconds = 1e9, recoverySeconds = 1e9;
    for (int round = 0; round < 5; ++round) {
        std::filesystem::remove(outPath);
        ::sync();
        const auto start = Clock::now();
        DoFileRecovery(&request);
        copyOnlySeconds = std::min(copyOnlySeconds, secondsSince(start));
        ::sync();
        recoverySeconds = std::min(recoverySeconds, secondsSince(start));
    }
    std::printf("recovery before sync: %.3f s: %.0f MB/s\n", copyOnlySeconds,
                static_cast<double>(kFileBytes) / 1e6 / copyOnlySeconds);
    auto start = Clock::now();
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
    const std::filesystem::path folder = argc > 1 ? argv[1] : "/tmp";
    if (argc <= 2 || std::string(argv[2]) != "recovery") benchEnumeration(folder);
    benchRecovery(folder);
    return 0;
}
