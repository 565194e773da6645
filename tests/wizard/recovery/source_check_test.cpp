#include <gtest/gtest.h>

#include "wizard/recovery/source_check.h"

namespace {

struct stat Status(dev_t device, ino_t inode, mode_t mode) {
    struct stat status {};
    status.st_dev = device;
    status.st_ino = inode;
    status.st_mode = mode;
    return status;
}

// A run opens many folders on few devices: the costly check runs once per device for
// folders, but every time for files, which an image source tells apart by inode.
TEST(SourceCheck, FoldersAreAskedOncePerDeviceAndFilesEveryTime) {
    int asked = 0;
    const SourceCheck check = FoldersCheckedOncePerDevice([&](const struct stat& status) {
        ++asked;
        return status.st_dev == 8 && (S_ISDIR(status.st_mode) || status.st_ino == 42);
    });
    EXPECT_TRUE(check(Status(8, 1, S_IFDIR)));
    EXPECT_TRUE(check(Status(8, 2, S_IFDIR)));
    EXPECT_FALSE(check(Status(9, 3, S_IFDIR)));
    EXPECT_FALSE(check(Status(9, 4, S_IFDIR)));
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(check(Status(8, 42, S_IFREG)));
    EXPECT_FALSE(check(Status(8, 43, S_IFREG)));
    EXPECT_EQ(asked, 4);
}

}  // namespace
