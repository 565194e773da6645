// The format list's stored form: "\FileFormats" holds one sub-key per format.

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/model/formats/format_key_names.h"
#include "wizard/model/formats/format_values.h"

namespace {

using platform::RegistryKey;

std::u16string SubKeyPath(const RegistryKey& key, const std::u16string& name) {
    return key.path() + u"\\" + name;
}

}  // namespace

// Stored formats in the store's order, then every built-in whose title none of them has.
void TDataStorage::LoadFromRegistry() {
    std::vector<TFormat> stored;
    if (const std::optional<RegistryKey> key = RegistryKey::open(kFileFormatsKey)) {
        for (const std::u16string& name : key->subKeyNames()) {
            if (const auto format = RegistryKey::open(SubKeyPath(*key, name))) {
                stored.push_back(ReadFormat(*format));
            }
        }
    }
    std::unique_lock lock(lock_);
    for (TFormat& format : stored) formats_.Add(std::move(format));
    index_.Rebuild(formats_);
    AppendDefaults(false);
}

// Sub-keys that no format owns go only once every format is written, so a store that
// refuses writes keeps what it had.
bool TDataStorage::SaveToRegistry() const {
    if (!modified_) return true;
    std::optional<RegistryKey> key = RegistryKey::create(kFileFormatsKey);
    if (!key) return false;
    const std::vector<std::u16string> names = FormatKeyNames(formats_);
    bool written = true;
    for (std::size_t i = 0; i < formats_.Count(); ++i) {
        std::optional<RegistryKey> format = RegistryKey::create(SubKeyPath(*key, names[i]));
        written = format && format->writeAll(FormatValues(formats_[i])) && written;
    }
    if (!written) return false;
    for (const std::u16string& present : key->subKeyNames()) {
        bool owned = false;
        for (const std::u16string& name : names) owned = owned || platform::equalsIgnoreCase(present, name);
        if (!owned) written = RegistryKey::remove(SubKeyPath(*key, present)) && written;
    }
    return written;
}

bool TDataStorage::ClearStored() const {
    std::optional<RegistryKey> key = RegistryKey::create(kFileFormatsKey);
    if (!key) return false;
    bool cleared = true;
    for (const std::u16string& name : key->subKeyNames()) {
        cleared = RegistryKey::remove(SubKeyPath(*key, name)) && cleared;
    }
    return cleared;
}

bool TDataStorage::ResetToDefaults() {
    {
        std::unique_lock lock(lock_);
        formats_.Clear();
        AppendDefaults(true);
    }
    const bool cleared = ClearStored();
    return SaveToRegistry() && cleared;
}
