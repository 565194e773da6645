#include "engine/fs/ntfs_folders.h"

#include <vector>

#include "engine/fs/ntfs_layout.h"

namespace ntfs {

namespace {

std::u16string lostFolder(std::uint64_t number) {
    std::string digits = std::to_string(number);
    return u"lost_folder_" + std::u16string(digits.begin(), digits.end()) + u"\\";
}

}  // namespace

FolderPaths::FolderPaths(std::u16string root, Reader read)
    : root_(std::move(root)), read_(std::move(read)) {}

const std::u16string& FolderPaths::Inside(std::uint64_t number) {
    return Build(Resolve(number, nullptr));
}

const std::u16string& FolderPaths::Leading(std::uint64_t number, const FolderRecord& record) {
    Prefix self = Resolve(number, &record);
    if (self.kind == Kind::Folder && self.number == number) {
        return Build(folders_.at(number).prefix);
    }
    return Inside(record.parent);
}

FolderPaths::Prefix FolderPaths::Resolve(std::uint64_t number, const FolderRecord* known) {
    // Walk up to a folder already kept (or the root, or a break), reading each new one
    // once, then keep the new ones from the outermost down.
    std::vector<std::pair<std::uint64_t, FolderRecord>> chain;  // innermost first
    std::unordered_set<std::uint64_t> onChain;
    std::uint64_t current = number;
    Prefix base;
    while (true) {
        if (current == kRootDirectory) {
            base = {Kind::Root, 0};
            break;
        }
        if (folders_.count(current)) {
            base = {Kind::Folder, current};
            break;
        }
        if (broken_.count(current) || onChain.count(current)) {
            base = {Kind::Lost, current};
            break;
        }
        std::optional<FolderRecord> record =
            chain.empty() && known ? std::optional<FolderRecord>(*known) : read_(current);
        if (!record) {
            broken_.insert(current);
            base = {Kind::Lost, current};
            break;
        }
        onChain.insert(current);
        const std::uint64_t parent = record->parent;
        chain.emplace_back(current, std::move(*record));
        current = parent;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        FolderRecord& record = it->second;
        if (LengthOf(base) + record.name.size() + 1 > kMaxPath) base = {Kind::Lost, record.parent};
        std::size_t length = LengthOf(base) + record.name.size() + 1;
        folders_[it->first] = Folder{base, std::move(record.name), length};
        base = {Kind::Folder, it->first};
    }
    return base;
}

std::size_t FolderPaths::LengthOf(const Prefix& prefix) const {
    switch (prefix.kind) {
        case Kind::Root: return root_.size();
        case Kind::Lost: return lostFolder(prefix.number).size();
        case Kind::Folder: return folders_.at(prefix.number).length;
    }
    return 0;
}

const std::u16string& FolderPaths::Build(const Prefix& prefix) {
    if (lastPrefix_ == prefix) return lastPath_;
    std::vector<const std::u16string*> names;  // innermost first
    Prefix at = prefix;
    while (at.kind == Kind::Folder) {
        const Folder& folder = folders_.at(at.number);
        names.push_back(&folder.name);
        at = folder.prefix;
    }
    lastPath_ = at.kind == Kind::Root ? root_ : lostFolder(at.number);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        lastPath_ += **it;
        lastPath_ += u'\\';
    }
    lastPrefix_ = prefix;
    return lastPath_;
}

}  // namespace ntfs
