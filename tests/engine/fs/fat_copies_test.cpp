// FAT copy 1 read from a failing disk: pieces taken from the other copies, parts that no
// copy gives read as free, and the lines that say so.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "engine/disk/sector_reader.h"
#include "engine/fs/fat_copies.h"
#include "engine/fs/fat_fixture.h"

namespace {

constexpr std::uint64_t kFatOffset = 512;
constexpr std::uint64_t kFatBytes = 2 << 20;
// 786,430 clusters of FAT16: 1.5 MiB of entries in use, two read pieces.
constexpr std::uint32_t kClusters = 786430;
constexpr std::uint64_t kInUse = 1536 * 1024;

FatGeometry geometry(std::uint32_t copies) {
    FatGeometry g;
    g.kind = FatKind::Fat16;
    g.fatCount = copies;
    g.fatOffset = kFatOffset;
    g.fatBytes = kFatBytes;
    g.clusterCount = kClusters;
    return g;
}

struct BadSector {
    std::uint32_t copy;
    std::uint64_t sector;  // within the copy
};

// Drive sector number of a sector of copy 1, as the log names it.
std::uint64_t driveSector(std::uint64_t sector) { return kFatOffset / 512 + sector; }

TEST(FatCopies, UnreadablePartsComeFromTheOtherCopiesOrReadAsFree) {
    const std::uint64_t s = 2500;  // in the second piece, sectors 2048..3071
    const struct {
        const char* name;
        std::uint32_t copies;
        std::vector<BadSector> bad;
        std::vector<std::uint64_t> zeroed;  // sectors of the result read as free
        bool differ;
        std::string logLine;  // expected once; empty: no line about unreadable sectors
    } cases[] = {
        {"intact", 2, {}, {}, false, ""},
        {"FAT1 sector, FAT2 intact", 2, {{0, s}}, {}, true,
         "FAT1 sectors " + std::to_string(driveSector(2048)) + "-" + std::to_string(driveSector(3071)) +
             " not read whole, taken from FAT2"},
        {"the same sector in both", 2, {{0, s}, {1, s}}, {s}, true,
         "FAT sectors " + std::to_string(driveSector(s)) + "-" + std::to_string(driveSector(s)) +
             " unreadable in every copy, read as free"},
        {"two sectors in a row in both", 2, {{0, s}, {1, s}, {0, s + 1}, {1, s + 1}}, {s, s + 1}, true,
         "FAT sectors " + std::to_string(driveSector(s)) + "-" + std::to_string(driveSector(s + 1)) +
             " unreadable in every copy"},
        {"different sectors of one piece", 2, {{0, s}, {1, s + 7}}, {}, true, ""},
        {"a third copy stands in", 3, {{0, s}, {1, s}}, {}, true, ""},
        {"a single copy", 1, {{0, 3}}, {3}, false,
         "FAT sectors " + std::to_string(driveSector(3)) + "-" + std::to_string(driveSector(3)) +
             " unreadable in every copy, read as free"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FatGeometry g = geometry(c.copies);
        // Every copy holds the same entries, each byte a function of its place in the copy.
        std::vector<std::uint8_t> volume(kFatOffset + c.copies * kFatBytes);
        for (std::uint64_t at = 0; at < c.copies * kFatBytes; ++at) {
            volume[kFatOffset + at] = static_cast<std::uint8_t>((at % kFatBytes) * 7 / 3);
        }
        std::size_t reads = 0;
        const FatReadFunction read = [&](std::uint64_t offset, std::span<std::uint8_t> out) {
            ++reads;
            std::copy_n(volume.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
            for (const BadSector& bad : c.bad) {
                const std::uint64_t start = kFatOffset + bad.copy * kFatBytes + bad.sector * 512;
                if (start < offset + out.size() && offset < start + 512) {
                    // As a drive does: the failure is kept for the sector pass.
                    engine::disk::ReadScope::current()->fail({kIoErrorRead, EIO, 1, offset});
                    return false;
                }
            }
            return true;
        };
        fattest::LogCapture log;
        const FatCopies result = readFatCopies(g, read);

        ASSERT_EQ(result.bytes.size(), kInUse);
        EXPECT_EQ(result.copiesDiffer, c.differ);
        for (std::uint64_t sector = 0; sector < kInUse / 512; ++sector) {
            const bool zeroed = std::find(c.zeroed.begin(), c.zeroed.end(), sector) != c.zeroed.end();
            for (std::uint64_t at = sector * 512; at < sector * 512 + 512; ++at) {
                const std::uint8_t wanted = zeroed ? 0 : static_cast<std::uint8_t>(at * 7 / 3);
                ASSERT_EQ(result.bytes[at], wanted) << "byte " << at;
            }
        }
        if (c.logLine.empty()) {
            EXPECT_EQ(log.count("unreadable in every copy"), 0u);
        } else {
            EXPECT_EQ(log.count(c.logLine), 1u);
        }
        // An intact FAT costs one read per piece and copy.
        if (c.bad.empty()) {
            EXPECT_EQ(reads, 4u);
        }
    }
}

TEST(FatCopies, DifferingCopiesAreToldApartFromEqualOnes) {
    const FatGeometry g = geometry(2);
    std::vector<std::uint8_t> volume(kFatOffset + 2 * kFatBytes, 0x11);
    volume[kFatOffset + kFatBytes + kInUse - 1] = 0x22;  // the last entry byte in use, FAT2 only
    const FatReadFunction read = [&](std::uint64_t offset, std::span<std::uint8_t> out) {
        std::copy_n(volume.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
        return true;
    };
    EXPECT_TRUE(readFatCopies(g, read).copiesDiffer);
    volume[kFatOffset + kFatBytes + kInUse - 1] = 0x11;
    volume[kFatOffset + kFatBytes + kInUse] = 0x22;  // past the entries in use: never read
    EXPECT_FALSE(readFatCopies(g, read).copiesDiffer);
}

}  // namespace
