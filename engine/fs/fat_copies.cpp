#include "engine/fs/fat_copies.h"

#include <algorithm>

#include "engine/disk/sector_pass.h"
#include "engine/exports.h"
#include "engine/log.h"

namespace {

// Intact FATs are read in large pieces; a piece that neither copy 1 nor copy 2 gives
// whole is read again sector by sector, so that a bad sector in each copy loses only the
// entries it holds.
constexpr std::uint64_t kPieceBytes = 1024 * 1024;
constexpr std::uint64_t kSectorBytes = 512;

using engine::disk::Attempts;
using engine::disk::ReadScope;
using engine::disk::SectorState;

std::uint64_t copyOffset(const FatGeometry& geometry, std::uint32_t copy, std::uint64_t at) {
    return geometry.fatOffset + copy * geometry.fatBytes + at;
}

// Logs a run of FAT copy 1 that no copy gave, as the drive's sector numbers.
void logUnreadable(const FatGeometry& geometry, std::uint64_t at, std::uint64_t bytes) {
    const std::uint64_t first = copyOffset(geometry, 0, at) / kSectorBytes;
    Log(kLogWarning, "CFAT.Initialize: FAT sectors %llu-%llu unreadable in every copy, read as free",
        static_cast<unsigned long long>(first),
        static_cast<unsigned long long>(first + (bytes + kSectorBytes - 1) / kSectorBytes - 1));
}

// Bytes `at` of the FAT from the first copy that gives them: every copy once, and only
// when none does, every copy with all its attempts.
bool readFromAnyCopy(const FatGeometry& geometry, const FatReadFunction& read, std::uint64_t at,
                     std::span<std::uint8_t> out, Attempts attempts) {
    {
        const ReadScope once(Attempts::One);
        for (std::uint32_t copy = 0; copy < geometry.fatCount; ++copy) {
            if (read(copyOffset(geometry, copy, at), out)) return true;
        }
    }
    if (attempts == Attempts::One) return false;
    for (std::uint32_t copy = 0; copy < geometry.fatCount; ++copy) {
        if (read(copyOffset(geometry, copy, at), out)) return true;
    }
    return false;
}

// Fills `piece`, at byte `at` of a copy, sector by sector from the first copy that gives
// each sector.
void rescuePiece(const FatGeometry& geometry, engine::disk::SectorPass& pass, std::uint64_t at,
                 std::span<std::uint8_t> piece) {
    const std::vector<SectorState> sectors = pass.readSectors(at / kSectorBytes, piece);
    std::uint64_t lost = 0;
    for (std::size_t k = 0; k <= sectors.size(); ++k) {
        if (k < sectors.size() && sectors[k] != SectorState::Read) {
            ++lost;
            continue;
        }
        if (lost != 0) logUnreadable(geometry, at + (k - lost) * kSectorBytes, lost * kSectorBytes);
        lost = 0;
    }
}

}  // namespace

FatCopies readFatCopies(const FatGeometry& geometry, const FatReadFunction& read) {
    FatCopies result;
    result.bytes.assign(geometry.fatBytesInUse(), 0);
    const std::uint64_t total = result.bytes.size();
    const bool compare = geometry.fatCount >= 2;
    std::vector<std::uint8_t> second(compare ? std::min(total, kPieceBytes) : 0);
    // One pass over the FAT's sectors: a dead region of copy 1 found in one piece is
    // skipped in the next.
    engine::disk::SectorPass pass(
        [&](std::uint64_t first, std::span<std::uint8_t> out, Attempts attempts) -> std::uint64_t {
            return readFromAnyCopy(geometry, read, first * kSectorBytes, out, attempts) ? out.size() : 0;
        },
        total / kSectorBytes);
    for (std::uint64_t at = 0; at < total; at += kPieceBytes) {
        const std::uint64_t length = std::min(kPieceBytes, total - at);
        const std::span<std::uint8_t> piece(result.bytes.data() + at, length);
        const std::span<std::uint8_t> twin(second.data(), compare ? length : 0);
        bool firstRead = false, secondRead = false;
        {
            // A piece is read whole once from each copy; a sector that fails is taken
            // from another copy before any attempt is repeated.
            const ReadScope once(Attempts::One);
            firstRead = read(copyOffset(geometry, 0, at), piece);
            secondRead = compare && read(copyOffset(geometry, 1, at), twin);
        }
        if (!compare) {
            if (!firstRead) rescuePiece(geometry, pass, at, piece);
            continue;
        }
        if (firstRead && secondRead) {
            if (!std::equal(piece.begin(), piece.end(), twin.begin())) result.copiesDiffer = true;
            continue;
        }
        result.copiesDiffer = true;
        if (firstRead) continue;
        if (secondRead) {
            std::copy(twin.begin(), twin.end(), piece.begin());
            const std::uint64_t first = copyOffset(geometry, 0, at) / kSectorBytes;
            Log(kLogWarning, "CFAT.Initialize: FAT1 sectors %llu-%llu not read whole, taken from FAT2",
                static_cast<unsigned long long>(first),
                static_cast<unsigned long long>(first + length / kSectorBytes - 1));
            continue;
        }
        rescuePiece(geometry, pass, at, piece);
    }
    return result;
}
