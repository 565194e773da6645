// Signature search benchmark, printed as figures: a 1 GiB raw image of random data with
// real file headers at known sector offsets, searched through the exports with callback
// delivery while the image is in page cache, against the machine's limit measured in the
// same run: reading the same image from page cache with `dd bs=2M` (also at the search's
// own low priority, which is what a loaded machine leaves it). Also the matching alone,
// through the unit index and by a walk of the whole table.
// Usage: search_bench [work-folder] (default /tmp); the folder needs 1 GiB. The image is
// kept (search-bench.img, with search-bench.img.placed listing the headers by sector) so
// that other tools can be run on it.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/search/searcher_unit_index.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint64_t kImageBytes = std::uint64_t{1} << 30;
constexpr std::uint64_t kSector = 512;
constexpr std::uint64_t kPlacementStride = 1 << 20;  // one header per MiB

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct Header {
    std::uint16_t type;
    std::string bytes;
};

const std::vector<Header>& headers() {
    static const std::vector<Header> all = {
        {47, "%PDF-1.4\n"},
        {88, std::string("\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR", 16)},
        {83, std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10)},
        {300, std::string("PK\x03\x04\x0A\x00\x00\x00", 8)},
        {85, "GIF89a"},
        {310, std::string("Rar!\x1A\x07\x00", 7)},
        {345, std::string("7z\xBC\xAF\x27\x1C", 6)},
        {141, std::string("\x00\x00\x00\x18" "ftypmp42\x00\x00\x00\x00mp42", 20)},
        {200, std::string("RIFF\x24\x08\x00\x00WAVEfmt ", 16)},
        {41, "{\\rtf1\\ansi"},
    };
    return all;
}

std::uint64_t xorshift(std::uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

// Writes the image and returns the placed headers: byte position -> type.
std::map<std::uint64_t, std::uint16_t> writeImage(const std::string& path) {
    std::map<std::uint64_t, std::uint16_t> placed;
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0) return placed;
    std::vector<std::uint64_t> chunk(kPlacementStride / 8);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (std::uint64_t at = 0; at < kImageBytes; at += kPlacementStride) {
        for (auto& word : chunk) word = xorshift(state);
        const std::uint64_t sector = xorshift(state) % (kPlacementStride / kSector);
        const Header& header = headers()[(at / kPlacementStride) % headers().size()];
        std::memcpy(reinterpret_cast<std::uint8_t*>(chunk.data()) + sector * kSector, header.bytes.data(),
                    header.bytes.size());
        placed[at + sector * kSector] = header.type;
        if (::write(fd, chunk.data(), kPlacementStride) != static_cast<ssize_t>(kPlacementStride)) break;
    }
    ::close(fd);
    return placed;
}

// Reads the image from page cache as `dd` does, `nice` steps below normal priority.
double ddSeconds(const std::string& path, int nice) {
    const std::string command =
        "nice -n " + std::to_string(nice) + " dd if='" + path + "' of=/dev/null bs=2M status=none";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) return 0;
    return secondsSince(start);
}

// The search thread's nice value above the caller's (THREAD_PRIORITY_LOWEST).
constexpr int kSearchNice = 10;

double loadAverage() {
    double load = 0;
    if (FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(file, "%lf", &load) != 1) load = 0;
        std::fclose(file);
    }
    return load;
}

struct Found {
    std::map<std::uint64_t, std::uint16_t> hits;
};
Found* gFound = nullptr;

void onHit(std::uint32_t, FoundFileRecord* record) { gFound->hits[record->DataPosition] = record->TypeCode; }

// Matching alone over `bytes`: units per second.
template <typename Match>
double unitsPerSecond(const std::vector<std::uint8_t>& bytes, Match match) {
    const auto start = Clock::now();
    std::size_t matched = 0;
    for (std::size_t at = 0; at + kSector <= bytes.size(); at += kSector) {
        matched += match(std::span<const std::uint8_t>(bytes).subspan(at, kSector)) != nullptr;
    }
    const double seconds = secondsSince(start);
    std::printf("    (%zu units matched)\n", matched);
    return static_cast<double>(bytes.size() / kSector) / seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string image = folder + "/search-bench.img";
    const std::string registry = folder + "/search-bench-registry";
    ::setenv("UNDELETE_REGISTRY", registry.c_str(), 1);

    std::printf("writing %s (1 GiB random data, a header every MiB)\n", image.c_str());
    const std::map<std::uint64_t, std::uint16_t> placed = writeImage(image);
    // The placed headers, for comparing other tools' findings: sector <TAB> type id.
    if (FILE* list = std::fopen((image + ".placed").c_str(), "w")) {
        for (const auto& [position, type] : placed) {
            std::fprintf(list, "%llu\t%u\n", static_cast<unsigned long long>(position / kSector), type);
        }
        std::fclose(list);
    }
    ddSeconds(image, 0);  // into page cache

    Library_Initialize(u"\\Software\\SearchBench");
    const CInformationStorage& types = *engine::state().types;
    {
        std::vector<std::uint8_t> sample(64 << 20);
        std::uint64_t state = 12345;
        for (std::size_t i = 0; i + 8 <= sample.size(); i += 8) {
            const std::uint64_t word = xorshift(state);
            std::memcpy(sample.data() + i, &word, 8);
        }
        CSearchUnitIndex index(types);
        std::printf("matching 64 MiB of random units, %zu types:\n", types.count());
        const double indexed = unitsPerSecond(sample, [&](std::span<const std::uint8_t> unit) { return index.FirstMatch(unit); });
        const double walked = unitsPerSecond(sample, [&](std::span<const std::uint8_t> unit) { return types.MatchUnit(unit); });
        std::printf("  unit index:  %.1f M units/s (%.0f MB/s)\n", indexed / 1e6, indexed * kSector / 1e6);
        std::printf("  table walk:  %.1f M units/s (%.0f MB/s)\n", walked / 1e6, walked * kSector / 1e6);
    }

    auto drive = std::make_unique<CDrive>();
    drive->SetSource({kDriveImage, image, 0, 0});
    EngineSettings settings{};
    settings.ReadRetries = 1;
    settings.DiskNumber = engine::state().drives->add(std::move(drive));
    if (DriveInitialize(&settings) <= 0) {
        std::fprintf(stderr, "cannot open %s\n", image.c_str());
        return 1;
    }

    // A run alternates the search with both reads a few times, so that a moment of other
    // load on the machine weighs on each about equally.
    constexpr int kRuns = 5;
    constexpr int kRounds = 3;
    for (int run = 0; run < kRuns; ++run) {
        Found found;
        gFound = &found;
        settings.FoundCallback = &onHit;
        double searchSeconds = 0;
        double ddNormal = 0;
        double ddLow = 0;
        for (int round = 0; round < kRounds; ++round) {
            ddNormal += ddSeconds(image, 0);
            found.hits.clear();
            const auto start = Clock::now();
            DriveSearchSignatures();
            searchSeconds += secondsSince(start);
            ddLow += ddSeconds(image, kSearchNice);
        }

        std::size_t hit = 0;
        std::size_t wrongType = 0;
        for (const auto& [position, type] : placed) {
            auto it = found.hits.find(position);
            if (it == found.hits.end()) continue;
            ++hit;
            wrongType += it->second != type;
        }
        const double mb = static_cast<double>(kImageBytes) / 1e6 * kRounds;
        std::printf("run %d: search %.0f MB/s, dd bs=2M %.0f MB/s, ratio %.2f (dd at the search's priority %.0f MB/s, "
                    "ratio %.2f; load %.1f)\n",
                    run + 1, mb / searchSeconds, mb / ddNormal, ddNormal / searchSeconds, mb / ddLow,
                    ddLow / searchSeconds, loadAverage());
        std::printf("       placed %zu, found %zu (%zu with another type), missed %zu, other hits %zu\n",
                    placed.size(), hit, wrongType, placed.size() - hit, found.hits.size() - hit);
    }
    Library_Close();
    return 0;
}
