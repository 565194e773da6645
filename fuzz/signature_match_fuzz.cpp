// Matching hostile signatures against hostile units: the first two bytes split the input
// into stored signatures and a unit of at most 512 bytes, held in a buffer of its exact
// size so that any read beyond it is caught.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/search/information_storage.h"

namespace {

const CInformationStorage& builtinTable() {
    static const CInformationStorage* table = [] {
        auto* built = new CInformationStorage(u"\\Fuzz");
        built->AddBuiltinFileTypes();
        return built;
    }();
    return *table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    std::size_t split = (data[0] | (data[1] << 8)) % (size - 1);
    const std::uint8_t* signatures = data + 2;
    const std::size_t signatureBytes = split;
    const std::size_t unitBytes = std::min(size - 2 - split, kUnitSize);

    std::vector<std::uint8_t> stored(kFileTypeImageSize, 0);
    stored[526] = 0xFF;  // as many signatures as the bytes hold
    stored[527] = 0xFF;
    stored.insert(stored.end(), signatures, signatures + signatureBytes);
    std::unique_ptr<CFileType> type = CFileType::FromStoredForm(stored);

    std::vector<std::uint8_t> unit(signatures + signatureBytes, signatures + signatureBytes + unitBytes);
    if (type) type->Matches(unit);
    builtinTable().MatchUnit(unit);
    if (unit.size() == kUnitSize && type) type->Match(unit.data());
    return 0;
}
