#pragma once
// The table of file types that the signature search recognises. Its order is the search
// order: the first type whose signature matches a unit names the hit. Built once by
// Library_Initialize (built-in types, then the registry copy over them) and only read
// afterwards, so readers on several threads need no lock.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/search/file_type.h"

class CInformationStorage {
public:
    // `baseKey` is the caller's registry key; the table keeps its copy below it.
    explicit CInformationStorage(std::u16string baseKey);

    std::size_t count() const { return types_.size(); }
    const std::u16string& baseKey() const { return baseKey_; }
    const std::vector<std::unique_ptr<CFileType>>& types() const { return types_; }
    const std::vector<std::unique_ptr<CFileType>>& categories() const { return categories_; }
    const std::map<std::u16string, CFileType*>& extensionIndex() const { return extensionIndex_; }

    // A new type appended to the table. `secondSize` 0 becomes 50; an empty `name`
    // becomes the extension.
    CFileType* AddFileType(std::int32_t categoryCode, std::uint16_t signatureId,
                           std::int32_t defaultSizeKb, std::int32_t secondSize,
                           std::u16string_view name, std::u16string_view description,
                           std::u16string_view categoryText, std::u16string_view namePrefix,
                           std::u16string_view extension, std::u16string_view extensionList = {});
    CFileType* RegisterFileType(std::unique_ptr<CFileType> type);

    // The first type with this id, else the default type (null).
    CFileType* FindFileType(std::uint16_t id) const;
    // The type of a found file: by its type code when that names a type, else by the
    // extension of `fileName`, which then also sets `typeCode`. Null when nothing fits.
    CFileType* GetFileType(std::uint16_t& typeCode, const char16_t* fileName) const;
    CFileType* FindCategory(std::int32_t categoryCode) const;
    // The first type in table order that matches the 512-byte unit, or null.
    const CFileType* MatchUnit(std::span<const std::uint8_t> unit) const;

    // Rebuilds the category nodes and the extension index from the table.
    void AddFileCategories();
    // Indexes one extension text for `type` unless an earlier type claimed it.
    void IndexExtensions(std::u16string_view text, CFileType* type);

    void AddBuiltinFileTypes();
    // Applies one stored value: over the type of the same id, else as a new type at the
    // end of the table. Values shorter than an image are ignored. Returns whether applied.
    bool ApplyStoredType(std::span<const std::uint8_t> stored);
    // Built-in types, then the registry copy over them (written out when missing), then
    // categories and extension index. Returns 1.
    int LoadFileTypes();
    // Writes every type to the registry copy. Failures are silent. Returns 1.
    int SaveFileTypes() const;
    // The registry key of the copy: the base key and "\File Types".
    std::u16string RegistryPath() const;

private:
    CFileType* defaultType_ = nullptr;
    std::vector<std::unique_ptr<CFileType>> types_;
    std::vector<std::unique_ptr<CFileType>> categories_;
    std::map<std::u16string, CFileType*> extensionIndex_;
    std::u16string baseKey_;
};
