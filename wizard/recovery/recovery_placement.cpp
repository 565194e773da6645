#include "wizard/recovery/recovery_placement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include <cerrno>

#include "wizard/recovery/file_name_rules.h"

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// The path the kernel holds for an open folder.
QString PathOfFd(int fd, const QString& fallback) {
    char buffer[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return fallback;
    return QFile::decodeName(QByteArray(buffer, static_cast<qsizetype>(length)));
}

QString WithSlash(QString path) {
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    return path;
}

// Opens or makes the folder `part` of `parent` without following a link.
UniqueFd OpenOrMake(int parent, const std::string& part) {
    UniqueFd fd(::openat(parent, part.c_str(), kFolderFlags | O_NOFOLLOW));
    if (fd.valid() || errno != ENOENT) return fd;
    if (::mkdirat(parent, part.c_str(), 0755) != 0 && errno != EEXIST) return fd;
    return UniqueFd(::openat(parent, part.c_str(), kFolderFlags | O_NOFOLLOW));
}

}  // namespace

std::u16string PlacedFile::enginePath() const {
    const QString path = QStringLiteral("/proc/self/fd/%1/").arg(folder->fd()) +
                         QString::fromStdString(name);
    return path.toStdU16String();
}

RecoveryPlacement::RecoveryPlacement(SourceCheck onSource, int renameLimit)
    : onSource_(std::move(onSource)), renameLimit_(renameLimit) {}

std::shared_ptr<const RecoveryFolder> RecoveryPlacement::Checked(UniqueFd fd, QString realPath,
                                                                 FolderResult& result) const {
    struct stat status {};
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        result = FolderResult::NotCreatable;
        return nullptr;
    }
    if (onSource_ && onSource_(status)) {
        result = FolderResult::OnSource;
        return nullptr;
    }
    result = FolderResult::Opened;
    return std::make_shared<const RecoveryFolder>(std::move(fd), FileIdentity::Of(status),
                                                  WithSlash(std::move(realPath)));
}

RecoveryPlacement::FolderResult RecoveryPlacement::OpenRoot(const QString& root) {
    auto [folder, result] = OpenChosenFolder(root);
    root_ = std::move(folder);
    lastParts_.clear();
    lastFolder_ = root_;
    return result;
}

std::pair<std::shared_ptr<const RecoveryFolder>, RecoveryPlacement::FolderResult>
RecoveryPlacement::OpenFolder(const std::vector<std::string>& parts) {
    if (!root_) return {nullptr, FolderResult::NotCreatable};
    if (lastFolder_ && parts == lastParts_) return {lastFolder_, FolderResult::Opened};
    std::shared_ptr<const RecoveryFolder> folder = root_;
    QString realPath = root_->realPath();
    for (const std::string& part : parts) {
        realPath += QString::fromStdString(part) + QLatin1Char('/');
        FolderResult result;
        // Each folder is checked before anything is made in it, so that no folder is made
        // on the source either.
        folder = Checked(OpenOrMake(folder->fd(), part), realPath, result);
        if (!folder) return {nullptr, result};
    }
    lastParts_ = parts;
    lastFolder_ = folder;
    return {folder, FolderResult::Opened};
}

std::pair<std::shared_ptr<const RecoveryFolder>, RecoveryPlacement::FolderResult>
RecoveryPlacement::OpenChosenFolder(const QString& path) const {
    UniqueFd fd(::open(QFile::encodeName(path).constData(), kFolderFlags));
    FolderResult result;
    const QString realPath = fd.valid() ? PathOfFd(fd.get(), path) : path;
    auto folder = Checked(std::move(fd), realPath, result);
    return {std::move(folder), result};
}

std::optional<struct stat> RecoveryPlacement::StatName(const RecoveryFolder& folder,
                                                       const std::string& name) const {
    struct stat status {};
    if (::fstatat(folder.fd(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    return status;
}

bool RecoveryPlacement::IsEarlierFile(const struct stat& status) const {
    return S_ISREG(status.st_mode) && !runFiles_.contains(FileIdentity::Of(status)) &&
           !(onSource_ && onSource_(status));
}

RecoveryPlacement::NameState RecoveryPlacement::Inspect(const RecoveryFolder& folder,
                                                        const std::string& name) const {
    const auto status = StatName(folder, name);
    if (!status) return errno == ENOENT ? NameState::Free : NameState::Occupied;
    return IsEarlierFile(*status) ? NameState::EarlierFile : NameState::Occupied;
}

std::optional<PlacedFile> RecoveryPlacement::Create(const std::shared_ptr<const RecoveryFolder>& folder,
                                                    const std::string& name) {
    UniqueFd fd(::openat(folder->fd(), name.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    struct stat status {};
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0) return std::nullopt;
    const FileIdentity identity = FileIdentity::Of(status);
    runFiles_.insert(identity);
    return PlacedFile{folder, name, identity, true};
}

std::optional<PlacedFile> RecoveryPlacement::ReserveNew(
    const std::shared_ptr<const RecoveryFolder>& folder, const std::string& name) {
    return Create(folder, name);
}

std::optional<PlacedFile> RecoveryPlacement::ReserveNumbered(
    const std::shared_ptr<const RecoveryFolder>& folder, const std::string& name) {
    const NameParts parts = SplitExtension(name);
    int& next = nextNumber_.try_emplace({folder->identity(), name}, 1).first->second;
    for (; next <= renameLimit_; ++next) {
        const std::string candidate = NumberedName(parts, next);
        if (StatName(*folder, candidate)) continue;
        if (errno != ENOENT) return std::nullopt;
        if (auto placed = Create(folder, candidate)) {
            ++next;
            return placed;
        }
        if (errno != EEXIST) return std::nullopt;
    }
    errno = EEXIST;
    return std::nullopt;
}

std::optional<PlacedFile> RecoveryPlacement::ClaimEarlier(
    const std::shared_ptr<const RecoveryFolder>& folder, const std::string& name) {
    const auto status = StatName(*folder, name);
    if (!status || !IsEarlierFile(*status)) return std::nullopt;
    const FileIdentity identity = FileIdentity::Of(*status);
    runFiles_.insert(identity);
    return PlacedFile{folder, name, identity, false};
}

bool RecoveryPlacement::StillPlaced(const PlacedFile& file) const {
    const auto status = StatName(*file.folder, file.name);
    return status && S_ISREG(status->st_mode) && FileIdentity::Of(*status) == file.identity;
}

std::optional<std::uint64_t> RecoveryPlacement::WrittenSize(const PlacedFile& file) const {
    const auto status = StatName(*file.folder, file.name);
    if (!status || !S_ISREG(status->st_mode) || FileIdentity::Of(*status) != file.identity) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(status->st_size);
}

void RecoveryPlacement::DropEmpty(const PlacedFile& file) const {
    if (file.created && WrittenSize(file) == 0u) ::unlinkat(file.folder->fd(), file.name.c_str(), 0);
}
