#pragma once
// The formats the program knows from its first start, in the order in which they are
// appended to the list.

#include <array>
#include <cstdint>

#include "wizard/model/formats/format.h"

struct BuiltinFormat {
    const char* Title;
    const char* Category;
    const char* FileExtensions;
    const char* DefaultExtension;
    const char* Description;
    const char* FilePrefix;
    std::int32_t SignatureId;
    bool Search;
    bool PreviewAvailable;
    std::int32_t DefaultSizeKb;
    std::int32_t RecoveryOrder;

    TFormat ToFormat() const;
};

inline constexpr std::size_t kBuiltinFormatCount = 43;
extern const std::array<BuiltinFormat, kBuiltinFormatCount> kBuiltinFormats;
