#include "engine/fs/fat_sectors.h"

#include <algorithm>

#include "engine/disk/drive.h"
#include "engine/disk/sector_reread.h"

namespace {

constexpr std::uint64_t kSector = 512;

}  // namespace

std::uint64_t readDriveBytes(CDrive& drive, std::uint64_t offset, std::span<std::uint8_t> out) {
    std::uint64_t done = 0;
    while (done < out.size()) {
        const std::uint64_t piece = std::min<std::uint64_t>(out.size() - done, kFatMaxReadBytes);
        const std::uint64_t got =
            drive.ReadSectors((offset + done) / kSector, piece / kSector, out.data() + done);
        done += std::min(got, piece);
        if (got < piece) break;
    }
    return done;
}

std::vector<bool> readSectorsSalvaging(CDrive& drive, std::uint64_t offset, std::span<std::uint8_t> out) {
    const std::size_t sectors = out.size() / kSector;
    if (readDriveBytes(drive, offset, out) == out.size()) return std::vector<bool>(sectors, true);
    if (sectors == 1) {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        return {false};
    }
    const auto readSector = [&drive](std::uint64_t at, std::span<std::uint8_t> sector) {
        return readDriveBytes(drive, at, sector);
    };
    return engine::disk::rereadBySector(readSector, offset, out);
}
