#include "wizard/forms/language/language_flags.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(LanguageFlags, EveryPictureIsItsOwn) {
    std::set<QByteArray> seen;
    for (int index = 0; index < kLanguageFlagCount; ++index) {
        const QImage flag = PaintLanguageFlag(index);
        ASSERT_EQ(flag.size(), QSize(16, 16)) << index;
        const QByteArray pixels(reinterpret_cast<const char*>(flag.constBits()),
                                flag.sizeInBytes());
        EXPECT_TRUE(seen.insert(pixels).second) << index;
    }
    EXPECT_TRUE(PaintLanguageFlag(-1).isNull());
    EXPECT_TRUE(PaintLanguageFlag(kLanguageFlagCount).isNull());
}

}  // namespace
