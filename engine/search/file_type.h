#pragma once
// One file type of the table (or one category node): its persistent 530-byte image, the
// part that the registry copy stores, and its ordered signatures.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "engine/search/signature.h"

namespace platform {
class RegistryKey;
}

// The stored image: little-endian, texts UTF-16 and NUL-terminated inside their fields,
// unused bytes zero.
#pragma pack(push, 1)
struct FileTypeImage {
    std::int32_t Enabled;        // 1 for every type made by AddFileType
    std::int32_t Reserved1;      // 0
    std::int32_t Reserved2;      // 1
    std::int32_t DefaultSizeKb;
    std::int32_t SecondSize;
    char16_t Extension[10];      // main extension, upper case, no dot
    char16_t ExtensionList[50];  // further extensions separated by "," or ";"
    char16_t Description[100];
    char16_t CategoryText[30];
    char16_t Name[30];           // display name
    char16_t NamePrefix[30];     // prefix of the names of carved files
    std::int32_t CategoryCode;
    std::uint16_t SignatureId;   // identity of the type; 0 = no type
    std::int32_t SignatureCount;
};
#pragma pack(pop)

inline constexpr std::size_t kFileTypeImageSize = 530;
// The image is copied to and from memory as it stands.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(FileTypeImage) == kFileTypeImageSize);
static_assert(offsetof(FileTypeImage, DefaultSizeKb) == 12);
static_assert(offsetof(FileTypeImage, SecondSize) == 16);
static_assert(offsetof(FileTypeImage, Extension) == 20);
static_assert(offsetof(FileTypeImage, ExtensionList) == 40);
static_assert(offsetof(FileTypeImage, Description) == 140);
static_assert(offsetof(FileTypeImage, CategoryText) == 340);
static_assert(offsetof(FileTypeImage, Name) == 400);
static_assert(offsetof(FileTypeImage, NamePrefix) == 460);
static_assert(offsetof(FileTypeImage, CategoryCode) == 520);
static_assert(offsetof(FileTypeImage, SignatureId) == 524);
static_assert(offsetof(FileTypeImage, SignatureCount) == 526);

// Texts longer than their field are cut so that the field keeps its NUL.
void setImageText(char16_t* field, std::size_t capacity, std::u16string_view text);
template <std::size_t N>
void setImageText(char16_t (&field)[N], std::u16string_view text) {
    setImageText(field, N, text);
}
// The text of a field, up to its NUL or the field's end.
template <std::size_t N>
std::u16string_view imageText(const char16_t (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length] != 0) ++length;
    return {field, length};
}

class CFileType {
public:
    // A type with every field zero.
    CFileType();
    // A category node: its code and name, no signatures.
    CFileType(std::int32_t categoryCode, std::u16string_view name);

    // A type from its stored form (image, then signatures). Reads nothing past `stored`;
    // signatures that are cut short or inconsistent are dropped with a log line. Null
    // when `stored` is shorter than the image.
    static std::unique_ptr<CFileType> FromStoredForm(std::span<const std::uint8_t> stored);

    FileTypeImage& image() { return image_; }
    const FileTypeImage& image() const { return image_; }
    bool IsCategory() const { return isCategory_; }
    std::uint16_t signatureId() const { return image_.SignatureId; }
    std::int32_t categoryCode() const { return image_.CategoryCode; }
    std::u16string_view extension() const { return imageText(image_.Extension); }
    std::u16string_view extensionList() const { return imageText(image_.ExtensionList); }
    std::u16string_view name() const { return imageText(image_.Name); }
    std::u16string_view description() const { return imageText(image_.Description); }
    std::u16string_view categoryText() const { return imageText(image_.CategoryText); }
    std::u16string_view namePrefix() const { return imageText(image_.NamePrefix); }

    // Copies a stored image over this record's image; the signatures stay. Texts without
    // a NUL are cut at their field. Returns 0 for a null image, else 1.
    int CopyImage(const void* image);

    CFileSignature* AddSignature(std::uint32_t kind, const void* value, std::int32_t offset,
                                 std::uint16_t length, std::uint16_t repeat);
    CFileSignature* AddSignature8(std::uint8_t value, std::int32_t offset, std::uint16_t repeat);
    CFileSignature* AddSignature16(std::uint16_t value, std::int32_t offset, std::uint16_t repeat);
    CFileSignature* AddSignature32(std::uint32_t value, std::int32_t offset, std::uint16_t repeat);
    CFileSignature* AddSignature64(std::uint64_t value, std::int32_t offset, std::uint16_t repeat);
    const std::vector<CFileSignature>& signatures() const { return signatures_; }

    // The 512-byte unit at `unit` meets one of the signatures, tried in order.
    int Match(const std::uint8_t* unit) const;
    int MatchSignature(const std::uint8_t* unit, const CFileSignature& signature) const;
    // The same over a unit of any size: bytes outside it never match.
    bool Matches(std::span<const std::uint8_t> unit) const;

    // The stored form: the image, then every signature.
    std::vector<std::uint8_t> StoredForm() const;
    // Writes the stored form when `capacity` holds it; returns its size either way.
    int Serialize(void* buffer, int capacity) const;
    // Writes the stored form as one binary value named after the id; 1 on success.
    int SaveToRegistry(platform::RegistryKey& key) const;

private:
    FileTypeImage image_;
    std::vector<CFileSignature> signatures_;
    bool isCategory_ = false;
};
