#include "wizard/settings/safe_registry.h"

#include <cstring>

std::u16string ToRegistryText(const QString& text) { return text.toStdU16String(); }

bool TSafeRegistry::OpenKey(const QString& path, bool canCreate) {
    const std::u16string keyPath = ToRegistryText(path);
    key_ = canCreate ? platform::RegistryKey::create(keyPath) : platform::RegistryKey::open(keyPath);
    return key_.has_value();
}

std::optional<std::uint32_t> TSafeRegistry::ReadDword(const QString& name) const {
    if (!key_) return std::nullopt;
    return key_->readDword(ToRegistryText(name));
}

std::optional<QString> TSafeRegistry::ReadString(const QString& name) const {
    if (!key_) return std::nullopt;
    const auto text = key_->readString(ToRegistryText(name));
    if (!text) return std::nullopt;
    return QString::fromStdU16String(*text);
}

int TSafeRegistry::ReadBinaryData(const QString& name, void* buffer, int size) const {
    if (!key_ || buffer == nullptr || size < 0) return 0;
    const auto bytes = key_->readBinary(ToRegistryText(name));
    if (!bytes || bytes->size() > static_cast<std::size_t>(size)) return 0;
    if (!bytes->empty()) std::memcpy(buffer, bytes->data(), bytes->size());
    return static_cast<int>(bytes->size());
}

bool TSafeRegistry::WriteBinaryData(const QString& name, const void* buffer, int size) {
    if (!key_ || size < 0 || (buffer == nullptr && size > 0)) return false;
    const auto* first = static_cast<const std::uint8_t*>(buffer);
    return key_->writeBinary(ToRegistryText(name), std::vector<std::uint8_t>(first, first + size));
}

bool TSafeRegistry::WriteAll(const std::vector<platform::RegistryValue>& values) {
    return key_ && key_->writeAll(values);
}
