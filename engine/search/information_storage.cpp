#include "engine/search/information_storage.h"

#include <utility>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/byte_order.h"

namespace {

constexpr std::u16string_view kExtensionTrim = u",; *.";
constexpr std::u16string_view kExtensionSeparators = u",;";
constexpr std::int32_t kDefaultSecondSize = 50;

struct CategoryNode {
    std::int32_t code;
    std::u16string_view name;
};

constexpr CategoryNode kCategoryNodes[] = {
    {-148, u"Japan Documents"}, {-80, u"Executable"},
    {-144, u"Documents"},       {-147, u"Text Documents"},
    {-146, u"Microsoft Office Documents"}, {-145, u"Misc Documents"},
    {-48, u"Archives"},         {-64, u"Databases"},
    {-115, u"Images"},          {-117, u"Fotos"},
    {-120, u"Video"},           {-122, u"Audio"},
    {-112, u"Media"},           {-128, u"Mobile"},
};

std::u16string asciiUpper(std::u16string_view text) {
    std::u16string upper(text);
    for (char16_t& c : upper) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return upper;
}

std::u16string_view trimExtension(std::u16string_view text) {
    std::size_t first = text.find_first_not_of(kExtensionTrim);
    if (first == std::u16string_view::npos) return {};
    std::size_t last = text.find_last_not_of(kExtensionTrim);
    return text.substr(first, last - first + 1);
}

}  // namespace

CInformationStorage::CInformationStorage(std::u16string baseKey) : baseKey_(std::move(baseKey)) {}

CFileType* CInformationStorage::AddFileType(std::int32_t categoryCode, std::uint16_t signatureId,
                                            std::int32_t defaultSizeKb, std::int32_t secondSize,
                                            std::u16string_view name, std::u16string_view description,
                                            std::u16string_view categoryText,
                                            std::u16string_view namePrefix,
                                            std::u16string_view extension,
                                            std::u16string_view extensionList) {
    auto type = std::make_unique<CFileType>();
    FileTypeImage& image = type->image();
    image.Enabled = 1;
    image.Reserved1 = 0;
    image.Reserved2 = 1;
    image.CategoryCode = categoryCode;
    image.SignatureId = signatureId;
    image.DefaultSizeKb = defaultSizeKb;
    image.SecondSize = secondSize == 0 ? kDefaultSecondSize : secondSize;
    setImageText(image.Description, description);
    setImageText(image.CategoryText, categoryText);
    setImageText(image.NamePrefix, namePrefix);
    setImageText(image.Extension, extension);
    setImageText(image.ExtensionList, extensionList);
    setImageText(image.Name, name.empty() ? extension : name);
    return RegisterFileType(std::move(type));
}

// No shell icon service here: a type's icon stays empty.
CFileType* CInformationStorage::RegisterFileType(std::unique_ptr<CFileType> type) {
    if (!type) return nullptr;
    types_.push_back(std::move(type));
    return types_.back().get();
}

CFileType* CInformationStorage::FindFileType(std::uint16_t id) const {
    for (const auto& type : types_) {
        if (type->signatureId() == id) return type.get();
    }
    return defaultType_;
}

CFileType* CInformationStorage::GetFileType(std::uint16_t& typeCode, const char16_t* fileName) const {
    if (typeCode != 0) {
        if (CFileType* type = FindFileType(typeCode)) return type;
    }
    if (fileName == nullptr) return defaultType_;
    std::u16string_view name(fileName);
    std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) return nullptr;
    auto found = extensionIndex_.find(asciiUpper(name.substr(dot + 1)));
    if (found == extensionIndex_.end()) return nullptr;
    typeCode = found->second->signatureId();
    return found->second;
}

CFileType* CInformationStorage::FindCategory(std::int32_t categoryCode) const {
    for (const auto& node : categories_) {
        if (node->categoryCode() == categoryCode) return node.get();
    }
    return nullptr;
}

const CFileType* CInformationStorage::MatchUnit(std::span<const std::uint8_t> unit) const {
    for (const auto& type : types_) {
        if (type->Matches(unit)) return type.get();
    }
    return nullptr;
}

void CInformationStorage::AddFileCategories() {
    categories_.clear();
    for (const CategoryNode& node : kCategoryNodes) {
        categories_.push_back(std::make_unique<CFileType>(node.code, node.name));
    }
    extensionIndex_.clear();
    for (const auto& type : types_) {
        IndexExtensions(type->extension(), type.get());
        std::u16string_view list = type->extensionList();
        std::size_t separator;
        while ((separator = list.find_first_of(kExtensionSeparators)) != std::u16string_view::npos) {
            IndexExtensions(list.substr(0, separator), type.get());
            list.remove_prefix(separator);
            std::size_t next = list.find_first_not_of(kExtensionTrim);
            list.remove_prefix(next == std::u16string_view::npos ? list.size() : next);
        }
        IndexExtensions(list, type.get());
    }
}

void CInformationStorage::IndexExtensions(std::u16string_view text, CFileType* type) {
    std::u16string_view trimmed = trimExtension(text);
    if (trimmed.empty()) return;
    // Keys are upper case, so an upper-case key equals any spelling of it.
    extensionIndex_.try_emplace(asciiUpper(trimmed), type);
}

bool CInformationStorage::ApplyStoredType(std::span<const std::uint8_t> stored) {
    if (stored.size() < kFileTypeImageSize) return false;
    auto id = engine::loadLittleEndian<std::uint16_t>(stored.data() + offsetof(FileTypeImage, SignatureId));
    if (CFileType* known = FindFileType(id)) return known->CopyImage(stored.data()) == 1;
    return RegisterFileType(CFileType::FromStoredForm(stored)) != nullptr;
}

UNDELETE_API CInformationStorage* GetObjectInformatinStorage() {
    return engine::state().types.get();
}

UNDELETE_API int TryDetectFileType(FoundFileRecord* record) {
    return record != nullptr && record->TypeCode != 0 ? 1 : 0;
}
