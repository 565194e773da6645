// Stored type values as the registry copy holds them: loading never reads past the
// value, and whatever loads stores and loads again to the same bytes.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "engine/search/information_storage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> stored(data, size);

    std::unique_ptr<CFileType> type = CFileType::FromStoredForm(stored);
    if (type) {
        std::vector<std::uint8_t> again = type->StoredForm();
        std::unique_ptr<CFileType> reloaded = CFileType::FromStoredForm(again);
        if (!reloaded || reloaded->StoredForm() != again) std::abort();
    }

    CInformationStorage table(u"\\Fuzz");
    table.AddBuiltinFileTypes();
    table.ApplyStoredType(stored);
    table.AddFileCategories();
    std::uint16_t code = 0;
    table.GetFileType(code, u"sample.pdf");
    if (type && table.FindFileType(type->signatureId()) == nullptr) std::abort();
    return 0;
}
