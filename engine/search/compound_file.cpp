#include "engine/search/compound_file.h"

#include <algorithm>
#include <array>
#include <exception>
#include <string_view>
#include <vector>

#include "engine/disk/drive.h"
#include "engine/exports.h"
#include "engine/log.h"
#include "engine/records.h"
#include "engine/search/little_endian.h"

namespace compound {
namespace {

constexpr std::array<std::uint8_t, 8> kMagic{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t kSectorShiftOffset = 30;
constexpr std::size_t kFatSectorCountOffset = 44;
constexpr std::size_t kFirstDirectorySectorOffset = 48;
constexpr std::size_t kHeaderBytes = 512;
constexpr std::uint16_t kMinSectorShift = 7;
constexpr std::uint16_t kMaxSectorShift = 16;
constexpr std::size_t kNameUnits = 32;
constexpr std::uint64_t kDriveSector = 512;

struct StreamRule {
    std::u16string_view name;
    bool prefix;
    std::uint16_t typeId;
};

// Tried in this order on every entry; the first rule that holds names the type.
constexpr StreamRule kStreamRules[] = {
    {u"Workbook", false, 11},
    {u"WordDocument", false, 12},
    {u"PowerPoint Document", false, 13},
    {u"Scene", false, 30},
    {u"Props", false, 16},
    {u"VisioDocument", false, 15},
    {u"Envelope", false, 18},
    {u"Symbol ", true, 33},
    {u"DocumentViewStyles", false, 27},
};

char16_t foldCase(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

// The entry's name: up to its terminator, at most 32 units.
std::u16string entryName(std::span<const std::uint8_t> entry) {
    std::u16string name;
    for (std::size_t i = 0; i < kNameUnits && 2 * i + 1 < entry.size(); ++i) {
        const auto unit = search::loadLittleEndian<std::uint16_t>(entry.data() + 2 * i);
        if (unit == 0) break;
        name.push_back(static_cast<char16_t>(unit));
    }
    return name;
}

bool sameText(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return foldCase(x) == foldCase(y); });
}

bool ruleHolds(const StreamRule& rule, std::u16string_view name) {
    if (rule.prefix) return name.size() >= rule.name.size() && sameText(name.substr(0, rule.name.size()), rule.name);
    return sameText(name, rule.name);
}

// Fills `out` from byte `position` of the drive through whole-sector reads (positions
// need not lie on a sector boundary); returns the bytes filled, fewer at the drive's end.
std::size_t readDriveBytes(CDrive& drive, std::uint64_t position, std::span<std::uint8_t> out) {
    const std::uint64_t first = position / kDriveSector;
    const std::uint64_t skip = position % kDriveSector;
    const std::uint64_t sectors = (skip + out.size() + kDriveSector - 1) / kDriveSector;
    std::vector<std::uint8_t> buffer(sectors * kDriveSector, 0);
    const std::uint64_t read = std::min<std::uint64_t>(drive.ReadSectors(first, sectors, buffer.data()), buffer.size());
    if (read <= skip) return 0;
    const std::size_t filled = static_cast<std::size_t>(std::min<std::uint64_t>(read - skip, out.size()));
    std::copy_n(buffer.begin() + static_cast<std::ptrdiff_t>(skip), filled, out.begin());
    return filled;
}

}  // namespace

std::optional<CompoundHeader> ParseHeader(std::span<const std::uint8_t> unit) {
    if (unit.size() < kHeaderBytes || !std::equal(kMagic.begin(), kMagic.end(), unit.begin())) return std::nullopt;
    const auto shift = search::loadLittleEndian<std::uint16_t>(unit.data() + kSectorShiftOffset);
    if (shift < kMinSectorShift || shift > kMaxSectorShift) return std::nullopt;
    CompoundHeader header;
    header.sectorSize = std::uint32_t{1} << shift;
    const std::uint64_t fatSectors = search::loadLittleEndian<std::uint32_t>(unit.data() + kFatSectorCountOffset);
    // Each FAT sector addresses S / 4 sectors of S bytes: at most 2^32 x 2^30, no overflow.
    header.addressableBytes = fatSectors * (header.sectorSize / 4) * header.sectorSize;
    const std::uint64_t directorySector = search::loadLittleEndian<std::uint32_t>(unit.data() + kFirstDirectorySectorOffset);
    // Sector n of the file starts after the header sector.
    header.directoryOffset = (directorySector + 1) * header.sectorSize;
    return header;
}

std::uint16_t ClassifyStorage(std::span<const std::uint8_t> directory) {
    try {
        const std::size_t entries = std::min(kDirectoryEntries, directory.size() / kDirectoryEntrySize);
        if (entries == 0 || !sameText(entryName(directory.first(kDirectoryEntrySize)), u"Root Entry")) {
            return kStorageTypeId;
        }
        for (std::size_t e = 0; e < entries; ++e) {
            const std::u16string name = entryName(directory.subspan(e * kDirectoryEntrySize, kDirectoryEntrySize));
            for (const StreamRule& rule : kStreamRules) {
                if (ruleHolds(rule, name)) return rule.typeId;
            }
        }
    } catch (const std::exception&) {
    }
    return kStorageTypeId;
}

std::uint16_t ExtractDocInfo(CDrive& drive, FoundFileRecord& record, std::span<const std::uint8_t> unit) {
    try {
        std::optional<CompoundHeader> header = ParseHeader(unit);
        if (!header) return kStorageTypeId;
        const std::uint64_t driveBytes = drive.GetDriveInfo()->TotalSectors * kDriveSector;
        const std::uint64_t room = driveBytes > record.DataPosition ? driveBytes - record.DataPosition : 0;
        record.Size = std::min(header->addressableBytes, room);

        const std::uint64_t directoryPosition = record.DataPosition + header->directoryOffset;
        if (directoryPosition < record.DataPosition || directoryPosition >= driveBytes) return 0;
        std::vector<std::uint8_t> directory(kDirectoryBytes, 0);
        const std::size_t filled = readDriveBytes(drive, directoryPosition, directory);
        if (filled < kDirectoryEntrySize) return 0;
        // A directory cut by the drive's end is classified over the entries that exist.
        return ClassifyStorage(std::span<const std::uint8_t>(directory).first(filled));
    } catch (const std::exception&) {
        Log(kLogWarning, "CSearcher.ExtractDocInfo.except");
        return kStorageTypeId;
    }
}

}  // namespace compound
