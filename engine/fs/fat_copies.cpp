#include "engine/fs/fat_copies.h"

#include <algorithm>

#include "engine/exports.h"
#include "engine/log.h"

namespace {

// Intact FATs are read in large pieces; a piece that neither copy 1 nor copy 2 gives
// whole is read again sector by sector, so that a bad sector in each copy loses only the
// entries it holds.
constexpr std::uint64_t kPieceBytes = 1024 * 1024;
constexpr std::uint64_t kSectorBytes = 512;
constexpr std::uint64_t kRescueBytes = kSectorBytes;

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

// Fills `piece`, at byte `at` of a copy, part by part from the first copy that gives each part.
void rescuePiece(const FatGeometry& geometry, const FatReadFunction& read, std::uint64_t at,
                 std::span<std::uint8_t> piece) {
    std::uint64_t lostStart = 0, lostBytes = 0;
    for (std::uint64_t done = 0; done < piece.size(); done += kRescueBytes) {
        const std::span<std::uint8_t> part = piece.subspan(done, std::min(kRescueBytes, piece.size() - done));
        bool got = false;
        for (std::uint32_t copy = 0; copy < geometry.fatCount && !got; ++copy) {
            got = read(copyOffset(geometry, copy, at + done), part);
        }
        if (got) continue;
        std::fill(part.begin(), part.end(), std::uint8_t{0});
        if (lostBytes != 0 && lostStart + lostBytes != at + done) {
            logUnreadable(geometry, lostStart, lostBytes);
            lostBytes = 0;
        }
        if (lostBytes == 0) lostStart = at + done;
        lostBytes += part.size();
    }
    if (lostBytes != 0) logUnreadable(geometry, lostStart, lostBytes);
}

}  // namespace

FatCopies readFatCopies(const FatGeometry& geometry, const FatReadFunction& read) {
    FatCopies result;
    result.bytes.assign(geometry.fatBytesInUse(), 0);
    const std::uint64_t total = result.bytes.size();
    const bool compare = geometry.fatCount >= 2;
    std::vector<std::uint8_t> second(compare ? std::min(total, kPieceBytes) : 0);
    for (std::uint64_t at = 0; at < total; at += kPieceBytes) {
        const std::uint64_t length = std::min(kPieceBytes, total - at);
        const std::span<std::uint8_t> piece(result.bytes.data() + at, length);
        const bool firstRead = read(copyOffset(geometry, 0, at), piece);
        if (!compare) {
            if (!firstRead) rescuePiece(geometry, read, at, piece);
            continue;
        }
        const std::span<std::uint8_t> twin(second.data(), length);
        const bool secondRead = read(copyOffset(geometry, 1, at), twin);
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
        rescuePiece(geometry, read, at, piece);
    }
    return result;
}
