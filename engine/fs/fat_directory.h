#pragma once
// Every directory entry of a FAT volume that the reader can reach, live or deleted, in
// one flat table: the root first, then each directory breadth-first in table order. Each
// entry remembers the directory entry its block was loaded under, so parents and paths
// are index walks that always move towards the table start and cannot loop.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/fs/fat_entry.h"
#include "engine/fs/fat_geometry.h"
#include "engine/fs/fat_table.h"

class FatDirectoryTable {
public:
    static constexpr std::uint32_t kNoParent = 0xFFFFFFFF;
    // Reads `out.size()` bytes at a byte offset of the volume; false when it cannot.
    using ReadFunction = std::function<bool(std::uint64_t offset, std::span<std::uint8_t> out)>;

    void load(const FatGeometry& geometry, const FatTable& fat, const ReadFunction& read);

    std::size_t size() const { return entries_.size(); }
    const FatDirEntry& entry(std::size_t index) const { return entries_[index]; }
    // The directory entry whose block holds entry `index`; kNoParent in the root.
    std::uint32_t parent(std::size_t index) const { return parents_[index]; }
    // The directory entry that was loaded for a directory key, if any.
    std::optional<std::uint32_t> directoryByKey(std::uint32_t key) const;

    // Whether a live entry (not itself marked deleted) with this first cluster lies in the
    // folder `parentKey` (0: the root): a file of a deleted folder whose chain is intact.
    bool hasLiveEntry(std::uint32_t key, std::uint64_t parentKey) const;

    // Entries that are valid, not dot entries, and neither read-only, hidden, system, a
    // volume label nor a long-name part.
    std::size_t countFiles() const;
    // The entry or a directory above it is deleted.
    bool isDeletedOrInDeleted(std::size_t index) const;
    // Long name when one belongs to the entry, else its 8.3 name.
    std::u16string name(std::size_t index) const;
    // "\A\B\" for the folder that directory entry `index` names, its own name last; "\"
    // for kNoParent. A path that would pass kFatMaxNameLength units keeps its inner part.
    std::u16string folderPath(std::uint32_t index) const;

private:
    void loadRootRegion(const FatGeometry& geometry, const ReadFunction& read);
    void loadDirectory(std::uint32_t cluster, bool deleted, std::uint32_t parent, bool root);
    // Appends the block's leading run of valid entries.
    void append(std::span<const std::uint8_t> block, std::uint32_t parent);

    const FatGeometry* geometry_ = nullptr;
    const FatTable* fat_ = nullptr;
    const ReadFunction* read_ = nullptr;
    std::vector<FatDirEntry> entries_;
    std::vector<std::uint32_t> parents_;
    std::unordered_map<std::uint32_t, std::uint32_t> directoryByKey_;
    std::unordered_multimap<std::uint32_t, std::uint32_t> entriesByKey_;
    std::unordered_set<std::uint32_t> loadedClusters_;
};
