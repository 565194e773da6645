#pragma once
// What makes a file the same file whatever name reaches it: its device and inode.

#include <sys/stat.h>

#include <compare>
#include <cstdint>

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    static FileIdentity Of(const struct stat& status) {
        return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
    }
    auto operator<=>(const FileIdentity&) const = default;
};
