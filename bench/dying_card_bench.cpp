// A dying card, as printed figures: reads, failed reads and bytes read, and the time taken,
// with 10 attempts per read and, when given, a delay on every failed read.
//  search:   the free-space signature search of a 512 MiB FAT32 card (4 KiB clusters,
//            40 MiB in use) with 1 % of its data sectors unreadable, scattered;
//  recovery: every deleted file (1 to 5 MiB each, 200 MiB in all) of a 512 MiB FAT32 card
//            recovered through the exports, with 20,000 sectors in a row across them
//            unreadable;
//  open:     listing a 32 GiB FAT32 card (sparse file, two 4 MiB FATs) with 1 % of the
//            sectors of each FAT copy unreadable, scattered.
// Usage: dying_card_bench [work-folder] [search|recovery|open|all] [milliseconds per failed
// read] (default /tmp, all, 0), from the repository root (it reads tests/data). The time at
// 0.2 s per failed read is also printed as the time without delay plus that much per
// failed read.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/disk/drive.h"
#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/fs/fat_reader.h"
#include "engine/recovery_writer.h"
#include "engine/search/information_storage.h"
#include "engine/search/searcher.h"
#include "platform/fault_injection.h"
#include "platform/text.h"
#include "tests/engine/fs/fat_crafted_images.h"
#include "tests/engine/support/test_images.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint64_t kMiB = 1 << 20;

// Which sectors fail, and what the reads cost; shared by every handle of one drive.
struct Faults {
    std::vector<bool> bad;  // by 512-byte sector
    std::chrono::milliseconds delay{0};
    std::atomic<std::uint64_t> reads{0}, failed{0}, bytes{0};
};

class FailingDevice final : public platform::RawDevice {
public:
    FailingDevice(std::unique_ptr<platform::RawDevice> inner, std::shared_ptr<Faults> faults)
        : inner_(std::move(inner)), faults_(std::move(faults)) {}

    platform::IoResult readAt(std::uint64_t offset, void* buffer, std::size_t bytes) override {
        ++faults_->reads;
        faults_->bytes += bytes;
        for (std::uint64_t s = offset / 512; s < (offset + bytes + 511) / 512 && s < faults_->bad.size(); ++s) {
            if (!faults_->bad[s]) continue;
            ++faults_->failed;
            std::this_thread::sleep_for(faults_->delay);
            return {0, EIO};
        }
        return inner_->readAt(offset, buffer, bytes);
    }
    std::optional<std::uint64_t> byteSize() const override { return inner_->byteSize(); }
    std::uint32_t logicalSectorSize() const override { return 512; }
    platform::DeviceGeometry geometry() const override { return inner_->geometry(); }
    std::optional<platform::PartitionExtent> partition() const override { return std::nullopt; }
    std::optional<dev_t> deviceNumber() const override { return std::nullopt; }
    std::unique_ptr<platform::RawDevice> duplicate() const override {
        auto copy = inner_->duplicate();
        return copy ? std::make_unique<FailingDevice>(std::move(copy), faults_) : nullptr;
    }

private:
    std::unique_ptr<platform::RawDevice> inner_;
    std::shared_ptr<Faults> faults_;
};

platform::DeviceOpener failingOpener(platform::DeviceOpener inner, std::shared_ptr<Faults> faults) {
    return [inner = std::move(inner), faults](const std::string& path, platform::OpenMode mode) {
        platform::OpenResult opened = inner(path, mode);
        if (opened.device) opened.device = std::make_unique<FailingDevice>(std::move(opened.device), faults);
        return opened;
    };
}

std::unique_ptr<CDrive> failingDrive(std::vector<std::uint8_t> image, const std::shared_ptr<Faults>& faults) {
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(std::move(image));
    auto drive = std::make_unique<CDrive>();
    drive->SetSource({kDriveImage, "memory", 0, bytes->size()});
    drive->GetDriveInfo()->Letter = 'D';
    drive->SetDeviceOpener(failingOpener(platform::memoryOpener(bytes), faults));
    return drive;
}

void report(const char* name, const Faults& faults, std::uint64_t cardBytes, double seconds) {
    std::printf("%-9s %9llu reads %8llu failed %9.1f MiB read (%.1fx the card) %8.2f s; "
                "at 0.2 s per failed read %.0f s\n",
                name, static_cast<unsigned long long>(faults.reads.load()),
                static_cast<unsigned long long>(faults.failed.load()),
                static_cast<double>(faults.bytes.load()) / kMiB,
                static_cast<double>(faults.bytes.load()) / static_cast<double>(cardBytes), seconds,
                seconds + (faults.delay.count() == 0 ? 0.2 * static_cast<double>(faults.failed.load()) : 0));
}

// A 512 MiB FAT32 card of 4 KiB clusters whose data sectors hold their own numbers; files
// of the sizes given, one after another from the root's cluster on.
fattest::Fat32Builder card(const std::vector<std::uint32_t>& sizes, bool deleted, std::vector<std::uint32_t>& firsts) {
    fattest::Fat32Builder volume(131000, 8);
    char name[12];
    for (std::size_t k = 0; k < sizes.size(); ++k) {
        std::snprintf(name, sizeof name, "F%06u BIN", static_cast<unsigned>(k % 1000000));
        firsts.push_back(volume.addFile(fattest::Fat32Builder::kRootCluster, name, sizes[k]));
        if (deleted) volume.markDeleted(firsts.back());
    }
    if (deleted) volume.freeClustersFrom(3);
    volume.numberSectorsFrom(3);
    return volume;
}

void benchSearch(std::chrono::milliseconds delay) {
    std::vector<std::uint32_t> firsts;
    fattest::Fat32Builder volume = card(std::vector<std::uint32_t>(40, kMiB), false, firsts);
    const std::uint64_t cardBytes = volume.image().size();
    const std::uint64_t dataSector = volume.dataOffset() / 512;
    auto faults = std::make_shared<Faults>();
    auto drive = failingDrive(std::move(volume.image()), faults);
    CFAT reader(drive.get());
    if (reader.Initialize() <= 0) std::abort();
    faults->bad.assign(cardBytes / 512, false);
    std::mt19937_64 random(35);
    for (std::uint64_t s = dataSector; s < faults->bad.size(); ++s) faults->bad[s] = random() % 100 == 0;
    faults->delay = delay;
    faults->reads = faults->failed = faults->bytes = 0;

    EngineSettings settings{};
    settings.ReadRetries = 10;
    settings.FreeSpaceOnly = 1;
    settings.FoundCallback = [](std::uint32_t, FoundFileRecord*) {};
    EngineSettings* previous = std::exchange(engine::state().settings, &settings);
    CInformationStorage types(u"\\Software\\Unused");
    types.AddBuiltinFileTypes();
    const auto start = Clock::now();
    CSearcher(*drive, settings, types).Search();
    report("search", *faults, cardBytes, std::chrono::duration<double>(Clock::now() - start).count());
    engine::state().settings = previous;
}

void benchRecovery(const std::filesystem::path& work, std::chrono::milliseconds delay) {
    std::mt19937_64 random(35);
    std::vector<std::uint32_t> sizes;
    for (std::uint64_t total = 0; total < 200 * kMiB; total += sizes.back()) {
        sizes.push_back(static_cast<std::uint32_t>(kMiB + random() % (4 * kMiB)));
    }
    std::vector<std::uint32_t> firsts;
    fattest::Fat32Builder volume = card(sizes, true, firsts);
    const std::uint64_t cardBytes = volume.image().size();
    const std::uint64_t deadFrom = volume.clusterOffset(firsts[sizes.size() / 2]) / 512 + 1000;
    auto faults = std::make_shared<Faults>();
    auto drive = failingDrive(std::move(volume.image()), faults);

    Library_Initialize(u"\\Software\\Bench");
    // The engine keeps the settings it is given.
    static EngineSettings settings{};
    settings.ReadRetries = 10;
    settings.DiskNumber = engine::state().drives->add(std::move(drive));
    if (DriveInitialize(&settings) <= 0) std::abort();
    std::vector<FoundFileRecord> files;
    while (FoundFileRecord* next = FileGetNext()) files.push_back(*next);
    faults->bad.assign(cardBytes / 512, false);
    std::fill_n(faults->bad.begin() + static_cast<long>(deadFrom), 20000, true);
    faults->delay = delay;
    faults->reads = faults->failed = faults->bytes = 0;

    const std::filesystem::path out = work / "dying_card_bench.out";
    std::uint64_t zeros = 0;
    const auto start = Clock::now();
    for (const FoundFileRecord& file : files) {
        RecoveryRequest request{};
        request.Options = kRecoveryDefaultOptions;
        platform::copyToField(request.TargetPath, kRecoveryTargetCapacity, platform::toUtf16(out.string()));
        request.Record = &file;
        DoFileRecovery(&request);
        zeros += request.UnreadableSectors;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    report("recovery", *faults, cardBytes, seconds);
    std::printf("          %zu files, %llu sectors written as zeros\n", files.size(),
                static_cast<unsigned long long>(zeros));
    std::filesystem::remove(out);
    engine::releaseFileReaders();
}

void benchOpen(const std::filesystem::path& work, std::chrono::milliseconds delay) {
    const std::vector<std::uint8_t> fixture = test_images::gunzip("fat/fat32.img.gz");
    const std::string path = (work / "dying_card_bench.img").string();
    constexpr std::uint32_t kFatSectors = 8192;
    if (fixture.empty() || !fattest::writeWideFatImage(fixture, path, 32ull << 30, kFatSectors, 0)) std::abort();
    auto faults = std::make_shared<Faults>();
    const std::uint64_t fat = engine::loadLittleEndian<std::uint16_t>(fixture.data() + 14);
    faults->bad.assign(fat + 2 * kFatSectors, false);
    std::mt19937_64 random(35);
    for (std::uint64_t s = fat; s < faults->bad.size(); ++s) faults->bad[s] = random() % 100 == 0;
    faults->delay = delay;

    EngineSettings settings{};
    settings.ReadRetries = 10;
    EngineSettings* previous = std::exchange(engine::state().settings, &settings);
    CDrive drive;
    drive.SetSource({kDriveImage, path, 0, 0});
    drive.SetDeviceOpener(failingOpener(&platform::openRawDevice, faults));
    const auto start = Clock::now();
    CFAT reader(&drive);
    reader.Initialize();
    int entries = 0;
    while (FoundFileRecord* record = reader.GetFileNext()) {
        reader.GetFilePath(record);
        ++entries;
    }
    report("open", *faults, 32ull << 30, std::chrono::duration<double>(Clock::now() - start).count());
    std::printf("          %d entries listed\n", entries);
    engine::state().settings = previous;
    std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path work = argc > 1 ? argv[1] : "/tmp";
    const std::string which = argc > 2 ? argv[2] : "all";
    const std::chrono::milliseconds delay(argc > 3 ? std::atoi(argv[3]) : 0);
    if (which == "all" || which == "search") benchSearch(delay);
    if (which == "all" || which == "recovery") benchRecovery(work, delay);
    if (which == "all" || which == "open") benchOpen(work, delay);
    return 0;
}
