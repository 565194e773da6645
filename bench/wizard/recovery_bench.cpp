// The recovery run's own cost beside the engine's copy, on the real engine over a raw
// image: many small files, many files of one name, and one large file. Each figure is the
// best of a few rounds, engine alone and run taking turns, each after a sync.
//
//     recovery_bench [small files] [large file MiB]

#include <QApplication>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/model/found_files/base_element.h"
#include "wizard/recovery/recovery_flow.h"
#include "wizard/settings/settings_store.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::uint64_t kSmallSize = 4096;
constexpr int kRounds = 5;

class BenchHost final : public RecoveryHost {
public:
    std::vector<TBaseElement*> SelectedElements(bool) override { return selected; }
    void CountRecovered(bool, const TBaseElement&) override { ++recovered; }
    int& FileExistsAnswer() override { return answer; }
    EngineSettings& EngineRecord() override { return settings; }
    std::uint64_t ReadErrorsReported() override { return 0; }
    bool OnSourceDrive(const struct stat&) override { return false; }
    QWidget* DialogOwner() override { return nullptr; }

    std::vector<TBaseElement*> selected;
    int recovered = 0;
    int answer = 7;
    EngineSettings settings{};
};

struct Files {
    std::vector<std::u16string> names;
    std::vector<std::unique_ptr<TBaseElement>> elements;
};

// Hits of `size` bytes, one after the other from the drive's start.
Files MakeFiles(int count, std::uint64_t size, const std::function<std::u16string(int)>& name,
                const std::shared_ptr<const TRecoveryDrive>& drive) {
    Files files;
    files.names.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        files.names.push_back(name(i));
        FoundFileRecord record{};
        record.RecordNumber = static_cast<std::uint64_t>(i);
        record.Flags = kFileFoundBySignature;
        record.Size = size;
        record.DataPosition = static_cast<std::uint64_t>(i) * size;
        record.Name = files.names.back().c_str();
        files.elements.push_back(std::make_unique<TBaseElement>(record, i + 1, drive));
    }
    return files;
}

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// The engine alone: each file copied and waited for, as a caller without any checks would.
double EngineAlone(Files& files, const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    ::sync();  // no write-back of an earlier measure's files slows this one
    const auto start = Clock::now();
    for (std::size_t i = 0; i < files.elements.size(); ++i) {
        const std::u16string path =
            (QString::fromStdString(folder.string()) + QStringLiteral("/e%1").arg(i)).toStdU16String();
        HANDLE thread = engine().FileRecovery(path.c_str(), 0, files.elements[i]->EngineRecord());
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    return Seconds(Clock::now() - start);
}

// A whole run of the flow over the first `count` files into a fresh `folder`.
double FlowRun(BenchHost& host, Files& files, const fs::path& folder, std::size_t count = SIZE_MAX) {
    fs::remove_all(folder);
    Settings().RecoveryTargetFolder = QString::fromStdString(folder.string()) + u'/';
    RecoveryFlow flow(host);
    host.selected.clear();
    for (std::size_t i = 0; i < std::min(count, files.elements.size()); ++i) {
        host.selected.push_back(files.elements[i].get());
    }
    ::sync();
    const auto start = Clock::now();
    flow.DoRealRecovery(false);
    return Seconds(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    const int smallFiles = argc > 1 ? std::atoi(argv[1]) : 10'000;
    const int largeMiB = argc > 2 ? std::atoi(argv[2]) : 1024;
    if (smallFiles < 1 || largeMiB < 1) {
        std::fprintf(stderr, "usage: %s [small files] [large file MiB]\n", argv[0]);
        return 2;
    }
    QTemporaryDir work;
    if (!work.isValid()) return 1;
    const fs::path root = work.path().toStdString();
    const fs::path image = root / "disk.img";
    const std::uint64_t largeBytes = std::uint64_t(largeMiB) << 20;
    {
        // Data where the small files lie; the large file reads the rest as well.
        std::ofstream out(image, std::ios::binary);
        std::mt19937_64 random(42);
        std::vector<std::uint64_t> block(1 << 17);
        for (std::uint64_t written = 0; written < std::uint64_t(smallFiles) * kSmallSize; written += block.size() * 8) {
            for (auto& word : block) word = random();
            out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 8));
        }
    }
    fs::resize_file(image, std::max<std::uint64_t>(fs::file_size(image), largeBytes) + (1 << 20));
    ::setenv("UNDELETE_DISKS", image.c_str(), 1);
    ::setenv("UNDELETE_REGISTRY", (root / "registry").c_str(), 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    BenchHost host;
    if (engine().Library_Initialize(u"\\Software\\Kelvorin\\Pramblex") != 1) return 1;
    HANDLE rescan = engine().DrivesRescan(0);
    WaitForSingleObject(rescan, INFINITE);
    CloseHandle(rescan);
    std::shared_ptr<const TRecoveryDrive> drive;
    for (int i = 0; i < engine().DriveGetCount(); ++i) {
        if (engine().DriveGetInformation(i)->Letter == 'C') {
            drive = std::make_shared<const TRecoveryDrive>(*engine().DriveGetInformation(i));
        }
    }
    if (!drive) return 1;
    host.settings.ReadRetries = 2;
    host.settings.DiskNumber = drive->DriveNumber();
    if (engine().DriveInitialize(&host.settings) <= 0) return 1;
    LoadSettings();
    Settings().RecoveryAutoPilot = true;
    Settings().RecoveryKeepFolderStructure = false;

    Files small = MakeFiles(smallFiles, kSmallSize, [](int i) { return QStringLiteral("f%1.bin").arg(i).toStdU16String(); }, drive);
    double engineSmall = 1e9, flowSmall = 1e9;
    for (int round = 0; round < 2 * kRounds; ++round) {
        if (round % 2 == 0) {
            engineSmall = std::min(engineSmall, EngineAlone(small, root / "engine"));
        } else {
            flowSmall = std::min(flowSmall, FlowRun(host, small, root / "flow"));
        }
    }
    std::printf("%d files of 4 KiB: engine alone %.3f s (%.3f ms/file), run %.3f s (%.3f ms/file): %.3f ms/file beyond the copy\n",
                smallFiles, engineSmall, engineSmall * 1e3 / smallFiles, flowSmall, flowSmall * 1e3 / smallFiles,
                (flowSmall - engineSmall) * 1e3 / smallFiles);

    Files same = MakeFiles(smallFiles, kSmallSize, [](int) { return std::u16string(u"same.jpg"); }, drive);
    const std::size_t tenth = static_cast<std::size_t>(std::max(1, smallFiles / 10));
    double sameTenth = 1e9, sameAll = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        sameTenth = std::min(sameTenth, FlowRun(host, same, root / "same", tenth));
        sameAll = std::min(sameAll, FlowRun(host, same, root / "same"));
    }
    std::printf("files named same.jpg, all but the first renamed: %zu in %.3f s, %d in %.3f s (%.1f times the time "
                "for %.1f times the files)\n",
                tenth, sameTenth, smallFiles, sameAll, sameAll / sameTenth, double(smallFiles) / double(tenth));
    fs::remove_all(root / "same");
    fs::remove_all(root / "engine");
    fs::remove_all(root / "flow");

    Files large = MakeFiles(1, largeBytes, [](int) { return std::u16string(u"large.bin"); }, drive);
    double engineLarge = 1e9, flowLarge = 1e9;
    for (int round = 0; round < 2 * kRounds; ++round) {
        if (round % 2 == 0) {
            engineLarge = std::min(engineLarge, EngineAlone(large, root / "engine"));
        } else {
            flowLarge = std::min(flowLarge, FlowRun(host, large, root / "flow"));
        }
        fs::remove_all(root / "engine");
        fs::remove_all(root / "flow");
    }
    const double mib = static_cast<double>(largeMiB);
    std::printf("%d MiB file: engine alone %.0f MiB/s, run %.0f MiB/s (%.0f%%)\n", largeMiB, mib / engineLarge,
                mib / flowLarge, 100.0 * engineLarge / flowLarge);
    engine().DriveInitialize(nullptr);
    return host.recovered > 0 ? 0 : 1;
}
