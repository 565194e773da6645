#include "wizard/utilities/system_folder.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <string_view>

#include "wizard/utilities/mount_table.h"
#include "wizard/utilities/same_drive.h"

namespace {

// The kernel's views of processes, devices, its objects and its controls. devtmpfs
// reports the magic number of tmpfs, so the type is the mount table's name.
constexpr std::array<std::string_view, 17> kKernelFileSystems = {
    "proc",   "sysfs",      "devtmpfs", "devpts",   "securityfs", "cgroup",
    "cgroup2", "debugfs",   "tracefs",  "pstore",   "bpf",        "configfs",
    "efivarfs", "selinuxfs", "binfmt_misc", "fusectl", "mqueue",
};

bool IsRootFolder(const std::string& folder) {
    // "/tmp/.." and "/." name the root as well; a link to it is followed by stat.
    const std::string normal = std::filesystem::path(folder).lexically_normal().string();
    struct stat status {};
    struct stat root {};
    return ::stat(normal.c_str(), &status) == 0 && ::stat("/", &root) == 0 && status.st_dev == root.st_dev &&
           status.st_ino == root.st_ino;
}

}  // namespace

bool IsSystemFolder(const std::string& folder, const std::string& mountInfo) {
    if (IsRootFolder(folder)) return true;
    struct stat status {};
    if (!NearestExistingStatus(folder, status)) return false;
    const std::optional<MountEntry> mount = FindMount(mountInfo, status.st_dev);
    return mount && std::ranges::find(kKernelFileSystems, mount->type) != kKernelFileSystems.end();
}
