#include "wizard/settings/safe_registry.h"

#include <algorithm>
#include <cstring>
#include <variant>

#include "platform/text.h"

std::u16string ToRegistryText(const QString& text) { return text.toStdU16String(); }

bool TSafeRegistry::OpenKey(const QString& path, bool canCreate) {
    const std::u16string keyPath = ToRegistryText(path);
    key_ = canCreate ? platform::RegistryKey::create(keyPath) : platform::RegistryKey::open(keyPath);
    values_.reset();
    return key_.has_value();
}

template <typename Data>
std::optional<Data> TSafeRegistry::Read(const QString& name) const {
    if (!key_) return std::nullopt;
    if (!values_) values_ = key_->values();
    const std::u16string wanted = ToRegistryText(name);
    const auto found = std::find_if(values_->begin(), values_->end(), [&](const platform::RegistryValue& value) {
        return platform::equalsIgnoreCase(value.name, wanted);
    });
    if (found == values_->end()) return std::nullopt;
    const Data* data = std::get_if<Data>(&found->data);
    return data ? std::optional<Data>(*data) : std::nullopt;
}

std::optional<std::uint32_t> TSafeRegistry::ReadDword(const QString& name) const {
    return Read<std::uint32_t>(name);
}

std::optional<QString> TSafeRegistry::ReadString(const QString& name) const {
    const auto text = Read<std::u16string>(name);
    if (!text) return std::nullopt;
    return QString::fromStdU16String(*text);
}

int TSafeRegistry::ReadBinaryData(const QString& name, void* buffer, int size) const {
    if (buffer == nullptr || size < 0) return 0;
    const auto bytes = Read<std::vector<std::uint8_t>>(name);
    if (!bytes || bytes->size() > static_cast<std::size_t>(size)) return 0;
    if (!bytes->empty()) std::memcpy(buffer, bytes->data(), bytes->size());
    return static_cast<int>(bytes->size());
}

bool TSafeRegistry::WriteBinaryData(const QString& name, const void* buffer, int size) {
    if (!key_ || size < 0 || (buffer == nullptr && size > 0)) return false;
    const auto* first = static_cast<const std::uint8_t*>(buffer);
    values_.reset();
    return key_->writeBinary(ToRegistryText(name), std::vector<std::uint8_t>(first, first + size));
}

bool TSafeRegistry::WriteAll(const std::vector<platform::RegistryValue>& values) {
    values_.reset();
    return key_ && key_->writeAll(values);
}
