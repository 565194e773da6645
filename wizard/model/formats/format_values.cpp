#include "wizard/model/formats/format_values.h"

#include <optional>
#include <string>
#include <variant>

#include "platform/text.h"

namespace {

using platform::RegistryValue;

// One stored value: its name and the field it holds.
template <typename Field>
struct Slot {
    std::u16string_view name;
    Field TFormat::*field;
};

constexpr Slot<bool> kSearch{u"Search", &TFormat::Search};
constexpr Slot<std::int32_t> kDefaultSizeKb{u"DefaultSizeKb", &TFormat::DefaultSizeKb};
constexpr Slot<std::int32_t> kRecoveryOrder{u"RecoveryOrder", &TFormat::RecoveryOrder};
constexpr Slot<std::string> kFilePrefix{u"FilePrefix", &TFormat::FilePrefix};
constexpr Slot<std::string> kTitle{u"Title", &TFormat::Title};
constexpr Slot<std::string> kCategory{u"Category", &TFormat::Category};
constexpr Slot<std::string> kFileExtensions{u"FileExtensions", &TFormat::FileExtensions};
constexpr Slot<std::string> kDefaultExtension{u"DefaultExtension", &TFormat::DefaultExtension};
constexpr Slot<std::string> kDescription{u"Description", &TFormat::Description};
constexpr Slot<std::int32_t> kSignatureId{u"SignatureId", &TFormat::SignatureId};
constexpr Slot<bool> kPreviewAvailable{u"PreviewAvailable", &TFormat::PreviewAvailable};
constexpr Slot<bool> kDeleted{u"Deleted", &TFormat::Deleted};

// Applies `visit` to every slot in the stored order.
template <typename Visit>
void ForEachSlot(Visit visit) {
    visit(kSearch);
    visit(kDefaultSizeKb);
    visit(kRecoveryOrder);
    visit(kFilePrefix);
    visit(kTitle);
    visit(kCategory);
    visit(kFileExtensions);
    visit(kDefaultExtension);
    visit(kDescription);
    visit(kSignatureId);
    visit(kPreviewAvailable);
    visit(kDeleted);
}

platform::RegistryData Stored(bool value) { return std::uint32_t{value ? 1u : 0u}; }
platform::RegistryData Stored(std::int32_t value) { return static_cast<std::uint32_t>(value); }
platform::RegistryData Stored(const std::string& value) { return platform::toUtf16(value); }

using StoredValues = std::vector<RegistryValue>;

// The value of that name and type; names match case-insensitively, as in the store.
template <typename Data>
const Data* Find(const StoredValues& values, std::u16string_view name) {
    for (const RegistryValue& value : values) {
        if (platform::equalsIgnoreCase(value.name, name)) return std::get_if<Data>(&value.data);
    }
    return nullptr;
}

void Load(const StoredValues& values, Slot<bool> slot, TFormat& format) {
    if (const auto* value = Find<std::uint32_t>(values, slot.name)) format.*slot.field = *value != 0;
}
void Load(const StoredValues& values, Slot<std::int32_t> slot, TFormat& format) {
    if (const auto* value = Find<std::uint32_t>(values, slot.name)) {
        format.*slot.field = static_cast<std::int32_t>(*value);
    }
}
void Load(const StoredValues& values, Slot<std::string> slot, TFormat& format) {
    const auto* value = Find<std::u16string>(values, slot.name);
    format.*slot.field = value ? platform::toUtf8(*value) : std::string();
}

}  // namespace

std::vector<RegistryValue> FormatValues(const TFormat& format) {
    std::vector<RegistryValue> values;
    ForEachSlot([&](const auto& slot) {
        values.push_back(RegistryValue{std::u16string(slot.name), Stored(format.*slot.field)});
    });
    return values;
}

TFormat ReadFormat(const platform::RegistryKey& key) {
    const StoredValues values = key.values();  // one read of the key's file
    TFormat format;
    ForEachSlot([&](const auto& slot) { Load(values, slot, format); });
    return format;
}
