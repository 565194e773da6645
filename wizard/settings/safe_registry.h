#pragma once
// The registry accessor through which every setting is read and written: one key below
// HKEY_CURRENT_USER at a time, and no operation that fails loudly. The key's values are
// read from the store once, at the first read, and read again only after a write.

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/registry.h"

class TSafeRegistry {
public:
    // Opens the key (a path such as "\Software\Kelvorin\Pramblex\3.0\Global"), creating
    // it and its parents when `canCreate`; false when it cannot be opened.
    bool OpenKey(const QString& path, bool canCreate);

    // Typed reads of the open key: nothing when no key is open, the value is missing or
    // is stored with another type.
    std::optional<std::uint32_t> ReadDword(const QString& name) const;
    std::optional<QString> ReadString(const QString& name) const;

    // Copies a binary value of at most `size` bytes into `buffer` and returns its length;
    // 0, leaving the buffer alone, on any failure (also for a longer value).
    int ReadBinaryData(const QString& name, void* buffer, int size) const;
    // False instead of failing.
    bool WriteBinaryData(const QString& name, const void* buffer, int size);

    // Writes the values with one replacement of the key's file; false when no key is
    // open or the file cannot be written.
    bool WriteAll(const std::vector<platform::RegistryValue>& values);

private:
    // The value of that name and type, from the values read once.
    template <typename Data>
    std::optional<Data> Read(const QString& name) const;

    std::optional<platform::RegistryKey> key_;
    mutable std::optional<std::vector<platform::RegistryValue>> values_;
};

// The registry's form of a name or text.
std::u16string ToRegistryText(const QString& text);
