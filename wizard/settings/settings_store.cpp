#include "wizard/settings/settings_store.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

#include "wizard/settings/safe_registry.h"
#include "wizard/settings/setting_readers.h"
#include "wizard/settings/settings_table.h"
#include "wizard/utilities/known_folders.h"

namespace {

template <class... Visitors>
struct Overloaded : Visitors... {
    using Visitors::operator()...;
};

constexpr std::size_t kDateTimeSize = 8;

int withinRange(const IntegerSetting& setting, int stored) {
    if (stored >= setting.minimum && stored <= setting.maximum) return stored;
    if (setting.outOfRange == OutOfRange::UseDefault) return setting.fallback;
    return std::clamp(stored, setting.minimum, setting.maximum);
}

// A date-time is stored as the little-endian bytes of its double.
std::vector<std::uint8_t> dateTimeBytes(TDateTime value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    std::vector<std::uint8_t> bytes(kDateTimeSize);
    for (std::size_t i = 0; i < kDateTimeSize; ++i) bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return bytes;
}

std::optional<TDateTime> readDateTime(const TSafeRegistry& key, const QString& name) {
    std::array<std::uint8_t, kDateTimeSize> bytes{};
    if (ReadBinarySetting(key, name, bytes.data(), kDateTimeSize) != kDateTimeSize) {
        return std::nullopt;
    }
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < kDateTimeSize; ++i) bits |= std::uint64_t{bytes[i]} << (8 * i);
    const auto value = std::bit_cast<TDateTime>(bits);
    if (!IsValidDateTime(value)) return std::nullopt;
    return value;
}

void loadOne(const SettingDefinition& definition, const TSafeRegistry& key,
             const QString& targetFolder, SettingsValues& values) {
    const QString name = QString::fromUtf16(definition.name);
    std::visit(Overloaded{
                   [&](const IntegerSetting& s) {
                       values.*s.field =
                           withinRange(s, ReadIntegerSetting(key, name, s.fallback));
                   },
                   [&](const BoolSetting& s) {
                       values.*s.field = ReadBoolSetting(key, name, s.fallback);
                   },
                   [&](const StringSetting& s) {
                       QString fallback = QString::fromUtf16(s.text);
                       if (s.fallback == StringDefault::CurrentValue) fallback = values.*s.field;
                       if (s.fallback == StringDefault::TargetFolder) fallback = targetFolder;
                       values.*s.field = ReadStringSetting(key, name, fallback);
                   },
                   [&](const DateTimeSetting& s) {
                       if (const auto stored = readDateTime(key, name)) values.*s.field = *stored;
                   },
               },
               definition.value);
}

platform::RegistryData storedForm(const SettingDefinition& definition,
                                  const SettingsValues& values) {
    return std::visit(
        Overloaded{
            [&](const IntegerSetting& s) -> platform::RegistryData {
                return static_cast<std::uint32_t>(values.*s.field);
            },
            [&](const BoolSetting& s) -> platform::RegistryData {
                return std::uint32_t{values.*s.field ? 1u : 0u};
            },
            [&](const StringSetting& s) -> platform::RegistryData {
                return ToRegistryText(values.*s.field);
            },
            [&](const DateTimeSetting& s) -> platform::RegistryData {
                return dateTimeBytes(values.*s.field);
            },
        },
        definition.value);
}

bool saveGroup(SettingsGroup group, const SettingsValues& values) {
    const QString path = SettingsKeyPath(SubKeyOf(group));
    bool saved = false;
    try {
        std::vector<platform::RegistryValue> stored;
        for (const SettingDefinition& definition : SettingsTable()) {
            if (definition.group != group) continue;
            stored.push_back({definition.name, storedForm(definition, values)});
        }
        TSafeRegistry registry;
        saved = registry.OpenKey(path, true) && registry.WriteAll(stored);
    } catch (const std::exception& error) {
        qWarning("Saving the settings failed: %s", error.what());
    }
    if (!saved) qWarning("The settings could not be saved under %s", qUtf8Printable(path));
    return saved;
}

}  // namespace

// Each sub-key is opened (and created) once, so its file is read once.
void LoadSettings(SettingsValues& values) {
    const QString targetFolder = DefaultTargetFolder();
    std::optional<SettingsGroup> openGroup;
    TSafeRegistry key;
    for (const SettingDefinition& definition : SettingsTable()) {
        if (definition.group != openGroup) {
            openGroup = definition.group;
            key.OpenKey(SettingsKeyPath(SubKeyOf(definition.group)), true);
        }
        loadOne(definition, key, targetFolder, values);
    }
}

void LoadSettings() { LoadSettings(Settings()); }

bool SaveSettings(const SettingsValues& values) {
    const bool global = saveGroup(SettingsGroup::Global, values);
    const bool recovery = saveGroup(SettingsGroup::Recovery, values);
    return global && recovery;
}

bool SaveSettings() { return SaveSettings(Settings()); }
