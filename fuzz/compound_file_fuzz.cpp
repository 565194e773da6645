// The signature search over a hostile drive image, with the compound-file refinement on
// the path: the input is the drive (its first unit always announces a compound file, the
// rest is the fuzzer's), searched in small blocks with callback delivery. Every hit must
// lie on the drive and no refined size may reach past its end.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/disk/drive.h"
#include "engine/search/compound_file.h"
#include "engine/search/information_storage.h"
#include "engine/search/searcher.h"
#include "platform/fault_injection.h"

namespace {

const CInformationStorage& builtinTable() {
    static const CInformationStorage* table = [] {
        auto* built = new CInformationStorage(u"\\Fuzz");
        built->AddBuiltinFileTypes();
        return built;
    }();
    return *table;
}

std::uint64_t gDriveBytes = 0;

void checkHit(std::uint32_t, FoundFileRecord* record) {
    if (record->DataPosition >= gDriveBytes || record->DataPosition % 512 != 0) std::abort();
    const bool compound = record->TypeCode == compound::kStorageTypeId || record->TypeCode == 11 ||
                          record->TypeCode == 12 || record->TypeCode == 13 || record->TypeCode == 15 ||
                          record->TypeCode == 16 || record->TypeCode == 18 || record->TypeCode == 27 ||
                          record->TypeCode == 30 || record->TypeCode == 33;
    if (compound && record->Size != kUnknownSize && record->DataPosition + record->Size > gDriveBytes) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kMaxBytes = 64 * 1024;
    const std::size_t sectors = std::min(size, kMaxBytes) / 512 + 1;
    auto image = std::make_shared<std::vector<std::uint8_t>>(sectors * 512, 0);
    std::memcpy(image->data(), data, std::min(size, kMaxBytes));
    const std::uint8_t magic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(image->data(), magic, sizeof magic);
    gDriveBytes = image->size();

    // The header and directory rules alone, over the raw input.
    compound::ParseHeader({data, size});
    compound::ClassifyStorage({data, size});

    CDrive drive;
    drive.SetSource({kDriveImage, "memory", 0, image->size()});
    drive.SetDeviceOpener(platform::memoryOpener(image));
    EngineSettings settings{};
    settings.ReadRetries = 1;
    settings.BufferSize = 4096;
    settings.FoundCallback = &checkHit;
    CSearcher(drive, settings, builtinTable()).Search();
    return 0;
}
