#include "engine/disk/sector_reread.h"

#include <algorithm>

namespace engine::disk {

namespace {

constexpr std::size_t kSector = 512;

}  // namespace

std::vector<bool> rereadBySector(const RunRead& read, std::uint64_t offset, std::span<std::uint8_t> out,
                                 std::size_t first, const std::function<bool()>& goOn) {
    const std::size_t sectors = (out.size() + kSector - 1) / kSector;
    std::vector<bool> wasRead(sectors, false);
    std::fill_n(wasRead.begin(), std::min(first, sectors), true);
    for (std::size_t k = first; k < sectors; ++k) {
        if (goOn && !goOn()) break;
        const std::span<std::uint8_t> sector = out.subspan(k * kSector, std::min(kSector, out.size() - k * kSector));
        wasRead[k] = read(offset + k * kSector, sector) == sector.size();
        if (!wasRead[k]) std::fill(sector.begin(), sector.end(), std::uint8_t{0});
    }
    return wasRead;
}

}  // namespace engine::disk
