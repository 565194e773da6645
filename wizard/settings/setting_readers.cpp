#include "wizard/settings/setting_readers.h"

#include "wizard/settings/safe_registry.h"

namespace {

TSafeRegistry openSubKey(const QString& subKey) {
    TSafeRegistry registry;
    registry.OpenKey(SettingsKeyPath(subKey), true);
    return registry;
}

}  // namespace

QString SettingsKeyPath(const QString& subKey) {
    return QString::fromUtf16(kSettingsBaseKey) + subKey;
}

int ReadBinarySetting(const QString& subKey, const QString& name, void* buffer, int size) {
    return ReadBinarySetting(openSubKey(subKey), name, buffer, size);
}

int ReadIntegerSetting(const QString& subKey, const QString& name, int fallback) {
    return ReadIntegerSetting(openSubKey(subKey), name, fallback);
}

bool ReadBoolSetting(const QString& subKey, const QString& name, bool fallback) {
    return ReadBoolSetting(openSubKey(subKey), name, fallback);
}

QString ReadStringSetting(const QString& subKey, const QString& name, const QString& fallback) {
    return ReadStringSetting(openSubKey(subKey), name, fallback);
}

int ReadBinarySetting(const TSafeRegistry& key, const QString& name, void* buffer, int size) {
    return key.ReadBinaryData(name, buffer, size);
}

int ReadIntegerSetting(const TSafeRegistry& key, const QString& name, int fallback) {
    const auto value = key.ReadDword(name);
    return value ? static_cast<int>(*value) : fallback;
}

bool ReadBoolSetting(const TSafeRegistry& key, const QString& name, bool fallback) {
    const auto value = key.ReadDword(name);
    return value ? *value != 0 : fallback;
}

QString ReadStringSetting(const TSafeRegistry& key, const QString& name, const QString& fallback) {
    return key.ReadString(name).value_or(fallback);
}
