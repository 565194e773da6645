#include "engine/fs/fat_sectors.h"

#include <algorithm>

#include "engine/disk/drive.h"

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

engine::disk::SectorPass driveSectorPass(CDrive& drive) {
    return engine::disk::SectorPass(
        [&drive](std::uint64_t first, std::span<std::uint8_t> out, engine::disk::Attempts) {
            return readDriveBytes(drive, first * kSector, out);
        },
        drive.GetDriveInfo()->TotalSectors);
}

std::vector<bool> readSectorsSalvaging(engine::disk::SectorPass& pass, std::uint64_t offset,
                                       std::span<std::uint8_t> out) {
    const std::vector<engine::disk::SectorState> states = pass.readRun(offset / kSector, out);
    std::vector<bool> read(states.size());
    for (std::size_t k = 0; k < states.size(); ++k) read[k] = states[k] == engine::disk::SectorState::Read;
    return read;
}
