#include "wizard/model/formats/data_storage.h"

#include <mutex>

#include "wizard/model/formats/builtin_formats.h"
#include "wizard/model/formats/format_text.h"

std::unique_ptr<TDataStorage> DataStorage;

const TFormat* TDataStorage::At(std::optional<std::size_t> index) const {
    return index ? &formats_[*index] : nullptr;
}

const TFormat* TDataStorage::FindByTitle(std::string_view title) const {
    return At(index_.ByTitle(NormalizeFormatText(title)));
}

const TFormat* TDataStorage::FindByExtension(std::string_view extension) const {
    std::string normalized = NormalizeFormatText(extension);
    if (!normalized.empty() && normalized.front() == '.') normalized.erase(0, 1);
    if (normalized.empty()) return nullptr;
    return At(index_.ByExtension(normalized));
}

const TFormat* TDataStorage::FindBySignatureId(std::int32_t id) const {
    return At(index_.BySignatureId(id));
}

bool TDataStorage::IsExtensionSearched(std::string_view extension) const {
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    const TFormat* format = FindByExtension(extension);
    return format != nullptr && format->Search;
}

bool TDataStorage::NoFormatSelected() const {
    for (std::size_t i = 0; i < formats_.Count(); ++i) {
        if (formats_[i].Search) return false;
    }
    return true;
}

bool TDataStorage::NeedsDefault(bool force, std::string_view title) const {
    return force || FindByTitle(title) == nullptr;
}

std::optional<std::size_t> TDataStorage::IndexOf(const TFormat* format) const {
    for (std::size_t i = 0; i < formats_.Count(); ++i) {
        if (&formats_[i] == format) return i;
    }
    return std::nullopt;
}

std::optional<TFormat> TDataStorage::CopyBySignatureId(std::int32_t id) const {
    return ReadBySignatureId(id, [](const TFormat& format) { return format; });
}

std::optional<TFormat> TDataStorage::CopyByExtension(std::string_view extension) const {
    return ReadByExtension(extension, [](const TFormat& format) { return format; });
}

// Built-in titles differ from each other, so the index of the list before the loop
// answers NeedsDefault for every row.
void TDataStorage::AppendDefaults(bool force) {
    for (const BuiltinFormat& row : kBuiltinFormats) {
        if (NeedsDefault(force, row.Title)) formats_.Add(row.ToFormat());
    }
    index_.Rebuild(formats_);
}

void TDataStorage::AddDefaultFormats(bool force) {
    std::unique_lock lock(lock_);
    AppendDefaults(force);
}

void TDataStorage::AppendFormat(TFormat format) {
    std::unique_lock lock(lock_);
    formats_.Add(std::move(format));
    index_.Rebuild(formats_);
    modified_ = true;
}

void TDataStorage::ChangeFormat(std::size_t index, TFormat format) {
    std::unique_lock lock(lock_);
    formats_.At(index) = std::move(format);
    index_.Rebuild(formats_);
    modified_ = true;
}

void TDataStorage::SetSessionSize(std::size_t index, std::int32_t sizeKb) {
    std::unique_lock lock(lock_);
    formats_.At(index).SessionSizeKb = sizeKb;
}

void TDataStorage::SetSearch(std::size_t index, bool search) {
    std::unique_lock lock(lock_);
    formats_.At(index).Search = search;
    modified_ = true;
}
