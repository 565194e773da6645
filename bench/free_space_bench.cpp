// Free-space search benchmark, printed as figures: a 1 GiB FAT32 image whose files and free
// runs alternate every 1 to 64 clusters (4 KiB each), as on a long-used card, searched for
// signatures in free-space mode and over the whole drive, both through the exports with
// the image in page cache. The figure is the read speed (bytes the search read per second)
// of the free-space search against that of the whole-drive search in the same run.
// Usage: free_space_bench [work-folder] (default /tmp); the folder needs 1 GiB.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/byte_order.h"
#include "engine/engine_state.h"
#include "engine/exports.h"

namespace {

using Clock = std::chrono::steady_clock;
using engine::storeLittleEndian;

constexpr std::uint64_t kImageBytes = std::uint64_t{1} << 30;
constexpr std::uint32_t kClusterSectors = 8;
constexpr std::uint32_t kReservedSectors = 32;
constexpr std::uint32_t kRootClusters = 64;  // room for 8192 entries
constexpr std::uint32_t kMaxRun = 64;

struct Layout {
    std::uint32_t fatSectors;
    std::uint32_t clusters;  // data clusters, from cluster 2
    std::uint64_t dataOffset() const { return (kReservedSectors + std::uint64_t{fatSectors}) * 512; }
};

Layout layoutFor(std::uint64_t totalSectors) {
    Layout layout{};
    // Four bytes per cluster, clusters 0 and 1 included; a little more FAT than needed.
    layout.fatSectors = static_cast<std::uint32_t>((totalSectors / kClusterSectors + 2) * 4 / 512 + 1);
    layout.clusters = static_cast<std::uint32_t>((totalSectors - kReservedSectors - layout.fatSectors) / kClusterSectors);
    return layout;
}

void writeBoot(std::uint8_t* boot, std::uint64_t totalSectors, const Layout& layout) {
    boot[0] = 0xEB, boot[1] = 0x58, boot[2] = 0x90;
    std::memcpy(boot + 3, "BENCH   ", 8);
    storeLittleEndian<std::uint16_t>(boot + 11, 512);
    boot[13] = kClusterSectors;
    storeLittleEndian<std::uint16_t>(boot + 14, kReservedSectors);
    boot[16] = 1;     // one FAT
    boot[21] = 0xF8;  // fixed disk
    storeLittleEndian<std::uint32_t>(boot + 32, static_cast<std::uint32_t>(totalSectors));
    storeLittleEndian<std::uint32_t>(boot + 36, layout.fatSectors);
    storeLittleEndian<std::uint32_t>(boot + 44, 2);  // root folder
    std::memcpy(boot + 71, "FRAGMENTED ", 11);
    std::memcpy(boot + 82, "FAT32   ", 8);
    boot[510] = 0x55, boot[511] = 0xAA;
}

// Files of 1 to 64 clusters with free runs of 1 to 64 clusters between them; every cluster
// holds random bytes, and every 64th a JPEG header. Returns the free clusters.
std::uint64_t writeImage(const std::string& path) {
    const std::uint64_t totalSectors = kImageBytes / 512;
    const Layout layout = layoutFor(totalSectors);
    std::vector<std::uint8_t> head(layout.dataOffset() + std::uint64_t{kRootClusters} * kClusterSectors * 512, 0);
    writeBoot(head.data(), totalSectors, layout);
    std::uint8_t* fat = head.data() + kReservedSectors * 512;
    std::uint8_t* root = head.data() + layout.dataOffset();
    auto link = [&](std::uint32_t cluster, std::uint32_t next) { storeLittleEndian(fat + cluster * 4, next); };
    link(0, 0x0FFFFFF8);
    link(1, 0x0FFFFFFF);
    for (std::uint32_t c = 2; c < 2 + kRootClusters; ++c) link(c, c + 1 < 2 + kRootClusters ? c + 1 : 0x0FFFFFFF);

    std::mt19937 random(5);
    std::uint64_t freeClusters = 0;
    std::uint32_t files = 0;
    const std::uint32_t end = 2 + layout.clusters;
    for (std::uint32_t cluster = 2 + kRootClusters; cluster < end;) {
        const std::uint32_t length = std::min(1 + static_cast<std::uint32_t>(random() % kMaxRun), end - cluster);
        for (std::uint32_t c = cluster; c < cluster + length; ++c) link(c, c + 1 < cluster + length ? c + 1 : 0x0FFFFFFF);
        std::uint8_t* entry = root + std::uint64_t{files} * 32;
        std::snprintf(reinterpret_cast<char*>(entry), 12, "F%07uBIN", files);
        entry[11] = 0x20;
        storeLittleEndian<std::uint16_t>(entry + 20, static_cast<std::uint16_t>(cluster >> 16));
        storeLittleEndian<std::uint16_t>(entry + 26, static_cast<std::uint16_t>(cluster));
        storeLittleEndian<std::uint32_t>(entry + 28, length * kClusterSectors * 512);
        ++files;
        const std::uint32_t gap = std::min(1 + static_cast<std::uint32_t>(random() % kMaxRun), end - cluster - length);
        freeClusters += gap;
        cluster += length + gap;
        if (files == kRootClusters * kClusterSectors * 512 / 32) {
            freeClusters += end - cluster;
            break;
        }
    }

    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0) return 0;
    bool written = ::write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size());
    std::vector<std::uint8_t> chunk(kClusterSectors * 512 * 256);
    const char jpeg[] = "\xFF\xD8\xFF\xE0\x00\x10JFIF";
    for (std::uint64_t at = head.size(); written && at < kImageBytes; at += chunk.size()) {
        for (std::size_t i = 0; i < chunk.size(); i += 4) storeLittleEndian<std::uint32_t>(chunk.data() + i, random());
        for (std::size_t i = 0; i < chunk.size(); i += 64 * kClusterSectors * 512) std::memcpy(chunk.data() + i, jpeg, 10);
        const std::size_t bytes = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), kImageBytes - at));
        written = ::write(fd, chunk.data(), bytes) == static_cast<ssize_t>(bytes);
    }
    ::close(fd);
    return written ? freeClusters : 0;
}

// An image drive that counts the bytes the search reads.
class CountingDrive : public CDrive {
public:
    std::uint64_t ReadSectors(std::uint64_t lba, std::uint64_t count, void* buffer) override {
        const std::uint64_t read = CDrive::ReadSectors(lba, count, buffer);
        bytesRead += read;
        return read;
    }
    std::uint64_t bytesRead = 0;
};

void onHit(std::uint32_t, FoundFileRecord*) {}

struct SearchFigures {
    double seconds;
    std::uint64_t bytesRead;
    double megabytesPerSecond() const { return static_cast<double>(bytesRead) / 1e6 / seconds; }
};

void addSearch(SearchFigures& figures, EngineSettings& settings, CountingDrive& drive, bool freeSpaceOnly) {
    settings.FreeSpaceOnly = freeSpaceOnly ? 1 : 0;
    drive.bytesRead = 0;
    const auto start = Clock::now();
    DriveSearchSignatures();
    figures.seconds += std::chrono::duration<double>(Clock::now() - start).count();
    figures.bytesRead += drive.bytesRead;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string image = folder + "/free-space-bench.img";
    ::setenv("UNDELETE_REGISTRY", (folder + "/free-space-bench-registry").c_str(), 1);
    std::printf("writing %s (1 GiB FAT32, files and free runs of 1 to 64 clusters)\n", image.c_str());
    const std::uint64_t freeClusters = writeImage(image);
    if (freeClusters == 0 || std::system(("cat '" + image + "' > /dev/null").c_str()) != 0) return 1;

    Library_Initialize(u"\\Software\\FreeSpaceBench");
    auto owned = std::make_unique<CountingDrive>();
    CountingDrive& drive = *owned;
    drive.SetSource({kDriveImage, image, 0, 0});
    EngineSettings settings{};
    settings.ReadRetries = 1;
    settings.DiskNumber = engine::state().drives->add(std::move(owned));
    if (DriveInitialize(&settings) <= 0) {
        std::fprintf(stderr, "cannot open %s\n", image.c_str());
        return 1;
    }
    settings.FoundCallback = &onHit;

    // A run alternates the two searches a few times, so that a moment of other load on
    // the machine weighs on both about equally.
    constexpr int kRounds = 3;
    for (int run = 0; run < 5; ++run) {
        SearchFigures free{};
        SearchFigures whole{};
        for (int round = 0; round < kRounds; ++round) {
            addSearch(free, settings, drive, true);
            addSearch(whole, settings, drive, false);
        }
        const std::uint64_t freeCounted = settings.FreeClusters;
        std::printf("run %d: free space %.0f MB/s (%.0f MB read in %.3f s; free clusters %llu, %llu made), whole "
                    "drive %.0f MB/s (%.0f MB in %.3f s), ratio %.2f\n",
                    run + 1, free.megabytesPerSecond(), static_cast<double>(free.bytesRead) / 1e6, free.seconds,
                    static_cast<unsigned long long>(freeCounted), static_cast<unsigned long long>(freeClusters),
                    whole.megabytesPerSecond(), static_cast<double>(whole.bytesRead) / 1e6, whole.seconds,
                    free.megabytesPerSecond() / whole.megabytesPerSecond());
    }
    Library_Close();
    return 0;
}
