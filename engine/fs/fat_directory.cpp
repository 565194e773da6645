#include "engine/fs/fat_directory.h"

#include <algorithm>
#include <cstring>

namespace {

// Long names span at most 20 entries; a few more are tolerated for damaged runs.
constexpr std::size_t kMaxLongNameParts = 315;
constexpr std::size_t kEntriesPerSector = 512 / kFatEntrySize;

}  // namespace

void FatDirectoryTable::load(const FatGeometry& geometry, const FatTable& fat, const ReadFunction& read) {
    geometry_ = &geometry;
    fat_ = &fat;
    read_ = &read;
    entries_.clear();
    folderOf_.clear();
    folders_.clear();
    folderByKey_.clear();
    entriesByKey_.clear();
    loadedClusters_.clear();

    if (geometry.kind == FatKind::Fat32) {
        loadDirectory(geometry.rootCluster, false, kRoot, true);
    } else {
        loadRootRegion(geometry, read);
    }
    // The table grows while it is walked: directories load breadth-first, each after the
    // folder that holds it.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const FatDirEntry candidate = entries_[i];
        if (!candidate.isLoadableDirectory()) continue;
        const std::uint32_t key = candidate.key();
        if (folderByKey_.contains(key)) continue;
        const std::uint32_t parent = folderOf_[i];
        const bool inDeleted = candidate.isDeleted() || (parent != kRoot && folders_[parent].inDeleted);
        folders_.push_back({static_cast<std::uint32_t>(i), parent, inDeleted, name(i)});
        const auto folder = static_cast<std::uint32_t>(folders_.size() - 1);
        folderByKey_.emplace(key, folder);
        // Only the folder's own entry tells whether its chain is gone: a live folder
        // inside a deleted one is read along its whole chain.
        loadDirectory(key, candidate.isDeleted(), folder, false);
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
    // Unreadable sectors stay zero: their slots read as empty.
    read(geometry.rootOffset, region);
    // The whole region, unused slots and stale entries after them included.
    entries_.resize(geometry.rootEntryCount);
    std::memcpy(entries_.data(), region.data(), bytes);
    folderOf_.assign(geometry.rootEntryCount, kRoot);
}

void FatDirectoryTable::loadDirectory(std::uint32_t cluster, bool deleted, std::uint32_t folder, bool root) {
    if (!geometry_->isDataCluster(cluster)) return;
    // A deleted directory's chain is gone: only its first cluster is known to be its own.
    const std::vector<std::uint32_t> clusters =
        deleted ? std::vector<std::uint32_t>{cluster} : fat_->chain(cluster);
    std::vector<std::uint8_t> block(geometry_->bytesPerCluster);
    for (std::size_t k = 0; k < clusters.size(); ++k) {
        // A cluster belongs to one directory; cross-linked chains are loaded once.
        if (!loadedClusters_.insert(clusters[k]).second) return;
        const std::vector<bool> sectorsRead = (*read_)(geometry_->clusterOffset(clusters[k]), block);
        if (sectorsRead.empty()) return;
        if (sectorsRead[0]) {
            const auto* first = reinterpret_cast<const FatDirEntry*>(block.data());
            if (!first->isValid()) return;
            if (!root && k == 0 && !first->isDotEntry()) return;
        } else if (deleted) {
            // Without its dot entry nothing shows the cluster still holds this folder.
            return;
        }
        // A live folder's chain comes from the FAT: an unreadable start of a cluster
        // loses that sector's entries, not the rest of the folder.
        append(block, sectorsRead, folder);
    }
}

void FatDirectoryTable::append(std::span<const std::uint8_t> block, const std::vector<bool>& sectorsRead,
                               std::uint32_t folder) {
    const std::size_t capacity = std::min(block.size() / kFatEntrySize, sectorsRead.size() * kEntriesPerSector);
    for (std::size_t slot = 0; slot < capacity; ++slot) {
        if (!sectorsRead[slot / kEntriesPerSector]) continue;
        FatDirEntry candidate;
        std::memcpy(candidate.raw.data(), block.data() + slot * kFatEntrySize, kFatEntrySize);
        if (!candidate.isValid()) break;
        entries_.push_back(candidate);
        folderOf_.push_back(folder);
    }
}

std::uint32_t FatDirectoryTable::parentKey(std::size_t index) const {
    const std::uint32_t folder = folderOf_[index];
    return folder == kRoot ? 0 : entries_[folders_[folder].entry].key();
}

std::optional<std::uint32_t> FatDirectoryTable::folderByKey(std::uint32_t key) const {
    const auto found = folderByKey_.find(key);
    if (found == folderByKey_.end()) return std::nullopt;
    return found->second;
}

bool FatDirectoryTable::hasLiveEntry(std::uint32_t key, std::uint64_t parentKey) const {
    const auto [begin, end] = entriesByKey_.equal_range(key);
    for (auto it = begin; it != end; ++it) {
        if (!entries_[it->second].isDeleted() && this->parentKey(it->second) == parentKey) return true;
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
    const std::uint32_t folder = folderOf_[index];
    return entries_[index].isDeleted() || (folder != kRoot && folders_[folder].inDeleted);
}

std::u16string FatDirectoryTable::name(std::size_t index) const {
    std::vector<FatDirEntry> parts;
    for (std::size_t at = index; at > 0 && parts.size() < kMaxLongNameParts; --at) {
        const std::size_t before = at - 1;
        if (!entries_[before].isLongName() || folderOf_[before] != folderOf_[index]) break;
        parts.push_back(entries_[before]);
    }
    std::u16string longName = fatLongName(parts, entries_[index]);
    if (!longName.empty()) return longName;
    return fatShortName(entries_[index]);
}

void FatDirectoryTable::updateFolderPath(std::uint32_t folder, FolderPath& path) const {
    if (path.folder == folder) return;
    std::vector<std::uint32_t> inner;  // innermost first
    if (folder != kRoot && path.folder == folders_[folder].parent) {
        inner.push_back(folder);
    } else {
        path.named.clear();
        path.text = u"\\";
        for (std::uint32_t at = folder; at != kRoot; at = folders_[at].parent) {
            // Only what can fit is walked: at least two units per folder.
            if (2 * inner.size() + 3 > kFatMaxNameLength) break;
            inner.push_back(at);
        }
    }
    path.folder = folder;
    for (auto at = inner.rbegin(); at != inner.rend(); ++at) {
        path.named.push_back(*at);
        path.text += folders_[*at].name;
        path.text += u'\\';
    }
    // Room for the drive letter and colon in front; outer names give way to inner ones.
    std::size_t dropped = 0;
    while (path.text.size() - dropped + 2 > kFatMaxNameLength) {
        dropped += folders_[path.named.front()].name.size() + 1;
        path.named.pop_front();
    }
    if (dropped != 0) path.text = u"\\" + path.text.substr(1 + dropped);
}
