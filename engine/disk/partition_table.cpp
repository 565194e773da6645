#include "engine/disk/partition_table.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>

namespace engine {
namespace {

using Sector = std::array<std::uint8_t, kPartitionSectorSize>;

constexpr std::size_t kMbrEntriesOffset = 446;
constexpr std::size_t kMbrEntrySize = 16;
constexpr std::uint8_t kProtectiveMbrType = 0xEE;
constexpr std::uint64_t kGptHeaderMinSize = 92;
constexpr std::uint32_t kGptEntryMinSize = 128;
constexpr std::uint32_t kGptEntryMaxSize = 4096;

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint64_t le64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(le32(p)) | (static_cast<std::uint64_t>(le32(p + 4)) << 32);
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

bool isPowerOfTwo(std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

bool hasBootSignature(const Sector& sector) { return sector[510] == 0x55 && sector[511] == 0xAA; }

std::optional<Sector> readSector(const SectorSource& read, std::uint64_t lba, std::uint64_t totalSectors) {
    if (lba >= totalSectors) return std::nullopt;
    Sector sector{};
    if (!read(lba, std::span<std::uint8_t, kPartitionSectorSize>(sector))) return std::nullopt;
    return sector;
}

// Keeps an extent that starts inside [low, high); cuts one that runs past `high`.
std::optional<PartitionEntry> boundedEntry(std::uint64_t first, std::uint64_t count, std::uint64_t low,
                                           std::uint64_t high) {
    if (count == 0 || first < low || first >= high) return std::nullopt;
    PartitionEntry entry;
    entry.firstSector = first;
    entry.sectorCount = count;
    if (count > high - first) {
        entry.sectorCount = high - first;
        entry.cutAtDiskEnd = true;
    }
    return entry;
}

struct MbrSlot {
    std::uint8_t bootFlag;
    std::uint8_t type;
    std::uint32_t first;
    std::uint32_t count;
};

MbrSlot mbrSlot(const Sector& sector, int index) {
    const std::uint8_t* p = sector.data() + kMbrEntriesOffset + static_cast<std::size_t>(index) * kMbrEntrySize;
    return {p[0], p[4], le32(p + 8), le32(p + 12)};
}

// Logical partitions of one extended container, following the chain of extended boot
// records; each record is visited once and the chain stays inside the container.
void readLogicalChain(const SectorSource& read, std::uint64_t totalSectors, std::uint64_t extendedStart,
                      std::uint64_t extendedEnd, std::set<std::uint64_t>& visited,
                      std::vector<PartitionEntry>& out) {
    std::uint64_t record = extendedStart;
    std::uint32_t logicalCount = 0;
    for (const auto& entry : out)
        if (entry.logical) ++logicalCount;
    while (logicalCount < kMaxLogicalPartitions && visited.insert(record).second) {
        std::optional<Sector> sector = readSector(read, record, totalSectors);
        if (!sector || !hasBootSignature(*sector)) return;
        const MbrSlot data = mbrSlot(*sector, 0);
        if (data.type != 0 && !isExtendedPartitionType(data.type)) {
            if (auto entry = boundedEntry(record + data.first, data.count, record + 1, extendedEnd)) {
                entry->mbrType = data.type;
                entry->logical = true;
                entry->number = 5 + logicalCount++;
                out.push_back(*entry);
            }
        }
        const MbrSlot link = mbrSlot(*sector, 1);
        if (!isExtendedPartitionType(link.type) || link.count == 0) return;
        const std::uint64_t next = extendedStart + link.first;
        if (next <= extendedStart || next >= extendedEnd) return;
        record = next;
    }
}

PartitionTable readMbr(const SectorSource& read, const Sector& mbr, std::uint64_t totalSectors) {
    PartitionTable table;
    table.scheme = PartitionScheme::Mbr;
    std::set<std::uint64_t> visited{0};
    std::vector<PartitionEntry> logical;
    for (int slot = 0; slot < 4; ++slot) {
        const MbrSlot s = mbrSlot(mbr, slot);
        if (s.type == 0 || s.type == kProtectiveMbrType) continue;
        auto entry = boundedEntry(s.first, s.count, 1, totalSectors);
        if (!entry) continue;
        if (isExtendedPartitionType(s.type)) {
            readLogicalChain(read, totalSectors, entry->firstSector, entry->firstSector + entry->sectorCount,
                             visited, logical);
            continue;
        }
        entry->mbrType = s.type;
        entry->number = static_cast<std::uint32_t>(slot + 1);
        table.partitions.push_back(*entry);
    }
    table.partitions.insert(table.partitions.end(), logical.begin(), logical.end());
    return table;
}

bool validMbrSlots(const Sector& mbr) {
    for (int slot = 0; slot < 4; ++slot) {
        const std::uint8_t flag = mbrSlot(mbr, slot).bootFlag;
        if (flag != 0 && flag != 0x80) return false;
    }
    return true;
}

bool hasProtectiveEntry(const Sector& mbr) {
    for (int slot = 0; slot < 4; ++slot)
        if (mbrSlot(mbr, slot).type == kProtectiveMbrType) return true;
    return false;
}

// The header's own figures fit the disk: it names its own position, its usable range lies
// inside the disk, and its entry array lies inside the disk outside that range.
bool gptHeaderFits(const Sector& header, std::uint64_t headerLba, std::uint64_t totalSectors,
                   std::uint64_t entriesLba, std::uint64_t arraySectors) {
    const std::uint64_t ownLba = le64(header.data() + 24);
    const std::uint64_t alternateLba = le64(header.data() + 32);
    const std::uint64_t firstUsable = le64(header.data() + 40);
    const std::uint64_t lastUsable = le64(header.data() + 48);
    if (ownLba != headerLba || alternateLba >= totalSectors) return false;
    if (firstUsable > lastUsable || lastUsable >= totalSectors) return false;
    if (entriesLba == 0 || entriesLba >= totalSectors || arraySectors > totalSectors - entriesLba) return false;
    return entriesLba + arraySectors <= firstUsable || entriesLba > lastUsable;
}

// One GPT header and its entry array, both checked against their CRCs.
std::optional<PartitionTable> readGptAt(const SectorSource& read, std::uint64_t headerLba,
                                        std::uint64_t totalSectors, GptHeaderMemo* memo) {
    if (memo && !memo->examined.insert(memo->base + headerLba).second) return std::nullopt;
    std::optional<Sector> header = readSector(read, headerLba, totalSectors);
    if (!header || std::memcmp(header->data(), "EFI PART", 8) != 0) return std::nullopt;
    const std::uint32_t headerSize = le32(header->data() + 12);
    if (headerSize < kGptHeaderMinSize || headerSize > kPartitionSectorSize) return std::nullopt;
    const std::uint32_t headerCrc = le32(header->data() + 16);
    Sector zeroed = *header;
    std::memset(zeroed.data() + 16, 0, 4);
    if (crc32(zeroed.data(), headerSize) != headerCrc) return std::nullopt;

    const std::uint64_t entriesLba = le64(header->data() + 72);
    const std::uint32_t entryCount = le32(header->data() + 80);
    const std::uint32_t entrySize = le32(header->data() + 84);
    const std::uint32_t entriesCrc = le32(header->data() + 88);
    if (entryCount > kMaxGptEntries || entrySize < kGptEntryMinSize || entrySize > kGptEntryMaxSize ||
        entrySize % 8 != 0)
        return std::nullopt;
    const std::uint64_t arrayBytes = static_cast<std::uint64_t>(entryCount) * entrySize;
    const std::uint64_t arraySectors = (arrayBytes + kPartitionSectorSize - 1) / kPartitionSectorSize;
    if (!gptHeaderFits(*header, headerLba, totalSectors, entriesLba, arraySectors)) return std::nullopt;

    std::vector<std::uint8_t> entries(arraySectors * kPartitionSectorSize);
    for (std::uint64_t i = 0; i < arraySectors; ++i) {
        std::span<std::uint8_t, kPartitionSectorSize> target(entries.data() + i * kPartitionSectorSize,
                                                             kPartitionSectorSize);
        if (!read(entriesLba + i, target)) return std::nullopt;
    }
    if (crc32(entries.data(), arrayBytes) != entriesCrc) return std::nullopt;

    PartitionTable table;
    table.scheme = PartitionScheme::Gpt;
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        const std::uint8_t* p = entries.data() + static_cast<std::size_t>(i) * entrySize;
        Guid type;
        std::memcpy(type.data(), p, type.size());
        if (type == Guid{}) continue;
        const std::uint64_t first = le64(p + 32);
        const std::uint64_t last = le64(p + 40);
        if (last < first) continue;
        const std::uint64_t count = last - first == ~std::uint64_t{0} ? last : last - first + 1;
        auto entry = boundedEntry(first, count, 1, totalSectors);
        if (!entry) continue;
        entry->gptType = type;
        entry->number = i + 1;
        table.partitions.push_back(*entry);
    }
    return table;
}

std::optional<PartitionTable> readGpt(const SectorSource& read, std::uint64_t totalSectors, GptHeaderMemo* memo) {
    if (auto primary = readGptAt(read, 1, totalSectors, memo)) return primary;
    if (totalSectors < 2) return std::nullopt;
    return readGptAt(read, totalSectors - 1, totalSectors, memo);
}

}  // namespace

bool isExtendedPartitionType(std::uint8_t type) { return type == 0x05 || type == 0x0F || type == 0x85; }

bool looksLikeVolumeBootSector(std::span<const std::uint8_t, kPartitionSectorSize> sector) {
    const std::uint8_t* s = sector.data();
    if (std::memcmp(s + 3, "NTFS    ", 8) == 0 || std::memcmp(s + 3, "EXFAT   ", 8) == 0) return true;
    const bool jump = s[0] == 0xE9 || (s[0] == 0xEB && s[2] == 0x90);
    const std::uint16_t bytesPerSector = le16(s + 11);
    const bool bpb = jump && bytesPerSector >= 512 && bytesPerSector <= 4096 && isPowerOfTwo(bytesPerSector) &&
                     isPowerOfTwo(s[13]) && le16(s + 14) != 0 && (s[16] == 1 || s[16] == 2);
    const bool fatName = std::memcmp(s + 54, "FAT", 3) == 0 || std::memcmp(s + 82, "FAT", 3) == 0;
    return bpb && (fatName || s[21] >= 0xF0);
}

PartitionTable readPartitionTable(const SectorSource& read, std::uint64_t totalSectors, GptHeaderMemo* memo) {
    std::optional<Sector> mbr = readSector(read, 0, totalSectors);
    if (!mbr || !hasBootSignature(*mbr) || looksLikeVolumeBootSector(*mbr) || !validMbrSlots(*mbr)) return {};
    if (hasProtectiveEntry(*mbr)) {
        if (auto gpt = readGpt(read, totalSectors, memo)) return *gpt;
    }
    return readMbr(read, *mbr, totalSectors);
}

}  // namespace engine
