#include "wizard/utilities/same_drive.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "wizard/utilities/mount_table.h"

namespace fs = std::filesystem;

namespace {

// Deeper stacks than this are not built by any tool; a loop in a damaged sysfs stops here.
constexpr int kMaxStackDepth = 16;

// "8:17" as sysfs and the mount table write device numbers; 0 for anything else.
dev_t ParseDeviceNumber(const std::string& text) {
    unsigned int majorNumber = 0;
    unsigned int minorNumber = 0;
    char colon = 0;
    std::istringstream in(text);
    if (!(in >> majorNumber >> colon >> minorNumber) || colon != ':') return 0;
    return makedev(majorNumber, minorNumber);
}

dev_t ReadDeviceFile(const fs::path& folder) {
    std::ifstream in(folder / "dev");
    std::string text;
    std::getline(in, text);
    return ParseDeviceNumber(text);
}

}  // namespace

DriveSource SourceOf(const _LDRIVE& drive) { return {drive.SourceDevice, drive.SourceInode}; }

BlockDeviceTopology::BlockDeviceTopology(std::string sysfsRoot, std::string mountInfo)
    : sysfsRoot_(std::move(sysfsRoot)), mountInfo_(std::move(mountInfo)) {}

std::string BlockDeviceTopology::DeviceFolder(dev_t device) const {
    std::error_code error;
    const fs::path folder =
        fs::canonical(fs::path(sysfsRoot_) / "dev" / "block" / DeviceNumberText(device), error);
    return error ? std::string() : folder.string();
}

dev_t BlockDeviceTopology::DeviceByName(const std::string& name) const {
    if (name.empty() || name == "." || name == "..") return 0;
    return ReadDeviceFile(fs::path(sysfsRoot_) / "class" / "block" / name);
}

dev_t BlockDeviceTopology::BackingDevice(dev_t fileSystem) const {
    if (!DeviceFolder(fileSystem).empty()) return fileSystem;
    const std::optional<MountEntry> mount = FindMount(mountInfo_, fileSystem);
    const std::string source = mount ? mount->source : std::string();
    if (source.rfind("/dev/", 0) != 0) return 0;
    // "/dev/mapper/data" is a link to "../dm-0"; sysfs knows the device by the link's end.
    std::error_code error;
    const fs::path resolved = fs::canonical(source, error);
    return DeviceByName((error ? fs::path(source) : resolved).filename().string());
}

void BlockDeviceTopology::CollectExtents(dev_t device, int depth,
                                         std::vector<Extent>& extents) const {
    const std::string folder = DeviceFolder(device);
    if (folder.empty() || depth >= kMaxStackDepth) {
        extents.push_back({device, device});
        return;
    }
    std::error_code error;
    bool stacked = false;
    for (const fs::directory_entry& slave :
         fs::directory_iterator(fs::path(folder) / "slaves", error)) {
        const dev_t member = ReadDeviceFile(slave.path());
        if (member != 0) {
            stacked = true;
            CollectExtents(member, depth + 1, extents);
        }
    }
    if (stacked) return;
    const bool partition = fs::exists(fs::path(folder) / "partition", error);
    const dev_t disk = partition ? ReadDeviceFile(fs::path(folder).parent_path()) : 0;
    extents.push_back({device, disk != 0 ? disk : device});
}

bool BlockDeviceTopology::Overlap(dev_t first, dev_t second) const {
    std::vector<Extent> firstExtents;
    std::vector<Extent> secondExtents;
    CollectExtents(first, 0, firstExtents);
    CollectExtents(second, 0, secondExtents);
    for (const Extent& a : firstExtents) {
        for (const Extent& b : secondExtents) {
            // Two partitions of one disk do not overlap; a disk overlaps all of its own.
            if (a.device == b.device || a.device == b.disk || a.disk == b.device) return true;
        }
    }
    return false;
}

bool BlockDeviceTopology::Mounted(dev_t device) const { return FindMount(mountInfo_, device).has_value(); }

bool StatusOnSource(const DriveSource& source, const struct stat& status,
                    const BlockDeviceTopology& topology) {
    if (source.isImageFile()) {
        return status.st_dev == source.device && status.st_ino == source.inode;
    }
    const dev_t backing = topology.BackingDevice(status.st_dev);
    return topology.Overlap(backing != 0 ? backing : status.st_dev,
                            static_cast<dev_t>(source.device));
}

bool NearestExistingStatus(const std::string& path, struct stat& status) {
    std::error_code error;
    fs::path examined = fs::absolute(fs::path(path), error).lexically_normal();
    if (error) return false;
    while (::stat(examined.c_str(), &status) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) return false;
        if (!examined.has_relative_path()) return false;
        examined = examined.parent_path();
    }
    return true;
}

bool TargetOnSource(const DriveSource& source, const std::string& target,
                    const BlockDeviceTopology& topology) {
    struct stat status {};
    return !target.empty() && NearestExistingStatus(target, status) &&
           StatusOnSource(source, status, topology);
}
