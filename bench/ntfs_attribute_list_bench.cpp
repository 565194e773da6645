// Times the listing (names and folder paths, as a scan shows them) of synthetic NTFS
// volumes whose file records carry hostile attribute lists, against the same volume
// without them. Every entry of such a list names another file's record, never an
// extension record of its own: near ones (the records that follow) or far ones (a
// thousand records and more away, outside the enumeration's window), in files that hold
// their data themselves or, as the list claims, only in extension records.
//
//   ntfs_attribute_list_bench [RECORDS] [ROUNDS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

#include "tests/engine/fs/ntfs_crafted.h"

using namespace ntfs_test;

namespace {

constexpr std::uint32_t kFirstFile = 16;
constexpr std::uint64_t kEntries = 20;  // what fits beside a name and resident data

// The records that file `number`'s list names, none of them an extension of it.
using Targets = std::function<std::uint64_t(std::uint64_t number, std::uint64_t entry)>;

VolumeBuilder volumeOf(std::uint32_t records, const Targets& targets, bool ownData) {
    const std::uint64_t clusters = records / 4 + 64;
    VolumeBuilder volume(4096, 1024, clusters, records);
    for (std::uint32_t number = kFirstFile; number < records; ++number) {
        char name[16];
        const int length = std::snprintf(name, sizeof name, "f%u", number);
        RecordBuilder record = volume.record(number);
        record.standardInfo(1, 2, 3, 0x20).fileName(5, std::u16string(name, name + length));
        if (ownData) record.residentData({'d', 'a', 't', 'a'});
        if (targets) {
            std::vector<ListEntry> entries;
            for (std::uint64_t entry = 0; entry < kEntries; ++entry) {
                entries.push_back({0x80, targets(number, entry) % (records - kFirstFile) + kFirstFile});
            }
            record.attributeList(entries);
        }
        volume.putRecord(number, record);
    }
    return volume;
}

struct Timing {
    double wallSeconds;
    double cpuSeconds;
    std::size_t listed;
};

Timing listOnce(const Buffer& image) {
    MemoryDrive drive(image, 'E');
    const auto wall = std::chrono::steady_clock::now();
    const std::clock_t cpu = std::clock();
    CNTFS ntfs(&drive);
    if (!ntfs.Initialize()) return {0, 0, 0};
    const ntfs_crafted::Listing listing = ntfs_crafted::listAll(ntfs);
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count(),
            double(std::clock() - cpu) / CLOCKS_PER_SEC, listing.records.size()};
}

Timing median(const Buffer& image, int rounds) {
    std::vector<Timing> all;
    for (int round = 0; round < rounds; ++round) all.push_back(listOnce(image));
    std::sort(all.begin(), all.end(),
              [](const Timing& a, const Timing& b) { return a.wallSeconds < b.wallSeconds; });
    return all[all.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint32_t records = argc > 1 ? std::max(1024, std::atoi(argv[1])) : 20000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    const Targets next = [](std::uint64_t n, std::uint64_t e) { return n + 1 + e; };
    const Targets far = [](std::uint64_t n, std::uint64_t e) { return n + 1031 * (e + 1); };
    const struct {
        const char* name;
        Targets targets;
        bool ownData;
    } cases[] = {
        {"plain files", nullptr, true},
        {"lists naming the next records", next, true},
        {"lists naming far records", far, true},
        {"as above, data only in the list", next, false},
        {"as above, far records", far, false},
    };
    std::printf("%u records, %llu entries per list\n", records, static_cast<unsigned long long>(kEntries));
    std::printf("%-34s %10s %10s %7s %8s\n", "case", "wall ms", "cpu ms", "x", "listed");
    double plain = 0;
    for (const auto& c : cases) {
        const Timing t = median(volumeOf(records, c.targets, c.ownData).image(), rounds);
        if (plain == 0) plain = t.wallSeconds;
        std::printf("%-34s %10.2f %10.2f %7.2f %8zu\n", c.name, t.wallSeconds * 1000, t.cpuSeconds * 1000,
                    t.wallSeconds / plain, t.listed);
    }
    return 0;
}
