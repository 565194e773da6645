#include "wizard/utilities/text/text_helpers.h"

#include <gtest/gtest.h>

#include <string>

#include "wizard/utilities/drive_prefix.h"

namespace {

TEST(WideToNarrow, KeepsEveryUnitUpToTheLimit) {
    EXPECT_EQ(WideToNarrow(std::u16string_view(u"abc\0def", 7)), QStringLiteral("abc"));
    const char16_t odd[] = {0xFEFF, u'x', 0xD800, u'y', 0};  // mark, lone surrogate
    const QString kept = WideToNarrow(odd);
    ASSERT_EQ(kept.size(), 4);
    EXPECT_EQ(kept[0].unicode(), 0xFEFF);
    EXPECT_EQ(kept[2].unicode(), 0xD800);
    EXPECT_TRUE(WideToNarrow(static_cast<const char16_t*>(nullptr)).isEmpty());

    const std::u16string longest(2048, u'n');
    EXPECT_EQ(WideToNarrow(longest.c_str()).size(), 2048);
    EXPECT_TRUE(WideToNarrow((longest + u'n').c_str()).isEmpty());
    EXPECT_TRUE(WideToNarrow(std::u16string_view(longest + u'n')).isEmpty());
}

TEST(TextHelpers, CommaListsComeUpperCasedLastFirst) {
    EXPECT_EQ(SplitCommaList(QStringLiteral(" jpg,jpeg ")),
              QStringList({QStringLiteral("JPEG"), QStringLiteral("JPG")}));
    EXPECT_EQ(SplitCommaList(QStringLiteral("a, b,,c")),
              QStringList({QStringLiteral("C"), QString(), QStringLiteral(" B"), QStringLiteral("A")}));
    EXPECT_TRUE(SplitCommaList(QStringLiteral("  ")).isEmpty());
}

TEST(TextHelpers, NthOccurrenceCountsOverlappingFinds) {
    const struct {
        const char* sub;
        const char* text;
        int n;
        int position;
    } cases[] = {
        {".", "5.2.1.318", 3, 6}, {".", "5.2.1.318", 4, 0}, {"aa", "aaa", 2, 2},
        {".", "a.b", 0, 0},       {"", "abc", 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NthOccurrence(QString::fromLatin1(c.sub), QString::fromLatin1(c.text), c.n), c.position)
            << c.sub << " in " << c.text << " #" << c.n;
    }
}

TEST(TextHelpers, AddressWithoutScheme) {
    EXPECT_EQ(TextAfterDoubleSlash(QStringLiteral("https://example.org/a//b")),
              QStringLiteral("example.org/a//b"));
    EXPECT_EQ(TextAfterDoubleSlash(QStringLiteral("example.org")), QStringLiteral("example.org"));
}

TEST(DrivePrefix, StripsDrivesAndKeepsPathsWithoutOne) {
    const struct {
        const char* path;
        const char* stripped;
    } cases[] = {
        {"C:\\Docs\\Old\\", "Docs\\Old\\"},
        {"\\\\srv\\data\\Docs\\", "Docs\\"},
        {"\\\\srv\\data\\", ""},
        {"\\\\srv", ""},
        {"\\\\\\data\\Docs\\", ""},
        {"C:\\", ""},
        {"C:Docs", ""},
        {"lost_folder_17\\B\\", "lost_folder_17\\B\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StripDrivePrefix(QString::fromLatin1(c.path)).toStdString(), c.stripped) << c.path;
    }
}

}  // namespace
