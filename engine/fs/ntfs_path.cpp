// Folder paths from the file-name parents, through the reader's folder cache.

#include <string>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/fs/ntfs.h"
#include "engine/fs/ntfs_record.h"

using namespace ntfs;

std::u16string CNTFS::DriveRoot() const {
    return std::u16string{static_cast<char16_t>(drive_->GetDriveInfo()->Letter), u':', u'\\'};
}

std::optional<CNTFS::PathEntry> CNTFS::DescribeForPath(std::uint64_t number) {
    if (!ReadListedRecord(number, pathFile_->RecordBuffer())) return std::nullopt;
    Bytes header = pathFile_->Record();
    if (!isFileRecord(header)) return std::nullopt;
    const bool directory = isDirectory(header);
    FoundFileRecord scratch{};
    resetFoundFileForFill(scratch);
    PathEntry entry;
    if (!pathFile_->ParseRecord() || !pathFile_->GetInfo(&scratch, entry.folder.name)) {
        return std::nullopt;
    }
    entry.folder.parent = scratch.ParentNumber;
    entry.isFolder = directory && (scratch.Flags & kFileHasName);
    return entry;
}

std::optional<FolderRecord> CNTFS::ReadFolder(std::uint64_t number) {
    auto entry = DescribeForPath(number);
    if (!entry || !entry->isFolder) return std::nullopt;
    return std::move(entry->folder);
}

const char16_t* CNTFS::FileGetPath(const FoundFileRecord* record) {
    const std::uint64_t number = record->RecordNumber;
    if (number == 0 || !folders_) {
        path_ = DriveRoot();
        return path_.c_str();
    }
    // The record as it stands now: a folder is placed by its own entry (which a loop may
    // turn into a lost folder), anything else by its parent; the caller's parent stands
    // when the record cannot be read.
    auto entry = DescribeForPath(number);
    if (entry && entry->isFolder) {
        path_ = folders_->Leading(number, entry->folder);
    } else {
        path_ = folders_->Inside(entry ? entry->folder.parent : record->ParentNumber);
    }
    return path_.c_str();
}
