// Folder paths from the file-name parents. A chain that reaches the root gives
// "C:\A\B\"; one that breaks (an unreadable, damaged, nameless or non-folder parent, or a
// loop) gives "lost_folder_N\A\B\" with N the record where it broke.

#include <set>
#include <string>
#include <vector>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/fs/ntfs.h"
#include "engine/fs/ntfs_record.h"

using namespace ntfs;

namespace {

constexpr std::size_t kPathCapacity = 4096;  // characters, terminator included
constexpr std::size_t kMaxDepth = 1024;

std::u16string numberText(std::uint64_t value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string CNTFS::DriveRoot() const {
    return std::u16string{static_cast<char16_t>(drive_->GetDriveInfo()->Letter), u':', u'\\'};
}

const char16_t* CNTFS::FileGetPath(const FoundFileRecord* record) {
    std::uint64_t number = record->RecordNumber;
    std::vector<std::uint8_t> raw(recordSize_);
    std::u16string name;
    FoundFileRecord scratch{};

    // The parent as the record states it now; the caller's copy when it cannot be read.
    auto describe = [&](std::uint64_t n, bool wantFolder) -> bool {
        resetFoundFileForFill(scratch);
        name.clear();
        if (!GetFileRec(n, raw.data()) || !isFileRecord(raw)) return false;
        if (wantFolder && !isDirectory(raw)) return false;
        CNTFile file(*this);
        if (!file.SetFileRecord(raw.data()) || !file.GetInfo(&scratch, name)) return false;
        return !wantFolder || (scratch.Flags & kFileHasName);
    };

    std::uint64_t parent = describe(number, false) ? scratch.ParentNumber : record->ParentNumber;
    std::vector<std::u16string> names;  // innermost first
    std::set<std::uint64_t> visited{number};
    std::size_t length = 0;
    std::u16string prefix;
    while (true) {
        if (number == 0 || parent == kRootDirectory) {
            prefix = DriveRoot();
            break;
        }
        if (visited.count(parent) || names.size() >= kMaxDepth || !describe(parent, true) ||
            length + name.size() + 1 + 32 >= kPathCapacity) {
            prefix = u"lost_folder_" + numberText(parent) + u"\\";
            break;
        }
        visited.insert(parent);
        length += name.size() + 1;
        names.push_back(name);
        parent = scratch.ParentNumber;
    }
    path_ = prefix;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        path_ += *it;
        path_ += u'\\';
    }
    return path_.c_str();
}
