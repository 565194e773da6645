// The FAT reader on a failing disk: one unreadable sector, through the fault-injection
// backend, in FAT copy 1, in both copies, or in the root directory. The listing goes on
// and loses at most what the bad sector held; files read back as far as they can be.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "engine/byte_order.h"
#include "engine/disk/disk_test_support.h"
#include "engine/disk/drive.h"
#include "engine/fs/fat_fixture.h"
#include "engine/fs/fat_reader.h"
#include "platform/fault_injection.h"

namespace {

constexpr std::int32_t kRetries = 2;

// A drive over a fixture whose reads that touch one of `bad` (byte ranges) fail.
class FaultyFat {
public:
    FaultyFat(const std::vector<std::uint8_t>& image, const std::vector<std::pair<std::uint64_t, std::uint64_t>>& bad)
        : settings_(kRetries, 1), plan_(std::make_shared<platform::FaultPlan>()) {
        for (const auto& [first, last] : bad) plan_->failReads(first, last, 5, -1);
        drive_.SetSource({kDriveImage, "memory", 0, image.size()});
        drive_.GetDriveInfo()->Letter = 'X';
        drive_.SetDeviceOpener(platform::faultyOpener(
            plan_, platform::memoryOpener(std::make_shared<std::vector<std::uint8_t>>(image))));
        drive_.SetSleeper(pauses_.sleeper());
    }

    std::map<std::string, FoundFileRecord> list() {
        reader_.Initialize();
        return fattest::listByPath(reader_);
    }

    std::string read(const FoundFileRecord& record) {
        std::vector<std::uint8_t> buffer((+record.Size + 511) / 512 * 512);
        const std::uint64_t got = reader_.FileRead({buffer.data(), 0, +record.Size, &record});
        return std::string(reinterpret_cast<const char*>(buffer.data()), got);
    }

    std::size_t failedReads() const { return plan_->failedReads(); }

private:
    disktest::ScopedSettings settings_;
    std::shared_ptr<platform::FaultPlan> plan_;
    disktest::PauseLog pauses_;
    CDrive drive_;
    CFAT reader_{&drive_};
};

struct Fat32Layout {
    explicit Fat32Layout(const std::vector<std::uint8_t>& image)
        : fat1(engine::loadLittleEndian<std::uint16_t>(image.data() + 14) * 512ull),
          fatBytes(engine::loadLittleEndian<std::uint32_t>(image.data() + 36) * 512ull),
          data(fat1 + 2 * fatBytes) {}
    // The FAT sector of copy 0 or 1 that holds the entry of `cluster`.
    std::uint64_t fatSector(int copy, std::uint64_t cluster) const {
        return (fat1 + copy * fatBytes + cluster * 4) / 512 * 512;
    }
    std::uint64_t fat1, fatBytes, data;
};

TEST(FatFailingMedia, OneBadSectorCostsOnlyWhatItHeld) {
    const std::vector<std::uint8_t> image = fattest::loadImage("fat32");
    ASSERT_FALSE(image.empty());
    const Fat32Layout layout(image);
    const auto intact = FaultyFat(image, {}).list();
    // A sector of FAT entries inside the chain of BIG.BIN, a contiguous file of 1,954 clusters.
    const std::uint64_t big = intact.at("BIG.BIN").RecordNumber;
    const std::uint64_t inFat1 = layout.fatSector(0, big + 500), inFat2 = layout.fatSector(1, big + 500);
    const std::uint64_t root = layout.data;  // cluster 2, the root's first
    // One in a hundred of each copy's sectors, none the same in both.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> onePercent;
    for (std::uint64_t at = layout.fat1 + 50 * 512; at < layout.data; at += 100 * 512) onePercent.push_back({at, at + 512});
    ASSERT_EQ(onePercent.size(), 12u);

    const struct {
        const char* name;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> bad;
        std::size_t failedReads;
        const char* logLine;
    } cases[] = {
        // The piece fails once and comes from the other copy.
        {"FAT1, FAT2 intact", {{inFat1, inFat1 + 512}}, 1, "not read whole, taken from FAT2"},
        // The piece fails once in each copy, the sector once in each, then with every attempt.
        {"FAT1 and FAT2", {{inFat1, inFat1 + 512}, {inFat2, inFat2 + 512}}, 2 + 2 + 2 * kRetries,
         "unreadable in every copy, read as free"},
        // Each bad sector of copy 1 fails once and comes from copy 2.
        {"one in a hundred FAT sectors", onePercent, 2 + 6, nullptr},
        {"first root cluster", {{root, root + 512}}, kRetries, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FaultyFat fat(image, c.bad);
        fattest::LogCapture log;
        const auto listed = fat.list();
        EXPECT_EQ(fat.failedReads(), c.failedReads);
        if (c.logLine) {
            EXPECT_EQ(log.count(c.logLine), 1u);
        }

        // What the bad sector held: the entries of the root's first cluster, and all below them.
        std::set<std::uint64_t> lostKeys;
        if (c.bad.front().first == root) {
            for (std::size_t at = root; at < root + 512; at += 32) {
                FatDirEntry entry;
                std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(at), 32, entry.raw.begin());
                if (entry.isValid() && !entry.isLongName()) lostKeys.insert(entry.key());
            }
            ASSERT_GE(lostKeys.size(), 3u);
        }
        std::set<std::string> lostFolders;
        for (const auto& [path, entry] : intact) {
            const bool lost = (+entry.ParentNumber == 0 && lostKeys.contains(+entry.RecordNumber)) ||
                              std::any_of(lostFolders.begin(), lostFolders.end(),
                                          [&](const std::string& folder) { return path.starts_with(folder + "/"); });
            if (lost) {
                lostFolders.insert(path);
                EXPECT_FALSE(listed.contains(path)) << path;
                continue;
            }
            ASSERT_TRUE(listed.contains(path)) << path;
            EXPECT_EQ(+listed.at(path).Flags, +entry.Flags) << path;
        }
        EXPECT_EQ(listed.size() + lostFolders.size(), intact.size());
    }

    // Files read back whole, BIG.BIN too: its chain ends at the lost entries, and the rest
    // of it follows on in a row.
    for (const auto& bad : {std::vector<std::pair<std::uint64_t, std::uint64_t>>{{inFat1, inFat1 + 512}},
                            {{inFat1, inFat1 + 512}, {inFat2, inFat2 + 512}}}) {
        FaultyFat fat(image, bad);
        const auto listed = fat.list();
        for (const fattest::ExpectedEntry& expected : fattest::loadListing("fat32")) {
            if (expected.directory) continue;
            EXPECT_EQ(fat.read(listed.at(expected.path)), fattest::content(expected.start, expected.size))
                << expected.path << " with " << bad.size() << " bad sectors";
        }
    }
}

TEST(FatFailingMedia, ABadSectorInTheFat16RootRegionLosesOnlyItsEntries) {
    const std::vector<std::uint8_t> image = fattest::loadImage("fat16");
    const std::uint64_t reserved = engine::loadLittleEndian<std::uint16_t>(image.data() + 14) * 512ull;
    const std::uint64_t fatBytes = engine::loadLittleEndian<std::uint16_t>(image.data() + 22) * 512ull;
    const std::uint64_t root = reserved + 2 * fatBytes;
    const auto intact = FaultyFat(image, {}).list();
    ASSERT_GT(intact.size(), 70u);

    // The root's entries fill its first sector: a bad second sector costs nothing.
    const auto second = FaultyFat(image, {{root + 512, root + 1024}}).list();
    EXPECT_EQ(second.size(), intact.size());
    for (const auto& [path, entry] : intact) EXPECT_TRUE(second.contains(path)) << path;

    // A bad first sector costs the root's entries and what lies below them, nothing more.
    const auto first = FaultyFat(image, {{root, root + 512}}).list();
    EXPECT_LT(first.size(), intact.size());
    for (const auto& [path, entry] : first) EXPECT_TRUE(intact.contains(path)) << path;
}

}  // namespace
