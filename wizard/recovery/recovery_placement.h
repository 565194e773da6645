#pragma once
// Where one recovery run puts its files, without ever writing outside its target, through
// a link, over a file that the run wrote itself or onto the drive being recovered.
//
// The target root is resolved once per run and held open. Folders below it are opened or
// made one part at a time relative to their parent (openat/mkdirat with O_NOFOLLOW and
// O_DIRECTORY), so a link or a non-folder in the way makes a folder "not creatable" and no
// folder can be swapped for a link after it was checked. A name is looked at without
// following links: only a regular file from before the run may be overwritten; anything
// else there (a file of this run, found by device and inode, so that a case-folding file
// system counts too; a link; a folder; a FIFO; a device; the source image) makes the file
// take a numbered name. A new name is created at once (O_EXCL), so the run owns it before
// the engine writes it through /proc/self/fd/<folder>/<name>.
//
// GUI thread only.

#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "wizard/recovery/file_identity.h"
#include "wizard/recovery/source_check.h"
#include "wizard/recovery/unique_fd.h"

inline constexpr int kRenameLimit = 100000;

// One folder that files are written into, open for as long as someone holds it.
class RecoveryFolder {
public:
    RecoveryFolder(UniqueFd fd, FileIdentity identity, QString realPath)
        : fd_(std::move(fd)), identity_(identity), realPath_(std::move(realPath)) {}

    int fd() const { return fd_.get(); }
    const FileIdentity& identity() const { return identity_; }
    // The folder's path for the log, ending in "/".
    const QString& realPath() const { return realPath_; }

private:
    UniqueFd fd_;
    FileIdentity identity_;
    QString realPath_;
};

// A name in a folder that this run holds: created by it, or an earlier file it took over.
struct PlacedFile {
    std::shared_ptr<const RecoveryFolder> folder;
    std::string name;
    FileIdentity identity;
    bool created = false;  // made by the run, not an earlier file taken over

    QString realPath() const { return folder->realPath() + QString::fromStdString(name); }
    // What the engine opens: the folder by its descriptor, so that no link swapped in
    // later on the way to it is followed.
    std::u16string enginePath() const;
};

class RecoveryPlacement {
public:
    enum class FolderResult { Opened, NotCreatable, OnSource };
    enum class NameState {
        Free,         // nothing has that name
        EarlierFile,  // a regular file from before the run
        Occupied,     // something that is never written over
    };

    explicit RecoveryPlacement(SourceCheck onSource, int renameLimit = kRenameLimit);

    // Opens the root that the user chose, following the links its path holds now.
    FolderResult OpenRoot(const QString& root);
    bool RootOpen() const { return root_ != nullptr; }

    // The folder below the root reached through `parts` (safe names), each opened or made
    // without following a link; the last one is kept open for the next call.
    std::pair<std::shared_ptr<const RecoveryFolder>, FolderResult> OpenFolder(
        const std::vector<std::string>& parts);
    // A folder the user picked in a save dialog, following the links its path holds.
    std::pair<std::shared_ptr<const RecoveryFolder>, FolderResult> OpenChosenFolder(
        const QString& path) const;

    NameState Inspect(const RecoveryFolder& folder, const std::string& name) const;

    // Creates `name` empty when nothing has that name. Null with errno set otherwise.
    std::optional<PlacedFile> ReserveNew(const std::shared_ptr<const RecoveryFolder>& folder,
                                         const std::string& name);
    // Creates the first free name base_N.ext of `name` for N from 1, going on from the N
    // after the last one this run took for that name in that folder. Null when none up to
    // the rename limit is free.
    std::optional<PlacedFile> ReserveNumbered(const std::shared_ptr<const RecoveryFolder>& folder,
                                              const std::string& name);
    // Takes over the earlier regular file `name` to overwrite it; null when it is no longer
    // one.
    std::optional<PlacedFile> ClaimEarlier(const std::shared_ptr<const RecoveryFolder>& folder,
                                           const std::string& name);

    // Whether the name still is the regular file the run placed there: checked right
    // before the engine opens it, as a FIFO put in its place would block that open.
    bool StillPlaced(const PlacedFile& file) const;
    // The size of the placed file after the write; nothing when it is gone or replaced.
    std::optional<std::uint64_t> WrittenSize(const PlacedFile& file) const;
    // Removes a file that the run created and that is still empty: a reservation that no
    // write reached.
    void DropEmpty(const PlacedFile& file) const;

private:
    bool IsEarlierFile(const struct stat& status) const;
    std::optional<struct stat> StatName(const RecoveryFolder& folder, const std::string& name) const;
    std::optional<PlacedFile> Create(const std::shared_ptr<const RecoveryFolder>& folder,
                                     const std::string& name);
    std::shared_ptr<const RecoveryFolder> Checked(UniqueFd fd, QString realPath,
                                                  FolderResult& result) const;

    SourceCheck onSource_;
    int renameLimit_;
    std::shared_ptr<const RecoveryFolder> root_;
    std::vector<std::string> lastParts_;
    std::shared_ptr<const RecoveryFolder> lastFolder_;
    std::set<FileIdentity> runFiles_;
    // The next N to try, per folder and original name.
    std::map<std::pair<FileIdentity, std::string>, int> nextNumber_;
};
