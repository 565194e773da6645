#pragma once
// Hostile FAT volumes for the bound tests and benchmarks: a fixture moved behind a huge FAT
// on a sparse file, and a folder chain thousands of levels deep.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "engine/byte_order.h"
#include "fat_image_builder.h"

namespace fattest {

// Writes `bytes` at `offset` of the open file; false when the write falls short.
inline bool writeAt(int fd, std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) {
    return ::pwrite(fd, bytes, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
}

// The FAT32 image `fixture` laid out again on a sparse file of `fileBytes` whose boot
// sector announces FATs of `fatSectors` sectors: its reserved area, the used part of both
// FAT copies and its data area keep their bytes, so the volume lists as the fixture does
// while a reader that trusts the FAT size asks for fatSectors x 512 bytes. The boot
// sector's 32-bit sector count is `totalSectors`, by default the sectors up to the
// fixture's last data; 0 leaves the volume the whole file.
inline bool writeWideFatImage(const std::vector<std::uint8_t>& fixture, const std::string& path,
                              std::uint64_t fileBytes, std::uint32_t fatSectors,
                              std::optional<std::uint32_t> totalSectors = std::nullopt) {
    if (fixture.size() < 512) return false;
    const std::uint64_t reserved = engine::loadLittleEndian<std::uint16_t>(fixture.data() + 14) * 512ull;
    const std::uint64_t oldFat = engine::loadLittleEndian<std::uint32_t>(fixture.data() + 36) * 512ull;
    const std::uint64_t oldData = reserved + 2 * oldFat;
    const std::uint64_t newFat = fatSectors * 512ull;
    const std::uint64_t newData = reserved + 2 * newFat;
    if (oldData > fixture.size() || newData + (fixture.size() - oldData) > fileBytes) return false;

    std::vector<std::uint8_t> head(fixture.begin(), fixture.begin() + static_cast<std::ptrdiff_t>(reserved));
    engine::storeLittleEndian<std::uint32_t>(head.data() + 36, fatSectors);
    const std::uint64_t volumeSectors = (newData + fixture.size() - oldData) / 512;
    engine::storeLittleEndian<std::uint32_t>(head.data() + 32,
                                             totalSectors.value_or(static_cast<std::uint32_t>(volumeSectors)));

    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool written = ::ftruncate(fd, static_cast<off_t>(fileBytes)) == 0 &&
                         writeAt(fd, 0, head.data(), head.size()) &&
                         writeAt(fd, reserved, fixture.data() + reserved, oldFat) &&
                         writeAt(fd, reserved + newFat, fixture.data() + reserved + oldFat, oldFat) &&
                         writeAt(fd, newData, fixture.data() + oldData, fixture.size() - oldData);
    ::close(fd);
    return written;
}

// Folders named D, each inside the one before, `depth` deep, with a file END.TXT in the
// innermost one; the folder at level `deletedLevel` (1 = in the root, 0 = none) has its
// entry marked deleted. One 512-byte cluster per folder.
inline std::vector<std::uint8_t> deepChainImage(std::uint32_t depth, std::uint32_t deletedLevel = 0) {
    Fat32Builder volume(depth + 2, 1);
    std::uint32_t folder = Fat32Builder::kRootCluster;
    for (std::uint32_t level = 1; level <= depth; ++level) {
        folder = volume.addFolder(folder, "D          ");
        if (level == deletedLevel) volume.markDeleted(folder);
    }
    volume.addFile(folder, "END     TXT", 0);
    return std::move(volume.image());
}

}  // namespace fattest
