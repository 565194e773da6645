#include "engine/fs/volume_label.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "engine/byte_order.h"
#include "engine/disk/boot_sector.h"
#include "engine/fs/fat_entry.h"
#include "engine/fs/fat_geometry.h"
#include "engine/fs/ntfs_boot.h"
#include "engine/fs/ntfs_record.h"
#include "engine/records.h"
#include "platform/text.h"

namespace engine {
namespace {

constexpr std::uint64_t kSector = 512;
// A FAT folder holds at most 65536 entries.
constexpr std::uint64_t kMaxFolderBytes = 65536 * kFatEntrySize;
// Root-region reads stop early at the end marker, so they go a piece at a time.
constexpr std::size_t kRootPieceBytes = 16 * 1024;
constexpr std::uint64_t kVolumeRecord = 3;
constexpr std::uint32_t kAttrVolumeName = 0x60;
constexpr std::uint32_t kAttrVolumeInformation = 0x70;
constexpr std::uint32_t kFat32EntryMask = 0x0FFFFFFF;

std::string trimmedRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// FAT stores labels in its 8-bit code page; they are shown byte for byte, as names are.
std::string fromFatBytes(const std::uint8_t* bytes, std::size_t length) {
    std::u16string text;
    for (std::size_t i = 0; i < length && bytes[i] != 0; ++i) text.push_back(bytes[i]);
    if (!text.empty() && text[0] == kFatKanjiMark) text[0] = kFatDeletedMark;
    return trimmedRight(platform::toUtf8(text));
}

bool inside(std::uint64_t offset, std::uint64_t bytes, std::uint64_t volumeBytes) {
    return volumeBytes == 0 || (offset <= volumeBytes && bytes <= volumeBytes - offset);
}

enum class Scan { Found, End, More };

// Looks through one block of folder entries for the volume label.
Scan findLabelEntry(std::span<const std::uint8_t> block, std::string& label) {
    for (std::size_t at = 0; at + kFatEntrySize <= block.size(); at += kFatEntrySize) {
        const std::uint8_t* entry = block.data() + at;
        const std::uint8_t attributes = entry[11];
        if (entry[0] == 0) return Scan::End;
        if (entry[0] == kFatDeletedMark || attributes == kFatAttrLongName) continue;
        if ((attributes & (kFatAttrVolumeLabel | kFatAttrDirectory)) == kFatAttrVolumeLabel) {
            label = fromFatBytes(entry, boot::kLabelLength);
            return Scan::Found;
        }
    }
    return Scan::More;
}

std::optional<std::string> rootRegionLabel(const FatGeometry& geometry, std::uint64_t volumeBytes,
                                           const VolumeReader& read) {
    const std::uint64_t bytes = std::uint64_t{geometry.rootEntryCount} * kFatEntrySize;
    std::vector<std::uint8_t> piece(kRootPieceBytes);
    for (std::uint64_t done = 0; done < bytes; done += piece.size()) {
        const std::uint64_t wanted = std::min<std::uint64_t>(piece.size(), bytes - done);
        const std::span<std::uint8_t> target(piece.data(), (wanted + kSector - 1) / kSector * kSector);
        if (!inside(geometry.rootOffset + done, target.size(), volumeBytes) ||
            !read(geometry.rootOffset + done, target))
            return std::nullopt;
        std::string label;
        const Scan scan = findLabelEntry(target.first(wanted), label);
        if (scan == Scan::Found) return label;
        if (scan == Scan::End) break;
    }
    return std::nullopt;
}

// FAT32's root folder is a cluster chain; its links are read one FAT sector at a time.
std::optional<std::string> rootChainLabel(const FatGeometry& geometry, std::uint64_t volumeBytes,
                                          const VolumeReader& read) {
    std::vector<std::uint8_t> cluster(geometry.bytesPerCluster);
    std::vector<std::uint8_t> fatSector(kSector);
    std::optional<std::uint64_t> fatSectorOffset;
    std::uint32_t current = geometry.rootCluster;
    for (std::uint64_t done = 0; done < kMaxFolderBytes && geometry.isDataCluster(current);
         done += cluster.size()) {
        const std::uint64_t offset = geometry.clusterOffset(current);
        if (!inside(offset, cluster.size(), volumeBytes) || !read(offset, cluster)) return std::nullopt;
        std::string label;
        const Scan scan = findLabelEntry(cluster, label);
        if (scan == Scan::Found) return label;
        if (scan == Scan::End) break;

        const std::uint64_t link = geometry.fatOffset + std::uint64_t{current} * 4;
        const std::uint64_t sector = link / kSector * kSector;
        if (fatSectorOffset != sector) {
            if (!inside(sector, kSector, volumeBytes) || !read(sector, fatSector)) return std::nullopt;
            fatSectorOffset = sector;
        }
        current = loadLittleEndian<std::uint32_t>(fatSector.data() + (link - sector)) & kFat32EntryMask;
    }
    return std::nullopt;
}

// $Volume's name, when the record at `offset` is $Volume; nothing when it is not.
std::optional<std::string> volumeRecordName(std::uint64_t offset, std::uint32_t recordSize,
                                            std::uint64_t volumeBytes, const VolumeReader& read) {
    std::vector<std::uint8_t> record(recordSize);
    if (!inside(offset, record.size(), volumeBytes) || !read(offset, record)) return std::nullopt;
    if (!ntfs::isFileRecord(record) || !ntfs::applyFixups(record) || !ntfs::isInUse(record)) return std::nullopt;
    std::optional<std::u16string> name;
    bool volumeInformation = false;
    ntfs::AttributeWalk walk(record);
    while (const auto attribute = walk.next()) {
        if (attribute->type == kAttrVolumeInformation) volumeInformation = true;
        if (attribute->type != kAttrVolumeName || name) continue;
        const auto value = attribute->residentValue();
        if (!value) continue;
        name.emplace();
        for (std::size_t at = 0; at + 1 < value->size(); at += 2)
            name->push_back(static_cast<char16_t>(loadLittleEndian<std::uint16_t>(value->data() + at)));
    }
    if (!volumeInformation) return std::nullopt;
    return name ? platform::toUtf8(*name) : std::string();
}

}  // namespace

std::string fatVolumeLabel(std::span<const std::uint8_t> bootSector, std::int32_t fileSystemCode,
                           std::uint64_t volumeBytes, const VolumeReader& read) {
    if (bootSector.size() < kSector) return {};
    const bool fat32 = fileSystemCode == kFileSystemFat32;
    const FatGeometryResult parsed = parseFatGeometry(bootSector, fileSystemCode, volumeBytes);
    if (parsed.geometry) {
        const auto fromRoot = fat32 ? rootChainLabel(*parsed.geometry, volumeBytes, read)
                                    : rootRegionLabel(*parsed.geometry, volumeBytes, read);
        if (fromRoot) return *fromRoot;
    }
    const std::string_view field =
        boot::labelField(bootSector, fat32 ? boot::kFat32LabelOffset : boot::kFat1216LabelOffset);
    return fromFatBytes(reinterpret_cast<const std::uint8_t*>(field.data()), field.size());
}

std::string ntfsVolumeName(std::span<const std::uint8_t> bootSector, std::uint64_t volumeBytes,
                           const VolumeReader& read) {
    ntfs::Geometry geometry;
    std::string error;
    if (!ntfs::parseBootSector(bootSector, geometry, error)) return {};
    // Records 0..3 sit at the start of $MFT, and again in $MFTMirr.
    for (const std::uint64_t cluster : {geometry.mftCluster, geometry.mftMirrorCluster}) {
        std::uint64_t offset = 0;
        if (__builtin_mul_overflow(cluster, geometry.bytesPerCluster, &offset) ||
            __builtin_add_overflow(offset, kVolumeRecord * geometry.recordSize, &offset))
            continue;
        if (auto name = volumeRecordName(offset, geometry.recordSize, volumeBytes, read)) return *name;
    }
    return {};
}

std::string volumeLabelOf(std::span<const std::uint8_t> bootSector, std::int32_t fileSystemCode,
                          std::uint64_t volumeBytes, const VolumeReader& read) {
    switch (fileSystemCode) {
        case kFileSystemFat12:
        case kFileSystemFat16:
        case kFileSystemFat32:
            return fatVolumeLabel(bootSector, fileSystemCode, volumeBytes, read);
        case kFileSystemNtfs:
            return ntfsVolumeName(bootSector, volumeBytes, read);
        default:
            return {};
    }
}

}  // namespace engine
