// The partition-table parser over an in-memory disk. Sectors past the input read as
// zeros, and bytes 440..443 (the MBR's disk signature, which the parser ignores) can
// claim a larger disk, so entries far out and long chains are reached from small inputs.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/disk/partition_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint64_t totalSectors = (size + 511) / 512;
    if (size >= 444) {
        std::uint32_t claimed = 0;
        std::memcpy(&claimed, data + 440, sizeof claimed);
        if (claimed > totalSectors) totalSectors = claimed;
    }
    std::size_t reads = 0;
    const engine::PartitionTable table = engine::readPartitionTable(
        [&](std::uint64_t lba, std::span<std::uint8_t, engine::kPartitionSectorSize> sector) {
            ++reads;
            std::memset(sector.data(), 0, sector.size());
            if (lba < size / 512 + 1) {
                const std::size_t offset = static_cast<std::size_t>(lba) * 512;
                if (offset < size) std::memcpy(sector.data(), data + offset, std::min<std::size_t>(512, size - offset));
            }
            return true;
        },
        totalSectors);

    // Whatever the input, every entry lies on the disk past sector 0, and the work is bounded.
    for (const engine::PartitionEntry& entry : table.partitions) {
        if (entry.firstSector == 0 || entry.sectorCount == 0 || entry.firstSector >= totalSectors ||
            entry.sectorCount > totalSectors - entry.firstSector)
            std::abort();
    }
    if (table.partitions.size() > 4 + engine::kMaxLogicalPartitions + engine::kMaxGptEntries) std::abort();
    if (reads > 2 * (1 + engine::kMaxLogicalPartitions * 4 + 2 * (1 + 4096 * 1024 / 512))) std::abort();
    return 0;
}
