// Listing hostile and failing FAT volumes against their intact forms, as printed figures:
// each case runs in a child process of its own, which loads the image, lists every entry
// with its path, and reports the listing's time and the child's peak memory.
//  1. the FAT32 fixture, and the same volume behind an 8 GiB FAT on a 2 TiB sparse file,
//     once with the fixture's size and once with a size field that leaves the volume the
//     whole file;
//  2. the fixture with its total-sector fields zero or too large;
//  3. folder chains 7,000, 35,000 and 70,000 deep, and 70,000 folders side by side;
//  4. the fixture with one unreadable sector in FAT1, in FAT1 and FAT2, and in the first
//     root-directory cluster (3 attempts per read, 20 ms pause after each failed one).
// Usage: fat_crafted_bench [work-folder] (default /tmp), from the repository root (it reads
// tests/data, or the folder UNDELETE_TEST_DATA names).

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/byte_order.h"
#include "engine/disk/drive.h"
#include "engine/engine_state.h"
#include "engine/fs/fat_reader.h"
#include "platform/fault_injection.h"
#include "tests/engine/fs/fat_crafted_images.h"
#include "tests/engine/support/test_images.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Listing {
    int entries = 0;
    double seconds = 0;
    long peakKiB = 0;  // resident memory at its highest during the listing
};

long residentPeakKiB() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
    }
    std::fclose(status);
    return kib;
}

// Lists every entry of the drive with its path.
Listing listDrive(CDrive& drive) {
    // Restarts the peak count, so that it covers the listing alone.
    if (FILE* reset = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", reset);
        std::fclose(reset);
    }
    const auto start = Clock::now();
    CFAT reader(&drive);
    reader.Initialize();
    Listing listing;
    while (FoundFileRecord* record = reader.GetFileNext()) {
        reader.GetFilePath(record);
        ++listing.entries;
    }
    listing.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    listing.peakKiB = residentPeakKiB();
    return listing;
}

// Runs `body` in a child process and prints its listing.
void runCase(const char* name, const std::function<Listing()>& body) {
    int channel[2];
    if (::pipe(channel) != 0) return;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const Listing listing = body();
        const bool sent = ::write(channel[1], &listing, sizeof listing) == sizeof listing;
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    Listing listing;
    const bool received = ::read(channel[0], &listing, sizeof listing) == sizeof listing;
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!received) {
        std::printf("%-46s failed (status %d)\n", name, status);
        return;
    }
    std::printf("%-46s %7d entries %8.3f s %8.1f MiB peak\n", name, listing.entries, listing.seconds,
                static_cast<double>(listing.peakKiB) / 1024.0);
}

// A drive over an image file, read as the engine reads image drives.
Listing listFile(const std::string& path) {
    CDrive drive;
    drive.SetSource({kDriveImage, path, 0, 0});
    return listDrive(drive);
}

struct ByteRange {
    std::uint64_t first, last;
};

// A drive over image bytes whose reads that touch one of `bad` fail; a failed attempt
// pauses 20 ms (3 attempts per read).
Listing listFaulty(const std::vector<std::uint8_t>& image, const std::vector<ByteRange>& bad) {
    EngineSettings settings{};
    settings.ReadRetries = 3;
    settings.RetryPause = 20;
    EngineSettings* previous = std::exchange(engine::state().settings, &settings);
    auto plan = std::make_shared<platform::FaultPlan>();
    for (const ByteRange& range : bad) plan->failReads(range.first, range.last, 5, -1);
    CDrive drive;
    drive.SetSource({kDriveImage, "memory", 0, image.size()});
    drive.SetDeviceOpener(
        platform::faultyOpener(plan, platform::memoryOpener(std::make_shared<std::vector<std::uint8_t>>(image))));
    const Listing listing = listDrive(drive);
    engine::state().settings = previous;
    return listing;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::vector<std::uint8_t> sideBySideImage(std::uint32_t folders) {
    fattest::Fat32Builder volume(folders * 2 + 8, 1);
    char name[12];
    for (std::uint32_t k = 0; k < folders; ++k) {
        std::snprintf(name, sizeof name, "D%07u   ", k);
        volume.addFolder(fattest::Fat32Builder::kRootCluster, name);
    }
    return std::move(volume.image());
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path work = argc > 1 ? argv[1] : "/tmp";
    const std::vector<std::uint8_t> fixture = test_images::gunzip("fat/fat32.img.gz");
    if (fixture.empty()) {
        std::fprintf(stderr, "fixture tests/data/fat/fat32.img.gz not found\n");
        return 1;
    }
    const std::string fixturePath = (work / "fat_crafted_fixture.img").string();
    const std::string widePath = (work / "fat_crafted_wide.img").string();
    const std::string wholePath = (work / "fat_crafted_whole.img").string();
    const std::string zeroPath = (work / "fat_crafted_zero.img").string();
    const std::string largePath = (work / "fat_crafted_large.img").string();
    const auto withTotalSectors = [&](std::uint32_t sectors) {
        std::vector<std::uint8_t> changed = fixture;
        engine::storeLittleEndian<std::uint32_t>(changed.data() + 32, sectors);
        return changed;
    };
    if (!writeFile(fixturePath, fixture) || !writeFile(zeroPath, withTotalSectors(0)) ||
        !writeFile(largePath, withTotalSectors(0xFFFFFFFF)) ||
        !fattest::writeWideFatImage(fixture, widePath, 2ull << 40, 16u << 20) ||
        !fattest::writeWideFatImage(fixture, wholePath, 2ull << 40, 16u << 20, 0)) {
        std::fprintf(stderr, "cannot write the images in %s\n", work.c_str());
        return 1;
    }

    runCase("fat32 fixture", [&] { return listFile(fixturePath); });
    runCase("fat32, 8 GiB FAT on a 2 TiB sparse file", [&] { return listFile(widePath); });
    runCase("the same, the volume spanning all 2 TiB", [&] { return listFile(wholePath); });
    runCase("fat32, total sectors 0", [&] { return listFile(zeroPath); });
    runCase("fat32, total sectors 2^32-1", [&] { return listFile(largePath); });

    for (std::uint32_t depth : {7000u, 35000u, 70000u}) {
        const std::string path = (work / "fat_crafted_chain.img").string();
        if (!writeFile(path, fattest::deepChainImage(depth))) return 1;
        const std::string name = "folder chain " + std::to_string(depth) + " deep";
        runCase(name.c_str(), [&] { return listFile(path); });
        std::filesystem::remove(path);
    }
    {
        const std::string path = (work / "fat_crafted_side.img").string();
        if (!writeFile(path, sideBySideImage(70000))) return 1;
        runCase("70000 folders side by side", [&] { return listFile(path); });
        std::filesystem::remove(path);
    }

    const std::uint64_t reserved = engine::loadLittleEndian<std::uint16_t>(fixture.data() + 14) * 512ull;
    const std::uint64_t fatBytes = engine::loadLittleEndian<std::uint32_t>(fixture.data() + 36) * 512ull;
    const std::uint64_t fat1Sector = reserved + 512;  // the chains of the root's first files
    const std::uint64_t rootCluster = reserved + 2 * fatBytes;
    const ByteRange inFat1{fat1Sector, fat1Sector + 512};
    const ByteRange inFat2{fat1Sector + fatBytes, fat1Sector + fatBytes + 512};
    runCase("fat32 intact, through the fault backend", [&] { return listFaulty(fixture, {}); });
    runCase("one bad sector in FAT1", [&] { return listFaulty(fixture, {inFat1}); });
    runCase("one bad sector in FAT1 and FAT2", [&] { return listFaulty(fixture, {inFat1, inFat2}); });
    runCase("one bad sector in the first root cluster",
            [&] { return listFaulty(fixture, {{rootCluster, rootCluster + 512}}); });

    std::filesystem::remove(fixturePath);
    std::filesystem::remove(widePath);
    std::filesystem::remove(wholePath);
    std::filesystem::remove(zeroPath);
    std::filesystem::remove(largePath);
    return 0;
}
