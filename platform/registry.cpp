#include "platform/registry.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/registry_storage.h"
#include "platform/registry_text.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using registry_detail::kValuesFileName;
using registry_detail::loadValues;
using registry_detail::sameName;
using registry_detail::saveValues;

// Held around every read-modify-write so that threads never lose each other's writes.
std::mutex& writeMutex() {
    static std::mutex mutex;
    return mutex;
}

std::optional<fs::path> rootFolder() {
    for (const char* variable : {"UNDELETE_REGISTRY", "XDG_CONFIG_HOME"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return fs::path(value);
        }
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return fs::path(home) / ".config";
    }
    return std::nullopt;
}

bool isUsableKeyName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos &&
           !sameName(name.substr(0, kValuesFileName.size()), kValuesFileName);
}

// The parts of a key path as UTF-8 folder names; nothing when any part is unusable.
std::optional<std::vector<std::string>> splitKeyPath(std::u16string_view path) {
    if (!path.empty() && path.front() == u'\\') {
        path.remove_prefix(1);
    }
    if (path.empty()) {
        return std::nullopt;
    }
    std::vector<std::string> parts;
    while (true) {
        const auto separator = path.find(u'\\');
        auto part = registry_detail::toUtf8Strict(path.substr(0, separator));
        if (!part || !isUsableKeyName(*part)) {
            return std::nullopt;
        }
        parts.push_back(std::move(*part));
        if (separator == std::u16string_view::npos) {
            return parts;
        }
        path.remove_prefix(separator + 1);
    }
}

bool isRealDirectory(const fs::directory_entry& entry) {
    std::error_code error;
    return entry.symlink_status(error).type() == fs::file_type::directory;
}

// The sub-folder of `folder` whose name matches `name` case-insensitively; the exact
// spelling wins, then the first by name. Symbolic links are not followed out of the tree.
std::optional<std::string> findSubFolder(const fs::path& folder, const std::string& name) {
    std::error_code error;
    std::optional<std::string> best;
    for (fs::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::string candidate = it->path().filename().string();
        if (!sameName(candidate, name) || !isRealDirectory(*it)) {
            continue;
        }
        if (candidate == name) {
            return candidate;
        }
        if (!best || candidate < *best) {
            best = std::move(candidate);
        }
    }
    return best;
}

struct ResolvedKey {
    std::u16string path;
    std::string folder;
};

std::optional<ResolvedKey> resolveKey(std::u16string_view path, bool createMissing) {
    const auto parts = splitKeyPath(path);
    const auto root = rootFolder();
    if (!parts || !root) {
        return std::nullopt;
    }
    std::error_code error;
    if (createMissing) {
        fs::create_directories(*root, error);
    }
    if (!fs::is_directory(*root, error)) {
        return std::nullopt;
    }
    fs::path folder = *root;
    ResolvedKey resolved;
    for (const auto& part : parts.value()) {
        auto found = findSubFolder(folder, part);
        if (!found && createMissing) {
            // Another thread or process may create it first; then its spelling stands.
            if (::mkdir((folder / part).c_str(), 0700) == 0 || errno == EEXIST) {
                found = findSubFolder(folder, part);
            }
        }
        if (!found) {
            return std::nullopt;
        }
        folder /= *found;
        if (!resolved.path.empty()) {
            resolved.path.push_back(u'\\');
        }
        // A folder that matched a well-formed name is itself well-formed.
        resolved.path += registry_detail::toUtf16Strict(*found).value_or(u"");
    }
    resolved.folder = folder.string();
    return resolved;
}

std::vector<RegistryValue>::iterator findValue(std::vector<RegistryValue>& values,
                                               std::u16string_view name) {
    return std::find_if(values.begin(), values.end(), [name](const RegistryValue& value) {
        return sameName(value.name, name);
    });
}

void setValue(std::vector<RegistryValue>& values, std::u16string_view name,
              const RegistryData& data) {
    const auto found = findValue(values, name);
    if (found != values.end()) {
        found->data = data;  // the first spelling and the place stay
    } else {
        values.push_back(RegistryValue{std::u16string(name), data});
    }
}

template <typename Change>
bool modifyValues(const std::string& folder, Change change) {
    std::lock_guard lock(writeMutex());
    auto values = loadValues(folder);
    return values && change(*values) && saveValues(folder, *values);
}

template <typename T>
std::optional<T> readAs(const RegistryKey& key, std::u16string_view name) {
    auto value = key.read(name);
    if (!value) {
        return std::nullopt;
    }
    if (auto* data = std::get_if<T>(&value->data)) {
        return std::move(*data);
    }
    return std::nullopt;
}

}  // namespace

RegistryType RegistryValue::type() const {
    if (std::holds_alternative<std::u16string>(data)) {
        return RegistryType::String;
    }
    if (std::holds_alternative<std::vector<std::uint8_t>>(data)) {
        return RegistryType::Binary;
    }
    if (std::holds_alternative<std::uint32_t>(data)) {
        return RegistryType::Dword;
    }
    return RegistryType::Qword;
}

RegistryKey::RegistryKey(std::u16string path, std::string folder)
    : path_(std::move(path)), folder_(std::move(folder)) {}

std::optional<RegistryKey> RegistryKey::open(std::u16string_view path) {
    auto resolved = resolveKey(path, false);
    if (!resolved) {
        return std::nullopt;
    }
    return RegistryKey(std::move(resolved->path), std::move(resolved->folder));
}

std::optional<RegistryKey> RegistryKey::create(std::u16string_view path) {
    auto resolved = resolveKey(path, true);
    if (!resolved) {
        return std::nullopt;
    }
    return RegistryKey(std::move(resolved->path), std::move(resolved->folder));
}

bool RegistryKey::remove(std::u16string_view path) {
    std::lock_guard lock(writeMutex());
    const auto resolved = resolveKey(path, false);
    if (!resolved) {
        return false;
    }
    std::error_code error;
    fs::remove_all(resolved->folder, error);
    return !error;
}

std::optional<RegistryValue> RegistryKey::read(std::u16string_view name) const {
    auto values = loadValues(folder_);
    if (!values) {
        return std::nullopt;
    }
    const auto found = findValue(*values, name);
    if (found == values->end()) {
        return std::nullopt;
    }
    return std::move(*found);
}

std::optional<std::uint32_t> RegistryKey::readDword(std::u16string_view name) const {
    return readAs<std::uint32_t>(*this, name);
}

std::optional<std::uint64_t> RegistryKey::readQword(std::u16string_view name) const {
    return readAs<std::uint64_t>(*this, name);
}

std::optional<std::u16string> RegistryKey::readString(std::u16string_view name) const {
    return readAs<std::u16string>(*this, name);
}

std::optional<std::vector<std::uint8_t>> RegistryKey::readBinary(
    std::u16string_view name) const {
    return readAs<std::vector<std::uint8_t>>(*this, name);
}

bool RegistryKey::write(std::u16string_view name, const RegistryData& data) {
    return modifyValues(folder_, [&](std::vector<RegistryValue>& values) {
        setValue(values, name, data);
        return true;
    });
}

bool RegistryKey::writeAll(const std::vector<RegistryValue>& changes) {
    return modifyValues(folder_, [&](std::vector<RegistryValue>& values) {
        for (const RegistryValue& change : changes) setValue(values, change.name, change.data);
        return true;
    });
}

bool RegistryKey::writeDword(std::u16string_view name, std::uint32_t value) {
    return write(name, RegistryData{value});
}

bool RegistryKey::writeQword(std::u16string_view name, std::uint64_t value) {
    return write(name, RegistryData{value});
}

bool RegistryKey::writeString(std::u16string_view name, std::u16string_view value) {
    return write(name, RegistryData{std::u16string(value)});
}

bool RegistryKey::writeBinary(std::u16string_view name, const std::vector<std::uint8_t>& value) {
    return write(name, RegistryData{value});
}

bool RegistryKey::removeValue(std::u16string_view name) {
    return modifyValues(folder_, [&](std::vector<RegistryValue>& values) {
        const auto found = findValue(values, name);
        if (found == values.end()) {
            return false;
        }
        values.erase(found);
        return true;
    });
}

std::vector<RegistryValue> RegistryKey::values() const {
    return loadValues(folder_).value_or(std::vector<RegistryValue>{});
}

std::vector<std::u16string> RegistryKey::subKeyNames() const {
    std::vector<std::u16string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder_, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!isRealDirectory(*it) || !isUsableKeyName(name)) {
            continue;
        }
        if (auto converted = registry_detail::toUtf16Strict(name)) {
            names.push_back(std::move(*converted));
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::u16string& a, const std::u16string& b) {
                  return registry_detail::nameLess(a, b);
              });
    return names;
}

}  // namespace platform
