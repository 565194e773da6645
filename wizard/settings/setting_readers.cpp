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
    return openSubKey(subKey).ReadBinaryData(name, buffer, size);
}

int ReadIntegerSetting(const QString& subKey, const QString& name, int fallback) {
    const auto value = openSubKey(subKey).ReadDword(name);
    return value ? static_cast<int>(*value) : fallback;
}

bool ReadBoolSetting(const QString& subKey, const QString& name, bool fallback) {
    const auto value = openSubKey(subKey).ReadDword(name);
    return value ? *value != 0 : fallback;
}

QString ReadStringSetting(const QString& subKey, const QString& name, const QString& fallback) {
    return openSubKey(subKey).ReadString(name).value_or(fallback);
}
