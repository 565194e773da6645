#pragma once
// Reads of single settings below the settings base key. Each opens its sub-key afresh,
// creating it when missing, and never fails: what cannot be read gives the default.
// Loading many values of one sub-key opens it once and reads through the overloads that
// take the open key, so that the key's file is read once.

#include <QString>

class TSafeRegistry;

// Where the program keeps its settings, below HKEY_CURRENT_USER.
inline constexpr char16_t kSettingsBaseKey[] = u"\\Software\\Kelvorin\\Pramblex\\3.0";

// The sub-key's full path: kSettingsBaseKey + subKey ("\Global").
QString SettingsKeyPath(const QString& subKey);

// Copies the binary value into `buffer` when it exists and holds at most `size` bytes;
// otherwise the buffer is left alone. Returns the number of bytes copied (0 when none).
int ReadBinarySetting(const QString& subKey, const QString& name, void* buffer, int size);

// The DWORD value (as a signed number), or `fallback` when it is missing, of another type
// or unreadable.
int ReadIntegerSetting(const QString& subKey, const QString& name, int fallback);

// The DWORD value read as non-zero = true, or `fallback` as above.
bool ReadBoolSetting(const QString& subKey, const QString& name, bool fallback);

// The string value, or `fallback` when it is missing or not a string.
QString ReadStringSetting(const QString& subKey, const QString& name, const QString& fallback);

// The same reads in a key that is already open.
int ReadBinarySetting(const TSafeRegistry& key, const QString& name, void* buffer, int size);
int ReadIntegerSetting(const TSafeRegistry& key, const QString& name, int fallback);
bool ReadBoolSetting(const TSafeRegistry& key, const QString& name, bool fallback);
QString ReadStringSetting(const TSafeRegistry& key, const QString& name, const QString& fallback);
