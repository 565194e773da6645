#include "platform/text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using platform::boundedLength;
using platform::copyToField;
using platform::equalsIgnoreCase;
using platform::toUtf16;
using platform::toUtf8;

TEST(TextConversion, RoundTripsWellFormedTextAndReplacesLoneSurrogates) {
    const std::u16string samples[] = {u"", u"C:\\photos\\img_0001.jpg", u"caf\u00e9 \u20ac",
                                      u"\U0001F600 smile", u"\U0010FFFF", std::u16string(u"a\0b", 3)};
    for (const auto& sample : samples) EXPECT_EQ(toUtf16(toUtf8(sample)), sample);
    EXPECT_EQ(toUtf8(u"\u00e9\u20ac\U0001F600"), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(toUtf16("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");

    EXPECT_EQ(toUtf8(u"a\xD800"), "a\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(u"\xDC00z"), "\xEF\xBF\xBDz");
    EXPECT_EQ(toUtf8(u"\xD800\xD800\xDC00"), "\xEF\xBF\xBD\xF0\x90\x80\x80");
    EXPECT_EQ(toUtf8(u"\xDBFF" u"A"), "\xEF\xBF\xBD" "A");
}

TEST(TextConversion, IllFormedUtf8BecomesReplacementPerBadSubpart) {
    struct Case {
        std::string input;
        std::u16string expected;
    };
    const std::u16string r = u"\uFFFD";
    const Case cases[] = {
        {"\x80", r},                                // stray continuation
        {"\xFF\xFE", r + r},                        // never valid
        {"\xC0\x80", r + r},                        // overlong NUL
        {"\xC1\xBF", r + r},                        // overlong
        {"\xE0\x80\x80", r + r + r},                // overlong three-byte
        {"\xF0\x80\x80\x80", r + r + r + r},        // overlong four-byte
        {"\xED\xA0\x80", r + r + r},                // encoded surrogate
        {"\xF4\x90\x80\x80", r + r + r + r},        // above U+10FFFF
        {"\xF5\x80", r + r},                        // lead past F4
        {"\xE2\x82", r},                            // truncated at the end
        {"\xE2\x82" "A", r + u"A"},                 // truncated before ASCII
        {"\xF0\x9F\x98", r},                        // truncated four-byte
        {"\xC3" "\xE2\x82\xAC", r + u"\u20ac"},     // truncated, then valid
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toUtf16(c.input), c.expected) << testing::PrintToString(c.input);
    }
}

TEST(TextBoundedLength, StopsAtTerminatorOrLimit) {
    EXPECT_EQ(boundedLength(u"abc", 10), 3u);
    EXPECT_EQ(boundedLength(nullptr, 10), 0u);
    const std::array<char16_t, 4> unterminated{u'a', u'b', u'c', u'd'};
    EXPECT_EQ(boundedLength(unterminated.data(), unterminated.size()), 4u);
    EXPECT_EQ(boundedLength(unterminated.data(), 2), 2u);
    EXPECT_EQ(boundedLength(unterminated.data(), 0), 0u);
}

// The whole of a '#'-filled buffer after copying `text` into its first `capacity` units.
template <typename Char>
std::basic_string<Char> field(std::size_t capacity, const Char* text) {
    std::basic_string<Char> buffer(8, Char{'#'});
    copyToField(buffer.data(), capacity, text);
    return buffer;
}

TEST(TextCopyToField, CutAndTerminatedWithinCapacityKeepingSurrogatePairsWhole) {
    using namespace std::string_literals;
    EXPECT_EQ(field(4, "abcdef"), "abc\0####"s);
    EXPECT_EQ(field(6, "ab"), "ab\0\0\0\0##"s);
    EXPECT_EQ(field(1, "abc"), "\0#######"s);
    EXPECT_EQ(field(0, "abc"), "########"s);
    copyToField(static_cast<char*>(nullptr), 4, "abc");

    EXPECT_EQ(field(4, u"ab\U0001F600"), u"ab\0\0####"s);
    EXPECT_EQ(field(5, u"ab\U0001F600"), u"ab\U0001F600\0###"s);
    EXPECT_EQ(field(0, u"abc"), u"########"s);
}

TEST(TextEqualsIgnoreCase, FoldsAsciiLettersOnly) {
    EXPECT_TRUE(equalsIgnoreCase(u"C:", u"c:"));
    EXPECT_TRUE(equalsIgnoreCase("Software\\Undelete", "SOFTWARE\\undelete"));
    EXPECT_TRUE(equalsIgnoreCase(u"", u""));
    EXPECT_FALSE(equalsIgnoreCase(u"jpg", u"jpeg"));
    EXPECT_FALSE(equalsIgnoreCase("jpg", "jp"));
    // Pairs that differ only in bit 0x20 but are not letters.
    EXPECT_FALSE(equalsIgnoreCase("@", "`"));
    EXPECT_FALSE(equalsIgnoreCase("[", "{"));
    EXPECT_FALSE(equalsIgnoreCase(u"\u00e9", u"\u00c9"));
    EXPECT_FALSE(equalsIgnoreCase(u"\u0161", u"\u0141"));  // 0x61 vs 0x41 in the low byte
}

}  // namespace
