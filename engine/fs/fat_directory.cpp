#include "engine/fs/fat_directory.h"

#include <algorithm>
#include <cstring>

namespace {

// Long names span at most 20 entries; a few more are tolerated for damaged runs.
constexpr std::size_t kMaxLongNameParts = 315;

}  // namespace

void FatDirectoryTable::load(const FatGeometry& geometry, const FatTable& fat, const ReadFunction& read) {
    geometry_ = &geometry;
    fat_ = &fat;
    read_ = &read;
    entries_.clear();
    parents_.clear();
    directoryByKey_.clear();
    entriesByKey_.clear();
    loadedClusters_.clear();

    if (geometry.kind == FatKind::Fat32) {
        loadDirectory(geometry.rootCluster, false, kNoParent, true);
    } else {
        loadRootRegion(geometry, read);
    }
    // The table grows while it is walked: directories load breadth-first.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const FatDirEntry& candidate = entries_[i];
        if (!candidate.isLoadableDirectory()) continue;
        const std::uint32_t key = candidate.key();
        if (directoryByKey_.contains(key)) continue;
        directoryByKey_.emplace(key, static_cast<std::uint32_t>(i));
        loadDirectory(key, isDeletedOrInDeleted(i), static_cast<std::uint32_t>(i), false);
    }
    entriesByKey_.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].isValid() && !entries_[i].isLongName()) {
            entriesByKey_.emplace(entries_[i].key(), static_cast<std::uint32_t>(i));
        }
    }
    geometry_ = nullptr;
    fat_ = nullptr;
    read_ = nullptr;
}

void FatDirectoryTable::loadRootRegion(const FatGeometry& geometry, const ReadFunction& read) {
    const std::uint64_t bytes = std::uint64_t{geometry.rootEntryCount} * kFatEntrySize;
    const std::uint64_t rounded = (bytes + geometry.bytesPerSector - 1) / geometry.bytesPerSector *
                                  geometry.bytesPerSector;
    std::vector<std::uint8_t> region(rounded, 0);
    if (!read(geometry.rootOffset, region)) return;
    // The whole region, unused slots and stale entries after them included.
    entries_.resize(geometry.rootEntryCount);
    std::memcpy(entries_.data(), region.data(), bytes);
    parents_.assign(geometry.rootEntryCount, kNoParent);
}

void FatDirectoryTable::loadDirectory(std::uint32_t cluster, bool deleted, std::uint32_t parent, bool root) {
    if (!geometry_->isDataCluster(cluster)) return;
    // A deleted directory's chain is gone: only its first cluster is known to be its own.
    const std::vector<std::uint32_t> clusters =
        deleted ? std::vector<std::uint32_t>{cluster} : fat_->chain(cluster);
    std::vector<std::uint8_t> block(geometry_->bytesPerCluster);
    for (std::size_t k = 0; k < clusters.size(); ++k) {
        // A cluster belongs to one directory; cross-linked chains are loaded once.
        if (!loadedClusters_.insert(clusters[k]).second) return;
        std::fill(block.begin(), block.end(), std::uint8_t{0});
        if (!(*read_)(geometry_->clusterOffset(clusters[k]), block)) return;
        const auto* first = reinterpret_cast<const FatDirEntry*>(block.data());
        if (!first->isValid()) return;
        if (!root && k == 0 && !first->isDotEntry()) return;
        append(block, parent);
    }
}

void FatDirectoryTable::append(std::span<const std::uint8_t> block, std::uint32_t parent) {
    const std::size_t capacity = block.size() / kFatEntrySize;
    std::size_t count = 0;
    while (count < capacity) {
        FatDirEntry candidate;
        std::memcpy(candidate.raw.data(), block.data() + count * kFatEntrySize, kFatEntrySize);
        if (!candidate.isValid()) break;
        entries_.push_back(candidate);
        parents_.push_back(parent);
        ++count;
    }
}

std::optional<std::uint32_t> FatDirectoryTable::directoryByKey(std::uint32_t key) const {
    const auto found = directoryByKey_.find(key);
    if (found == directoryByKey_.end()) return std::nullopt;
    return found->second;
}

bool FatDirectoryTable::hasLiveEntry(std::uint32_t key, std::uint64_t parentKey) const {
    const auto [begin, end] = entriesByKey_.equal_range(key);
    for (auto it = begin; it != end; ++it) {
        const std::uint32_t parent = parents_[it->second];
        const std::uint64_t itsParentKey = parent == kNoParent ? 0 : entries_[parent].key();
        if (!entries_[it->second].isDeleted() && itsParentKey == parentKey) return true;
    }
    return false;
}

std::size_t FatDirectoryTable::countFiles() const {
    constexpr std::uint8_t kNotCounted = kFatAttrReadOnly | kFatAttrHidden | kFatAttrSystem | kFatAttrVolumeLabel;
    return static_cast<std::size_t>(std::count_if(entries_.begin(), entries_.end(), [](const FatDirEntry& e) {
        return e.isValid() && !e.isDotEntry() && (e.attributes() & kNotCounted) == 0;
    }));
}

bool FatDirectoryTable::isDeletedOrInDeleted(std::size_t index) const {
    for (std::uint32_t at = static_cast<std::uint32_t>(index); at != kNoParent; at = parents_[at]) {
        if (entries_[at].isDeleted()) return true;
    }
    return false;
}

std::u16string FatDirectoryTable::name(std::size_t index) const {
    std::vector<FatDirEntry> parts;
    for (std::size_t at = index; at > 0 && parts.size() < kMaxLongNameParts; --at) {
        const std::size_t before = at - 1;
        if (!entries_[before].isLongName() || parents_[before] != parents_[index]) break;
        parts.push_back(entries_[before]);
    }
    std::u16string longName = fatLongName(parts, entries_[index]);
    if (!longName.empty()) return longName;
    return fatShortName(entries_[index]);
}

std::u16string FatDirectoryTable::folderPath(std::uint32_t index) const {
    std::vector<std::u16string> names;
    // Room is left for the drive letter and colon in front.
    std::size_t length = 3;
    for (std::uint32_t at = index; at != kNoParent; at = parents_[at]) {
        std::u16string part = name(at);
        if (length + part.size() + 1 > kFatMaxNameLength) break;
        length += part.size() + 1;
        names.push_back(std::move(part));
    }
    std::u16string path = u"\\";
    for (auto part = names.rbegin(); part != names.rend(); ++part) {
        path += *part;
        path += u'\\';
    }
    return path;
}
