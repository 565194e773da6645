#pragma once
// The registry: a typed store of values (DWORD, QWORD, UTF-16 string, binary) under a
// tree of keys below HKEY_CURRENT_USER.
//
// On disk, HKEY_CURRENT_USER is the folder named by $UNDELETE_REGISTRY, else
// $XDG_CONFIG_HOME, else ~/.config. Each key below it is a sub-folder, and a key's values
// are one human-readable text file inside the key's folder, replaced atomically (written
// to a temporary file, then renamed). Key and value names match case-insensitively and
// keep the spelling they were created with. Values and sub-keys enumerate in a stable
// order: values in the order they were first written, sub-keys by name.
//
// A damaged values file never crashes a reader: what cannot be parsed reads as missing,
// and the damage is reported once per file on the diagnostics sink.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/api.h"

namespace platform {

// The value types with their registry type numbers.
enum class RegistryType : std::uint32_t { String = 1, Binary = 3, Dword = 4, Qword = 11 };

using RegistryData =
    std::variant<std::u16string, std::vector<std::uint8_t>, std::uint32_t, std::uint64_t>;

struct PLATFORM_API RegistryValue {
    std::u16string name;
    RegistryData data;

    RegistryType type() const;
    bool operator==(const RegistryValue&) const = default;
};

class PLATFORM_API RegistryKey {
public:
    // Key paths are relative to HKEY_CURRENT_USER, parts separated by backslashes; a
    // leading backslash is allowed ("\Software\Kelvorin\Pramblex\3.0").
    static std::optional<RegistryKey> open(std::u16string_view path);
    // Opens the key, creating it and every missing parent.
    static std::optional<RegistryKey> create(std::u16string_view path);
    // Deletes a key with all its values and sub-keys; false when it does not exist.
    static bool remove(std::u16string_view path);

    const std::u16string& path() const { return path_; }

    // Reads keep the stored type: a typed read of a value stored with another type gives
    // nothing.
    std::optional<RegistryValue> read(std::u16string_view name) const;
    std::optional<std::uint32_t> readDword(std::u16string_view name) const;
    std::optional<std::uint64_t> readQword(std::u16string_view name) const;
    std::optional<std::u16string> readString(std::u16string_view name) const;
    std::optional<std::vector<std::uint8_t>> readBinary(std::u16string_view name) const;

    // A write replaces a value of the same name whatever its type. False when the key's
    // file cannot be written.
    bool write(std::u16string_view name, const RegistryData& data);
    bool writeDword(std::u16string_view name, std::uint32_t value);
    bool writeQword(std::u16string_view name, std::uint64_t value);
    bool writeString(std::u16string_view name, std::u16string_view value);
    bool writeBinary(std::u16string_view name, const std::vector<std::uint8_t>& value);
    // Writes several values with one replacement of the key's file.
    bool writeAll(const std::vector<RegistryValue>& values);
    bool removeValue(std::u16string_view name);

    std::vector<RegistryValue> values() const;
    std::vector<std::u16string> subKeyNames() const;

private:
    RegistryKey(std::u16string path, std::string folder);

    std::u16string path_;
    std::string folder_;
};

// Where damage found in a values file is reported: one line naming the file and what was
// wrong. The default writes to stderr.
PLATFORM_API void setRegistryDiagnostics(std::function<void(const std::string&)> sink);

}  // namespace platform
