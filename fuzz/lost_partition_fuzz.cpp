// The lost-partition scanner over an in-memory disk: every sector of the input is
// examined in order, as the search does, so boot sectors, tables found anywhere and their
// extended chains are all reached. Sectors past the input read as zeros (which the scan
// would pass over), and bytes 440..443 of sector 0 can claim a larger disk so that
// entries far out and sums past 32 bits are reached from small inputs.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>

#include "engine/disk/lost_partition_scan.h"

namespace {

constexpr std::size_t kMaxRegions = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint64_t inputSectors = (size + 511) / 512;
    std::uint64_t totalSectors = inputSectors;
    if (size >= 444) {
        std::uint32_t claimed = 0;
        std::memcpy(&claimed, data + 440, sizeof claimed);
        if (claimed > totalSectors) totalSectors = claimed;
    }
    std::size_t reads = 0;
    auto sectorAt = [&](std::uint64_t lba, std::uint8_t* out) {
        std::memset(out, 0, 512);
        if (lba < inputSectors) {
            const std::size_t offset = static_cast<std::size_t>(lba) * 512;
            std::memcpy(out, data + offset, std::min<std::size_t>(512, size - offset));
        }
    };
    engine::lost::LostPartitionScanner scanner(
        [&](std::uint64_t lba, std::span<std::uint8_t, engine::kPartitionSectorSize> sector) {
            ++reads;
            if (lba >= totalSectors) std::abort();  // the walk never reads past the disk
            sectorAt(lba, sector.data());
            return true;
        },
        totalSectors, kMaxRegions);

    std::vector<engine::lost::LostRegion> found;
    std::uint8_t sector[512];
    for (std::uint64_t lba = 0; lba < inputSectors; ++lba) {
        sectorAt(lba, sector);
        const std::size_t before = reads;
        for (const auto& region : scanner.examine(lba, engine::lost::SectorView(sector))) found.push_back(region);
        // One table walk: the MBR, a bounded chain, or a GPT header with its entry array.
        if (reads - before > 4 * (1 + engine::kMaxLogicalPartitions) + 2 * (1 + 4096 * 1024 / 512)) std::abort();
    }
    for (const auto& region : scanner.finish()) found.push_back(region);
    // All walks together stay within the scan's budget.
    if (reads > engine::lost::kTableReadBudget) std::abort();

    // Every region lies on the disk, is not empty, starts where no other does, and the
    // cap holds.
    std::set<std::uint64_t> starts;
    for (const auto& region : found) {
        if (region.sectorCount == 0 || region.firstSector >= totalSectors ||
            region.sectorCount > totalSectors - region.firstSector || !starts.insert(region.firstSector).second)
            std::abort();
    }
    if (found.size() > kMaxRegions) std::abort();
    return 0;
}
