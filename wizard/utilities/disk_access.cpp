#include "wizard/utilities/disk_access.h"

#include <grp.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace {

bool hasDiskReadCapability() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    return (data[CAP_TO_INDEX(CAP_DAC_READ_SEARCH)].effective & CAP_TO_MASK(CAP_DAC_READ_SEARCH)) != 0;
}

std::optional<gid_t> diskGroup() {
    std::vector<char> buffer(1024);
    group entry{};
    group* found = nullptr;
    while (true) {
        const int error = ::getgrnam_r("disk", &entry, buffer.data(), buffer.size(), &found);
        if (error != ERANGE || buffer.size() >= (std::size_t{1} << 20)) break;
        buffer.resize(buffer.size() * 2);
    }
    if (found == nullptr) return std::nullopt;
    return found->gr_gid;
}

bool isInDiskGroup() {
    const auto disk = diskGroup();
    if (!disk) return false;
    if (::getegid() == *disk) return true;
    const auto groups = ReadSupplementaryGroups();
    return std::find(groups.begin(), groups.end(), *disk) != groups.end();
}

}  // namespace

std::vector<gid_t> ReadSupplementaryGroups() {
    // Asks for the count first; the list may change between the two calls, so try again.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int count = ::getgroups(0, nullptr);
        if (count <= 0) return {};
        std::vector<gid_t> groups(static_cast<std::size_t>(count));
        const int read = ::getgroups(count, groups.data());
        if (read >= 0) {
            groups.resize(static_cast<std::size_t>(read));
            return groups;
        }
        if (errno != EINVAL) break;
    }
    return {};
}

bool IsUserAdministrator() {
    return ::geteuid() == 0 || hasDiskReadCapability() || isInDiskGroup();
}
