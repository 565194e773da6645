// Times listing (with paths) and recovering every file of the NTFS fixture as a hostile
// disk would present it, against the unmodified fixture on the same drive, and reports
// each case's peak memory (its own process). Run it from the repository's top folder.
//
//   ntfs_crafted_bench [ROUNDS]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "tests/engine/fs/ntfs_crafted.h"

using namespace ntfs_crafted;

namespace {

constexpr std::uint64_t kTwoTebibytes = std::uint64_t{1} << 32;  // sectors
constexpr std::uint64_t kPiece = 2 * 1024 * 1024;                 // as the recovery writer reads

struct Case {
    const char* name;
    std::function<void(Buffer&)> forge;
    std::uint64_t driveSectors;  // 0: the image's own size
    int baseline;                // index of the case it is compared with
};

void onTwoTebibytes(Buffer& image) { put<std::uint64_t>(image, 40, kTwoTebibytes - 1); }

// $Bitmap claims 8 GiB and one run over the whole volume.
void forgeBitmapRun(Buffer& image) {
    onTwoTebibytes(image);
    forgeBitmapSize(image);
    const Layout layout(image);
    const std::uint64_t at = layout.attribute(image, ntfs::kBitmapRecord, ntfs::kAttrData);
    const std::uint64_t pairs = at + ntfs::fieldOr<std::uint16_t>(image, at + 32);
    const Buffer run = {0x24, 0xF9, 0xFE, 0xFF, 0x1F, 0x07, 0x01, 0};
    std::copy(run.begin(), run.end(), image.begin() + static_cast<std::ptrdiff_t>(pairs));
}

struct Result {
    double listSeconds = 0;
    double recoverSeconds = 0;
    long peakKiB = 0;
    std::uint64_t files = 0;
};

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Opens and lists with paths, then reads every file back in pieces.
Result listAndRecover(const Buffer& image, std::uint64_t driveSectors) {
    Result result;
    std::unique_ptr<CDrive> drive;
    if (driveSectors) drive = std::make_unique<SparseDrive>(image, driveSectors);
    else drive = std::make_unique<ntfs_test::MemoryDrive>(image, 'E');
    auto start = std::chrono::steady_clock::now();
    CNTFS ntfs(drive.get());
    if (!ntfs.Initialize()) return result;
    const Listing listing = listAll(ntfs);
    result.listSeconds = since(start);

    start = std::chrono::steady_clock::now();
    const std::uint64_t driveBytes = drive->GetDriveInfo()->TotalSectors * 512;
    std::vector<std::uint8_t> piece(kPiece);
    for (const auto& [number, entry] : listing.records) {
        if (entry.flags & kFileDirectory) continue;
        FoundFileRecord record{};
        record.RecordNumber = number;
        record.Flags = entry.flags;
        const std::uint64_t size = std::min(entry.size, driveBytes);
        for (std::uint64_t offset = 0; offset < size; offset += kPiece) {
            const std::uint64_t want = std::min(kPiece, size - offset);
            if (ntfs.FileRead(FileReadRequest{piece.data(), offset, want, &record}) < want) break;
        }
        ++result.files;
    }
    result.recoverSeconds = since(start);
    return result;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs a case in a process of its own, so that its peak memory is its own.
Result measure(const Case& c, int rounds) {
    int channel[2];
    if (::pipe(channel) != 0) std::exit(1);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        Buffer image = fixture();
        c.forge(image);
        std::vector<double> list, recover;
        Result result{};
        for (int round = 0; round < rounds; ++round) {
            result = listAndRecover(image, c.driveSectors);
            list.push_back(result.listSeconds);
            recover.push_back(result.recoverSeconds);
        }
        result.listSeconds = median(list);
        result.recoverSeconds = median(recover);
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        result.peakKiB = usage.ru_maxrss;
        if (::write(channel[1], &result, sizeof result) != sizeof result) std::_Exit(1);
        std::_Exit(0);
    }
    ::close(channel[1]);
    Result result{};
    if (::read(channel[0], &result, sizeof result) != sizeof result) std::exit(1);
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    if (fixture().empty()) {
        std::fprintf(stderr, "run from the repository's top folder (tests/data/ntfs)\n");
        return 1;
    }
    const std::vector<Case> cases = {
        {"8 MiB fixture, unmodified", [](Buffer&) {}, 0, 0},
        {"volume of 2^40 sectors", forgeTotalSectors, 0, 0},
        {"$MFT of 2^32 records, volume of 2^40 sectors",
         [](Buffer& image) {
             forgeTotalSectors(image);
             forgeMftLength(image);
         },
         0, 0},
        {"$Bitmap of 8 GiB, volume of 2^40 sectors",
         [](Buffer& image) {
             forgeTotalSectors(image);
             forgeBitmapSize(image);
         },
         0, 0},
        {"2 TiB sparse drive, unmodified", onTwoTebibytes, kTwoTebibytes, 4},
        {"2 TiB sparse drive, $Bitmap of 8 GiB in one cluster",
         [](Buffer& image) {
             onTwoTebibytes(image);
             forgeBitmapSize(image);
         },
         kTwoTebibytes, 4},
        {"2 TiB sparse drive, $Bitmap of 8 GiB over the volume", forgeBitmapRun, kTwoTebibytes, 4},
    };
    std::vector<Result> results;
    std::printf("%-55s %9s %7s %10s %7s %9s %7s %5s\n", "case", "list ms", "x", "recover ms", "x",
                "peak KiB", "x", "files");
    for (const Case& c : cases) {
        results.push_back(measure(c, rounds));
        const Result& r = results.back();
        const Result& base = results[c.baseline];
        std::printf("%-55s %9.3f %7.2f %10.3f %7.2f %9ld %7.2f %5llu\n", c.name, r.listSeconds * 1000,
                    r.listSeconds / base.listSeconds, r.recoverSeconds * 1000,
                    r.recoverSeconds / base.recoverSeconds, r.peakKiB,
                    double(r.peakKiB) / base.peakKiB, static_cast<unsigned long long>(r.files));
    }
    return 0;
}
