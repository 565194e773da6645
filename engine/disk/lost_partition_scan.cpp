#include "engine/disk/lost_partition_scan.h"

#include <algorithm>
#include <cstring>

#include "engine/disk/boot_sector.h"
#include "engine/records.h"

namespace engine::lost {
namespace {

constexpr std::size_t kEntriesOffset = 446;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kFatSectors16Offset = 19;
constexpr std::size_t kFatSectors32Offset = 32;
constexpr std::size_t kNtfsSectorsOffset = 40;

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
std::uint64_t le64(const std::uint8_t* p) { return std::uint64_t{le32(p)} | std::uint64_t{le32(p + 4)} << 32; }

struct EntryFields {
    std::uint32_t first;
    std::uint32_t count;
};

EntryFields entryFields(SectorView sector, std::size_t index) {
    const std::uint8_t* p = sector.data() + kEntriesOffset + index * kEntrySize;
    return {le32(p + 8), le32(p + 12)};
}

}  // namespace

bool HasBootSignature(SectorView sector) { return le16(sector.data() + 510) == 0xAA55; }

bool IsBootSector(SectorView sector) { return looksLikeVolumeBootSector(sector); }

bool IsPartitionTable(SectorView sector) {
    const EntryFields first = entryFields(sector, 0);
    if (first.first == 0 || first.count == 0) return false;
    for (std::size_t i = 1; i < 4; ++i) {
        const EntryFields entry = entryFields(sector, i);
        if ((entry.first == 0) != (entry.count == 0)) return false;
    }
    return true;
}

std::int32_t bootSectorFileSystem(SectorView sector) {
    if (boot::hasName(sector, boot::kNtfsTypeOffset, "NTFS    ")) return kFileSystemNtfs;
    if (boot::hasName(sector, boot::kFat32TypeOffset, "FAT32   ")) return kFileSystemFat32;
    if (boot::hasName(sector, boot::kFat1216TypeOffset, "FAT16   ")) return kFileSystemFat16;
    if (boot::hasName(sector, boot::kFat1216TypeOffset, "FAT12   ")) return kFileSystemFat12;
    return kFileSystemNone;
}

std::uint64_t bootSectorVolumeSectors(SectorView sector) {
    const std::uint8_t* s = sector.data();
    if (bootSectorFileSystem(sector) == kFileSystemNtfs) {
        const std::uint64_t sectors = le64(s + kNtfsSectorsOffset);
        return sectors == 0 || sectors == ~std::uint64_t{0} ? 0 : sectors + 1;
    }
    // FAT: the 16-bit count, or the 32-bit one when that is 0. Sizes are in the volume's
    // own sectors; a volume of larger sectors spans that many 512-byte ones.
    const std::uint16_t bytesPerSector = le16(s + 11);
    const std::uint64_t sectors = le16(s + kFatSectors16Offset) != 0 ? le16(s + kFatSectors16Offset)
                                                                     : le32(s + kFatSectors32Offset);
    if (bytesPerSector < kPartitionSectorSize || bytesPerSector % kPartitionSectorSize != 0) return 0;
    return sectors * (bytesPerSector / kPartitionSectorSize);
}

LostPartitionScanner::LostPartitionScanner(SectorSource read, std::uint64_t totalSectors, std::size_t maxRegions)
    : read_(std::move(read)), totalSectors_(totalSectors), maxRegions_(maxRegions) {}

void LostPartitionScanner::markKnown(std::uint64_t firstSector) { knownStarts_.insert(firstSector); }

std::vector<LostRegion> LostPartitionScanner::examine(std::uint64_t lba, SectorView sector) {
    std::vector<LostRegion> out;
    if (lba >= totalSectors_ || !HasBootSignature(sector)) return out;
    // A boot sector is not also walked as a table: its boot code may look like entries.
    if (IsBootSector(sector)) {
        examineBootSector(lba, sector, out);
    } else if (IsPartitionTable(sector) && !tableBudgetSpent()) {
        examineTable(lba, out);
    }
    return out;
}

std::vector<LostRegion> LostPartitionScanner::finish() {
    std::vector<LostRegion> out;
    closeOpenRegion(totalSectors_, out);
    return out;
}

void LostPartitionScanner::examineBootSector(std::uint64_t lba, SectorView sector, std::vector<LostRegion>& out) {
    if (lastBoot_ && std::equal(sector.begin(), sector.end(), lastBoot_->begin())) return;
    lastBoot_.emplace();
    std::copy(sector.begin(), sector.end(), lastBoot_->begin());

    closeOpenRegion(lba, out);
    LostRegion region;
    region.firstSector = lba;
    region.fileSystemCode = bootSectorFileSystem(sector);
    const std::uint64_t rest = totalSectors_ - lba;
    const std::uint64_t announced = bootSectorVolumeSectors(sector);
    if (announced != 0) {
        region.sectorCount = std::min(announced, rest);
        report(region, out);
        return;
    }
    if (full() || knownStarts_.contains(lba)) return;
    // Held back until its end is known; its start is taken now so nothing repeats it.
    knownStarts_.insert(lba);
    ++reported_;
    region.sectorCount = rest;
    open_ = region;
}

void LostPartitionScanner::examineTable(std::uint64_t lba, std::vector<LostRegion>& out) {
    const SectorSource fromTable = [this, lba](std::uint64_t relative,
                                               std::span<std::uint8_t, kPartitionSectorSize> target) {
        if (tableBudgetSpent()) return false;
        ++tableReads_;
        return read_(lba + relative, target);
    };
    gptHeaders_.base = lba;
    const PartitionTable table = readPartitionTable(fromTable, totalSectors_ - lba, &gptHeaders_);
    for (const PartitionEntry& entry : table.partitions) {
        // An entry that does not fit before the disk's end is not a partition of it.
        if (entry.cutAtDiskEnd) continue;
        LostRegion region;
        region.firstSector = lba + entry.firstSector;
        region.sectorCount = entry.sectorCount;
        region.fileSystemCode = entry.mbrType != 0 ? entry.mbrType : kFileSystemNone;
        region.fromTable = true;
        report(region, out);
    }
}

void LostPartitionScanner::closeOpenRegion(std::uint64_t endSector, std::vector<LostRegion>& out) {
    if (!open_) return;
    if (endSector > open_->firstSector)
        open_->sectorCount = std::min(open_->sectorCount, endSector - open_->firstSector);
    out.push_back(*open_);
    open_.reset();
}

void LostPartitionScanner::report(const LostRegion& region, std::vector<LostRegion>& out) {
    if (full() || region.sectorCount == 0 || !knownStarts_.insert(region.firstSector).second) return;
    ++reported_;
    out.push_back(region);
}

}  // namespace engine::lost
