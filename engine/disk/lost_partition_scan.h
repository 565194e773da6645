#pragma once
// Finding volumes whose partition table is gone. Each sector of a disk is examined in
// turn: a volume boot sector starts a volume there, and a partition table (with its
// extended chain) names volumes at its entries. Pure over 512-byte sectors fetched
// through a callback, so the search thread and the fuzzer share it.
//
// A table found at sector S describes the disk that starts at S: at S = 0 that is the
// disk's own master boot record; further in it is a disk stored inside a partition, or
// an extended boot record, whose first entry is relative to itself. Logical partitions
// are relative to their extended chain, which is walked once per record and to a bounded
// depth (see partition_table.h).
//
// The work is bounded whatever the disk holds: each GPT header position is examined once
// per scan, and all table walks together read at most kTableReadBudget sectors beyond
// the sectors examined (a disk of nothing but table look-alikes stops walking them there).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <vector>

#include "engine/disk/partition_table.h"

namespace engine::lost {

// Sectors that the table walks of one scan may read: room for 32 entry arrays of the
// largest size accepted, or thousands of ordinary tables.
inline constexpr std::uint64_t kTableReadBudget = std::uint64_t{1} << 18;

using SectorView = std::span<const std::uint8_t, kPartitionSectorSize>;

// The uint16 at byte 510 is 0xAA55.
bool HasBootSignature(SectorView sector);
// A FAT or NTFS volume boot record with a plausible parameter block (a boot loader
// that merely starts with a jump is not one).
bool IsBootSector(SectorView sector);
// Entry 0 has a starting sector and a count; entries 1..3 have both or neither.
bool IsPartitionTable(SectorView sector);
// File-system code that a boot sector announces: 7 NTFS, 11 FAT32, 4 FAT16, 1 FAT12,
// -1 none.
std::int32_t bootSectorFileSystem(SectorView sector);
// Sectors that the volume of a boot sector spans, 0 when it does not say. An NTFS
// volume is followed by its backup boot sector, which belongs to its partition.
std::uint64_t bootSectorVolumeSectors(SectorView sector);

struct LostRegion {
    std::uint64_t firstSector = 0;
    std::uint64_t sectorCount = 0;
    // The MBR type byte of a table entry; from a boot sector the code it announces;
    // -1 when unknown.
    std::int32_t fileSystemCode = -1;
    bool fromTable = false;
};

class LostPartitionScanner {
public:
    // At most `maxRegions` regions are reported, so a hostile disk cannot flood the
    // drive list.
    LostPartitionScanner(SectorSource read, std::uint64_t totalSectors, std::size_t maxRegions);

    // A region starting here is already listed and is not reported again.
    void markKnown(std::uint64_t firstSector);
    // Examines sector `lba` (its bytes as read); returns the regions that are complete
    // now, in the order found.
    std::vector<LostRegion> examine(std::uint64_t lba, SectorView sector);
    // Ends the scan: a volume still waiting for its end runs to the disk's end.
    std::vector<LostRegion> finish();
    bool full() const { return reported_ >= maxRegions_; }
    // The table walks used up kTableReadBudget; no further table is walked.
    bool tableBudgetSpent() const { return tableReads_ >= kTableReadBudget; }

private:
    void examineBootSector(std::uint64_t lba, SectorView sector, std::vector<LostRegion>& out);
    void examineTable(std::uint64_t lba, std::vector<LostRegion>& out);
    void closeOpenRegion(std::uint64_t endSector, std::vector<LostRegion>& out);
    void report(const LostRegion& region, std::vector<LostRegion>& out);

    SectorSource read_;
    std::uint64_t totalSectors_;
    std::size_t maxRegions_;
    std::size_t reported_ = 0;
    std::set<std::uint64_t> knownStarts_;
    GptHeaderMemo gptHeaders_;
    std::uint64_t tableReads_ = 0;
    // A volume whose boot sector gives no size ends where the next boot sector starts.
    std::optional<LostRegion> open_;
    // The last boot sector seen: an identical one further on is its backup copy.
    std::optional<std::array<std::uint8_t, kPartitionSectorSize>> lastBoot_;
};

}  // namespace engine::lost
