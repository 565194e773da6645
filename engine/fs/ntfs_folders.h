#pragma once
// Folder paths of an NTFS volume, resolved once per folder: every folder a path passes
// through is read once and kept as its name below its parent's entry, so that listing a
// volume reads no folder twice however deep its tree, and a file's path costs a walk
// over folders held in memory. What is kept grows with the folders met, never with the
// files.
//
// A chain that reaches the root directory gives "C:\A\B\". One that breaks gives
// "lost_folder_N\A\B\", N the record where it broke: a record that cannot be read, is
// not a folder or has no name, a loop back into the chain, or a path that would grow
// past the path buffer (the folder that does not fit then starts a lost folder named
// after its parent).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace ntfs {

// What a folder's record says: its name and the folder it lies in.
struct FolderRecord {
    std::u16string name;
    std::uint64_t parent = 0;
};

class FolderPaths {
public:
    // Characters of a path, its terminator excluded.
    static constexpr std::size_t kMaxPath = 4095;

    // Reads record `number` as a folder: nothing when it cannot be read, is not a
    // directory or has no name.
    using Reader = std::function<std::optional<FolderRecord>(std::uint64_t number)>;

    // `root` starts the paths that reach the root directory ("C:\").
    FolderPaths(std::u16string root, Reader read);

    // The path of what lies in folder `number`, ending in a backslash.
    const std::u16string& Inside(std::uint64_t number);
    // The path of folder `number` itself, whose record says `record`: its parent's path,
    // or where the chain broke when the folder lies on a loop.
    const std::u16string& Leading(std::uint64_t number, const FolderRecord& record);

private:
    enum class Kind : std::uint8_t { Root, Lost, Folder };
    // Where a path starts: the root, a lost folder N, or below the kept folder N.
    struct Prefix {
        Kind kind = Kind::Root;
        std::uint64_t number = 0;
        bool operator==(const Prefix&) const = default;
    };
    struct Folder {
        Prefix prefix;
        std::u16string name;
        std::size_t length;  // of the path of what lies in it
    };

    Prefix Resolve(std::uint64_t number, const FolderRecord* known);
    std::size_t LengthOf(const Prefix& prefix) const;
    const std::u16string& Build(const Prefix& prefix);

    std::u16string root_;
    Reader read_;
    std::unordered_map<std::uint64_t, Folder> folders_;
    std::unordered_set<std::uint64_t> broken_;
    // The last path built: the files of one folder come one after another.
    std::optional<Prefix> lastPrefix_;
    std::u16string lastPath_;
};

}  // namespace ntfs
