// Found-file model and format list benchmarks, printed as figures:
//  1. 1,000,000 elements built from synthetic records (20-character names, half of them
//     nameless carved hits): time, and heap bytes per element beside its name;
//  2. a sort by every key both ways, paths already cached;
//  3. 1,000,000 searches by start position; the size fill after a sector scan;
//  4. 10,000,000 format lookups by extension and by id, on the GUI thread and locked.
// Usage: wizard_models_bench (uses a temporary registry folder of its own).

#include <malloc.h>
#include <unistd.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "wizard/bridge/engine_api.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/model/found_files/base_sorted_list.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kElements = 1'000'000;
constexpr std::size_t kLookups = 10'000'000;
constexpr std::size_t kNameUnits = 20;
const char* const kExtensions[] = {"jpg", "TXT", ".png", "mov", "doc", "mp3", "xyz", "RAF"};
const std::int32_t kIds[] = {83, 85, 200, 170, 117, 10, 999, 60};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::size_t heapInUse() { return mallinfo2().uordblks; }

std::uint64_t next(std::uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

// Every record's folder, as the engine would give it.
const char16_t* benchPath(FoundFileRecord* record) {
    static const std::u16string folders[] = {u"C:\\Photos\\2021\\", u"C:\\Documents\\", u"C:\\", u"D:\\Music\\Old\\"};
    return folders[record->RecordNumber % 4].c_str();
}

struct Synthetic {
    std::vector<FoundFileRecord> records;
    std::vector<std::u16string> names;
};

// Even records are file-system entries with 20-character names, odd ones carved hits.
Synthetic makeRecords() {
    Synthetic synthetic;
    synthetic.records.resize(kElements);
    synthetic.names.resize(kElements);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (std::size_t i = 0; i < kElements; ++i) {
        FoundFileRecord& record = synthetic.records[i];
        record = FoundFileRecord{};
        record.DataPosition = (next(state) % (std::uint64_t{1} << 40)) & ~std::uint64_t{511};
        const std::uint64_t time = 130000000000000000ull + next(state) % 10000000000000000ull;
        record.CreationTime = FILETIME{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
        if (i % 2 == 0) {
            std::u16string& name = synthetic.names[i];
            for (std::size_t c = 0; c < kNameUnits - 4; ++c) name.push_back(char16_t(u'a' + next(state) % 26));
            name += u".";
            for (const char* e = kExtensions[i / 2 % 6]; *e && name.size() < kNameUnits; ++e) {
                if (*e != '.') name.push_back(char16_t(*e));
            }
            record.RecordNumber = i + 100;
            record.Name = name.c_str();
            record.Size = next(state) % 10000000;
            record.Flags = (i % 3 == 0) ? kFileDeleted : 0;
        } else {
            record.Flags = kFileDeleted | kFileFoundBySignature;
            record.Size = kUnknownSize;
            record.TypeCode = static_cast<std::uint16_t>(kIds[i / 2 % 6]);
        }
    }
    return synthetic;
}

void benchElements() {
    const Synthetic synthetic = makeRecords();
    EngineApi api{};
    api.FileGetPath = benchPath;
    ScopedEngineApi scope(api);

    TBaseSortedList list(kSortByName, true);
    const std::size_t heapBefore = heapInUse();
    auto start = Clock::now();
    for (std::size_t i = 0; i < kElements; ++i) {
        list.Add(std::make_unique<TBaseElement>(synthetic.records[i], std::int64_t(i)));
    }
    const double built = secondsSince(start);
    const double heapPerElement = double(heapInUse() - heapBefore) / kElements;
    // Half the elements own a 21-unit name copy; the other half share the empty text.
    const double namePerElement = double((kNameUnits + 1) * sizeof(char16_t)) / 2;
    std::printf("build %zu elements: %.3f s; heap %.1f bytes per element, %.1f beside its name "
                "(element %zu bytes)\n",
                kElements, built, heapPerElement, heapPerElement - namePerElement, sizeof(TBaseElement));

    for (std::size_t i = 0; i < list.Count(); ++i) list[i].Path();
    const char* keys[] = {"name", "condition", "type", "size", "created", "path"};
    for (std::uint8_t code = kSortByName; code <= kSortByPath; ++code) {
        for (const bool ascending : {true, false}) {
            start = Clock::now();
            list.SetSort(code, ascending);
            std::printf("sort by %-9s %-10s: %.3f s\n", keys[code], ascending ? "ascending" : "descending",
                        secondsSince(start));
        }
    }

    // Every other probe is a known position.
    std::vector<std::int64_t> probes;
    std::uint64_t state = 12345;
    for (std::size_t i = 0; i < kElements; ++i) {
        probes.push_back(static_cast<std::int64_t>((i % 2) ? synthetic.records[next(state) % kElements].DataPosition
                                                           : next(state) % (std::uint64_t{1} << 40)));
    }
    list.SortByStartPosition();
    std::size_t found = 0;
    start = Clock::now();
    for (const std::int64_t position : probes) found += list.FindByStartPosition(position);
    std::printf("FindByStartPosition x %zu: %.3f s (%zu found)\n", kElements, secondsSince(start), found);

    list.SetSort(kSortByName, true);
    start = Clock::now();
    list.SortByStartPosition();
    std::printf("sort by start position: %.3f s\n", secondsSince(start));
    list.SetSort(kSortByName, true);
    start = Clock::now();
    list.FillUnknownSizes();
    std::printf("FillUnknownSizes, then sort by name: %.3f s\n", secondsSince(start));
}

void benchLookups() {
    const TDataStorage& formats = *DataStorage;
    std::size_t hits = 0;
    auto start = Clock::now();
    for (std::size_t i = 0; i < kLookups; ++i) hits += formats.FindByExtension(kExtensions[i % 8]) != nullptr;
    std::printf("FindByExtension x %zu: %.3f s (%zu found)\n", kLookups, secondsSince(start), hits);
    hits = 0;
    start = Clock::now();
    for (std::size_t i = 0; i < kLookups; ++i) hits += formats.FindBySignatureId(kIds[i % 8]) != nullptr;
    std::printf("FindBySignatureId x %zu: %.3f s (%zu found)\n", kLookups, secondsSince(start), hits);

    const auto preview = [](const TFormat& format) { return format.PreviewAvailable; };
    hits = 0;
    start = Clock::now();
    for (std::size_t i = 0; i < kLookups; ++i) hits += formats.ReadByExtension(kExtensions[i % 8], preview).has_value();
    std::printf("ReadByExtension (shared lock) x %zu: %.3f s (%zu found)\n", kLookups, secondsSince(start), hits);
    hits = 0;
    start = Clock::now();
    for (std::size_t i = 0; i < kLookups; ++i) hits += formats.ReadBySignatureId(kIds[i % 8], preview).has_value();
    std::printf("ReadBySignatureId (shared lock) x %zu: %.3f s (%zu found)\n", kLookups, secondsSince(start), hits);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const auto registry = std::filesystem::temp_directory_path() /
                          ("wizard-models-bench-" + std::to_string(::getpid()));
    ::setenv("UNDELETE_REGISTRY", registry.c_str(), 1);
    FormatsUnitInit();
    benchElements();
    benchLookups();
    FormatsUnitDone();
    std::filesystem::remove_all(registry);
    return 0;
}
