#include "engine/disk/drive_image_target.h"

#include <filesystem>

#include "platform/device_info.h"

namespace engine::image {
namespace {

namespace fs = std::filesystem;

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// A file system on the source device, or on a partition of a source disk.
bool fileSystemOnDevice(dev_t fileSystem, dev_t device) {
    return fileSystem == device || platform::wholeDiskOf(fileSystem) == device;
}

bool overlaps(const struct stat& target, bool targetExists, const struct stat& source) {
    if (S_ISBLK(source.st_mode)) {
        if (targetExists && S_ISBLK(target.st_mode) && target.st_rdev == source.st_rdev) return true;
        return fileSystemOnDevice(target.st_dev, source.st_rdev);
    }
    return targetExists && sameFile(target, source);
}

}  // namespace

bool targetOnSource(const std::string& target, const std::string& source) {
    std::error_code error;
    const fs::path targetPath = fs::weakly_canonical(fs::absolute(target, error), error);
    const fs::path sourcePath = fs::weakly_canonical(fs::absolute(source, error), error);
    if (!targetPath.empty() && targetPath == sourcePath) return true;

    struct stat sourceStat {};
    if (::stat(source.c_str(), &sourceStat) != 0) return false;
    struct stat targetStat {};
    if (::stat(target.c_str(), &targetStat) == 0) return overlaps(targetStat, true, sourceStat);
    const fs::path folder = targetPath.empty() ? fs::path(".") : targetPath.parent_path();
    if (::stat(folder.c_str(), &targetStat) != 0) return false;
    return overlaps(targetStat, false, sourceStat);
}

bool openedTargetOnSource(const struct stat& target, const std::string& source) {
    struct stat sourceStat {};
    if (::stat(source.c_str(), &sourceStat) != 0) return false;
    return overlaps(target, true, sourceStat);
}

}  // namespace engine::image
