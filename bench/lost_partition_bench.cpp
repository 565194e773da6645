// Lost-partition search benchmarks, printed as figures:
//  1. the scanner over a 6 MiB disk of repeated GPT headers (each asking for an entry
//     array of 8192 sectors) held in memory: time and sectors read by table walks;
//  2. the same disk as an image file, searched end to end on the search thread's path.
// Usage: lost_partition_bench [work-folder] (default /tmp).

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/disk/lost_partition_scan.h"
#include "engine/disk/lost_partition_search.h"
#include "engine/engine_state.h"
#include "tests/engine/disk/sparse_disk.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint64_t kSectors = 12288;  // 6 MiB
constexpr std::uint64_t kPairs = 1024;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void scanInMemory(disktest::SparseDisk& disk) {
    const Clock::time_point start = Clock::now();
    engine::lost::LostPartitionScanner scanner(disk.source(), disk.total, engine::lost::kMaxFoundDrives);
    for (const auto& entry : disk.sectors) {
        const disktest::Sector sector = entry.second;
        scanner.examine(entry.first, engine::lost::SectorView(sector));
    }
    std::printf("scanner, 6 MiB of repeated GPT headers: %.3f s, %d sectors read by table walks\n",
                secondsSince(start), disk.reads);
}

void searchImageFile(const disktest::SparseDisk& disk, const std::filesystem::path& file) {
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        for (std::uint64_t lba = 0; lba < disk.total; ++lba) {
            const disktest::Sector sector = disk.get(lba);
            out.write(reinterpret_cast<const char*>(sector.data()), sector.size());
        }
    }
    EngineSettings settings{};
    settings.ReadRetries = 1;
    engine::state().settings = &settings;
    CStorageArray drives(4);
    auto drive = std::make_shared<CDrive>();
    drive->SetSource({kDrivePhysical, file.string(), 0, disk.total * 512});
    LostSearchRequest request{};
    request.DiskIndex = drives.add(std::move(drive));
    request.EndSector = ~std::uint64_t{0};
    const Clock::time_point start = Clock::now();
    engine::lost::LostSearch(drives, request);
    std::printf("search of the image file: %.3f s\n", secondsSince(start));
    std::filesystem::remove(file);
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path work = argc > 1 ? argv[1] : "/tmp";
    disktest::SparseDisk disk{kSectors};
    disktest::repeatedGptHeaders(disk, kPairs);
    scanInMemory(disk);
    searchImageFile(disk, work / "lost-partition-bench.img");
    return 0;
}
