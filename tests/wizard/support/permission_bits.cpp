#include "wizard/support/permission_bits.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kOverride = 1u << CAP_DAC_OVERRIDE;

// Capabilities are per thread: the raw calls act on the calling one.
bool ChangeOverride(bool keep, bool& had) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    had = (data[0].effective & kOverride) != 0;
    if (had == keep) return true;
    data[0].effective = keep ? data[0].effective | kOverride : data[0].effective & ~kOverride;
    return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

ScopedPermissionBits::ScopedPermissionBits() {
    bool had = false;
    EXPECT_TRUE(ChangeOverride(false, had));
    dropped_ = had;
}

ScopedPermissionBits::~ScopedPermissionBits() {
    bool had = false;
    if (!dropped_) return;
    EXPECT_TRUE(ChangeOverride(true, had));
}
