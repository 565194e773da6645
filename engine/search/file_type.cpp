#include "engine/search/file_type.h"

#include <algorithm>
#include <cstring>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/byte_order.h"

namespace {

// Forces the last unit of every text field to NUL, so that a stored text without a
// terminator ends at its field.
void terminateTexts(FileTypeImage& image) {
    image.Extension[std::size(image.Extension) - 1] = 0;
    image.ExtensionList[std::size(image.ExtensionList) - 1] = 0;
    image.Description[std::size(image.Description) - 1] = 0;
    image.CategoryText[std::size(image.CategoryText) - 1] = 0;
    image.Name[std::size(image.Name) - 1] = 0;
    image.NamePrefix[std::size(image.NamePrefix) - 1] = 0;
}

}  // namespace

void setImageText(char16_t* field, std::size_t capacity, std::u16string_view text) {
    if (capacity == 0) return;
    std::size_t length = std::min(text.size(), capacity - 1);
    std::fill(field, field + capacity, u'\0');
    std::copy_n(text.data(), length, field);
}

CFileType::CFileType() { std::memset(&image_, 0, sizeof image_); }

CFileType::CFileType(std::int32_t categoryCode, std::u16string_view name) : CFileType() {
    image_.CategoryCode = categoryCode;
    setImageText(image_.Name, name);
    isCategory_ = true;
}

std::unique_ptr<CFileType> CFileType::FromStoredForm(std::span<const std::uint8_t> stored) {
    if (stored.size() < kFileTypeImageSize) return nullptr;
    auto type = std::make_unique<CFileType>();
    type->CopyImage(stored.data());

    const std::int32_t declared = engine::loadLittleEndian<std::int32_t>(
        stored.data() + offsetof(FileTypeImage, SignatureCount));
    std::span<const std::uint8_t> rest = stored.subspan(kFileTypeImageSize);
    for (std::int32_t index = 0; index < declared && !rest.empty(); ++index) {
        std::size_t consumed = 0;
        std::optional<CFileSignature> signature = CFileSignature::FromStoredForm(rest, consumed);
        if (signature) {
            type->signatures_.push_back(std::move(*signature));
        } else {
            Log(kLogWarning, "CFileType.LoadImage: type %u: signature %d dropped",
                unsigned{type->signatureId()}, index);
        }
        if (consumed == 0) {
            Log(kLogWarning, "CFileType.LoadImage: type %u: stored signatures cut short",
                unsigned{type->signatureId()});
            break;
        }
        rest = rest.subspan(consumed);
    }
    type->image_.SignatureCount = static_cast<std::int32_t>(type->signatures_.size());
    return type;
}

int CFileType::CopyImage(const void* image) {
    if (image == nullptr) return 0;
    std::memcpy(&image_, image, sizeof image_);
    terminateTexts(image_);
    image_.SignatureCount = static_cast<std::int32_t>(signatures_.size());
    return 1;
}

CFileSignature* CFileType::AddSignature(std::uint32_t kind, const void* value, std::int32_t offset,
                                        std::uint16_t length, std::uint16_t repeat) {
    CFileSignature& signature = signatures_.emplace_back();
    signature.AddCondition(kind, value, offset, length, repeat);
    image_.SignatureCount = static_cast<std::int32_t>(signatures_.size());
    return &signature;
}

CFileSignature* CFileType::AddSignature8(std::uint8_t value, std::int32_t offset, std::uint16_t repeat) {
    return AddSignature(kConditionUint8, &value, offset, 1, repeat);
}

CFileSignature* CFileType::AddSignature16(std::uint16_t value, std::int32_t offset, std::uint16_t repeat) {
    std::uint8_t bytes[2];
    engine::storeLittleEndian(bytes, value);
    return AddSignature(kConditionUint16, bytes, offset, 2, repeat);
}

CFileSignature* CFileType::AddSignature32(std::uint32_t value, std::int32_t offset, std::uint16_t repeat) {
    std::uint8_t bytes[4];
    engine::storeLittleEndian(bytes, value);
    return AddSignature(kConditionUint32, bytes, offset, 4, repeat);
}

CFileSignature* CFileType::AddSignature64(std::uint64_t value, std::int32_t offset, std::uint16_t repeat) {
    std::uint8_t bytes[8];
    engine::storeLittleEndian(bytes, value);
    return AddSignature(kConditionUint64, bytes, offset, 8, repeat);
}

int CFileType::Match(const std::uint8_t* unit) const {
    if (unit == nullptr) return 0;
    return Matches({unit, kUnitSize}) ? 1 : 0;
}

int CFileType::MatchSignature(const std::uint8_t* unit, const CFileSignature& signature) const {
    if (unit == nullptr) return 0;
    return signature.IsMet({unit, kUnitSize}) ? 1 : 0;
}

bool CFileType::Matches(std::span<const std::uint8_t> unit) const {
    return std::any_of(signatures_.begin(), signatures_.end(),
                       [unit](const CFileSignature& s) { return s.IsMet(unit); });
}

std::vector<std::uint8_t> CFileType::StoredForm() const {
    std::vector<std::uint8_t> out(kFileTypeImageSize);
    std::memcpy(out.data(), &image_, kFileTypeImageSize);
    engine::storeLittleEndian(out.data() + offsetof(FileTypeImage, SignatureCount),
                              static_cast<std::int32_t>(signatures_.size()));
    for (const CFileSignature& signature : signatures_) signature.AppendStoredForm(out);
    return out;
}

int CFileType::Serialize(void* buffer, int capacity) const {
    std::vector<std::uint8_t> stored = StoredForm();
    const int size = static_cast<int>(stored.size());
    if (buffer != nullptr && capacity >= size) std::memcpy(buffer, stored.data(), stored.size());
    return size;
}
