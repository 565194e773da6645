// The registry copy of the type table: one binary value per type below the base key
// plus "\File Types", holding the type's stored form (image, then signatures). Texts,
// sizes and categories can be changed there, and types the built-in table does not know
// can be added. Registry failures are silent: the table built so far stays in use.

#include <algorithm>
#include <optional>
#include <string>
#include <variant>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/search/information_storage.h"
#include "engine/byte_order.h"
#include "platform/registry.h"

namespace {

constexpr std::u16string_view kFileTypesKey = u"\\File Types";
// What a reader of the copy accepts: longer names or data cannot be read whole.
constexpr std::size_t kMaxValueNameLength = 264;
constexpr std::size_t kMaxValueDataSize = 16383;
constexpr std::size_t kMaxValueCount = 32767;

std::u16string valueNameFor(std::uint16_t id) {
    std::string digits = std::to_string(id);
    return u"Type " + std::u16string(digits.begin(), digits.end());
}

// The stored form, or the image alone when the signatures would make it too large for
// a reader of the copy.
std::vector<std::uint8_t> storedFormToWrite(const CFileType& type) {
    std::vector<std::uint8_t> stored = type.StoredForm();
    if (stored.size() > kMaxValueDataSize) {
        Log(kLogWarning, "CFileType.SaveToRegistry: type %u: signatures too large, image only",
            unsigned{type.signatureId()});
        stored.resize(kFileTypeImageSize);
        engine::storeLittleEndian(stored.data() + offsetof(FileTypeImage, SignatureCount),
                                  std::int32_t{0});
    }
    return stored;
}

}  // namespace

std::u16string CInformationStorage::RegistryPath() const {
    return baseKey_ + std::u16string(kFileTypesKey);
}

int CFileType::SaveToRegistry(platform::RegistryKey& key) const {
    return key.writeBinary(valueNameFor(signatureId()), storedFormToWrite(*this)) ? 1 : 0;
}

int CInformationStorage::LoadFileTypes() {
    AddBuiltinFileTypes();
    std::optional<platform::RegistryKey> key = platform::RegistryKey::open(RegistryPath());
    if (!key) {
        SaveFileTypes();
    } else {
        std::vector<platform::RegistryValue> values = key->values();
        if (values.size() > kMaxValueCount) values.resize(kMaxValueCount);
        for (const platform::RegistryValue& value : values) {
            const auto* data = std::get_if<std::vector<std::uint8_t>>(&value.data);
            if (data == nullptr || value.name.size() > kMaxValueNameLength ||
                data->size() > kMaxValueDataSize) {
                continue;
            }
            ApplyStoredType(*data);
        }
    }
    AddFileCategories();
    return 1;
}

// Every write replaces the key's file: the changed values go out together, and a run
// that changed nothing writes nothing.
int CInformationStorage::SaveFileTypes() const {
    std::optional<platform::RegistryKey> key = platform::RegistryKey::create(RegistryPath());
    if (!key) return 1;
    const std::vector<platform::RegistryValue> present = key->values();
    std::vector<platform::RegistryValue> changes;
    for (const auto& type : types_) {
        platform::RegistryValue value{valueNameFor(type->signatureId()), storedFormToWrite(*type)};
        if (std::find(present.begin(), present.end(), value) == present.end()) {
            changes.push_back(std::move(value));
        }
    }
    if (!changes.empty()) key->writeAll(changes);
    return 1;
}
