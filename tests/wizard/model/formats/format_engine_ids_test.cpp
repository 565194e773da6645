// The format list and the engine's type table meet only by id: every built-in format's id
// is an engine type, except the nine formats that act by extension alone.

#include <gtest/gtest.h>

#include <set>
#include <variant>

#include "platform/registry.h"
#include "wizard/model/formats/builtin_formats.h"
#include "wizard/model/real_engine.h"

namespace {

// Where a type's id sits in its stored 530-byte image.
constexpr std::size_t kTypeImageSize = 530;
constexpr std::size_t kTypeIdOffset = 524;

using FormatEngineIds = RealEngineTest;

TEST_F(FormatEngineIds, EveryBuiltinIdIsAnEngineTypeButTheNineExtensionOnlyFormats) {
    const auto types = platform::RegistryKey::open(std::u16string(kProgramKey) + u"\\File Types");
    ASSERT_TRUE(types.has_value());
    std::set<std::int32_t> engineIds;
    for (const platform::RegistryValue& value : types->values()) {
        const auto* image = std::get_if<std::vector<std::uint8_t>>(&value.data);
        ASSERT_TRUE(image != nullptr && image->size() >= kTypeImageSize);
        engineIds.insert((*image)[kTypeIdOffset] | (*image)[kTypeIdOffset + 1] << 8);
    }
    EXPECT_EQ(engineIds.size(), 94u);

    std::set<std::int32_t> missing;
    for (const BuiltinFormat& format : kBuiltinFormats) {
        if (!engineIds.contains(format.SignatureId)) missing.insert(format.SignatureId);
    }
    EXPECT_EQ(missing, (std::set<std::int32_t>{86, 115, 116, 118, 140, 180, 201, 210, 225}));
}

}  // namespace
