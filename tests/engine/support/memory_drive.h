#pragma once
// A drive over a disk image held in memory, for tests, fuzz targets and benchmarks.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "engine/disk/drive.h"

namespace test_support {

// Reads whole sectors of the image (a partial last sector is not readable); `onRead`
// runs before every read, and `failReads` makes every read fail.
class MemoryDrive : public CDrive {
public:
    MemoryDrive(std::vector<std::uint8_t> image, std::int32_t fileSystemCode, char letter = 'X')
        : image_(std::move(image)) {
        GetDriveInfo()->FileSystemCode = fileSystemCode;
        GetDriveInfo()->Letter = letter;
        GetDriveInfo()->TotalSectors = image_.size() / kSectorSize;
        GetDriveInfo()->SpaceTotal = image_.size();
    }

    std::uint64_t ReadSectors(std::uint64_t lba, std::uint64_t count, void* buffer) override {
        if (onRead) onRead(lba, count);
        const std::uint64_t total = image_.size() / kSectorSize;
        if (count == 0 || lba >= total || failReads) return 0;
        count = std::min(count, total - lba);
        std::memcpy(buffer, image_.data() + lba * kSectorSize, count * kSectorSize);
        return count * kSectorSize;
    }

    std::vector<std::uint8_t>& image() { return image_; }
    std::function<void(std::uint64_t, std::uint64_t)> onRead;
    bool failReads = false;

private:
    std::vector<std::uint8_t> image_;
};

}  // namespace test_support
