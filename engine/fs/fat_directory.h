#pragma once
// Every directory entry of a FAT volume that the reader can reach, live or deleted, in
// one flat table: the root first, then each directory breadth-first in table order. Each
// entry remembers the folder its block was loaded under; each folder keeps, worked out once
// when it is loaded, its name, its parent folder and whether it lies in a deleted branch,
// so that a flag or a path costs no walk to the root per entry.

#include <cstdint>
#include <deque>
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
    static constexpr std::uint32_t kRoot = 0xFFFFFFFF;
    // Reads `out.size()` bytes (whole 512-byte sectors) at a byte offset of the volume.
    // One flag per sector: true when it was read; an unreadable sector is left zero.
    using ReadFunction = std::function<std::vector<bool>(std::uint64_t offset, std::span<std::uint8_t> out)>;

    void load(const FatGeometry& geometry, const FatTable& fat, const ReadFunction& read);

    std::size_t size() const { return entries_.size(); }
    const FatDirEntry& entry(std::size_t index) const { return entries_[index]; }
    // The key of the directory entry whose block holds entry `index`; 0 in the root.
    std::uint32_t parentKey(std::size_t index) const;
    // The folder that was loaded for a directory key, if any.
    std::optional<std::uint32_t> folderByKey(std::uint32_t key) const;

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
    // A folder's path, "\A\B\" with its own name last ("\" for kRoot), and the folders
    // it names, outermost first. A path that would pass kFatMaxNameLength units (with the
    // drive letter and colon in front) keeps its inner part.
    struct FolderPath {
        std::uint32_t folder = kRoot;
        std::deque<std::uint32_t> named;
        std::u16string text = u"\\";
    };
    // Turns `path` into the path of `folder`; a path of the folder's parent is extended
    // rather than built again, so folders listed one inside the other cost their own name.
    void updateFolderPath(std::uint32_t folder, FolderPath& path) const;

private:
    struct Folder {
        std::uint32_t entry;   // its directory entry
        std::uint32_t parent;  // folder, or kRoot
        bool inDeleted;        // its entry or one above is deleted
        std::u16string name;
    };

    void loadRootRegion(const FatGeometry& geometry, const ReadFunction& read);
    void loadDirectory(std::uint32_t cluster, bool deleted, std::uint32_t folder, bool root);
    // Appends the block's leading run of valid entries; unreadable sectors are passed over.
    void append(std::span<const std::uint8_t> block, const std::vector<bool>& sectorsRead, std::uint32_t folder);

    const FatGeometry* geometry_ = nullptr;
    const FatTable* fat_ = nullptr;
    const ReadFunction* read_ = nullptr;
    std::vector<FatDirEntry> entries_;
    std::vector<std::uint32_t> folderOf_;  // per entry: the folder that holds it, or kRoot
    std::vector<Folder> folders_;
    std::unordered_map<std::uint32_t, std::uint32_t> folderByKey_;
    std::unordered_multimap<std::uint32_t, std::uint32_t> entriesByKey_;
    std::unordered_set<std::uint32_t> loadedClusters_;
};
