#include "platform/format.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <string>

namespace {

// Formats into a roomy buffer and checks that the returned length matches the text.
template <typename... Args>
std::string formatted(const char* format, Args... args) {
    std::array<char, 256> buffer;
    buffer.fill('#');
    const std::size_t length = platform::format(buffer.data(), buffer.size(), format, args...);
    EXPECT_EQ(length, std::string(buffer.data()).size());
    return std::string(buffer.data(), length);
}

TEST(FormatText, NarrowWideCharactersWidthAndPrecision) {
    EXPECT_EQ(formatted("[%s|%S]", "abc", u"caf\u00e9 \U0001F600"), "[abc|caf\u00e9 \U0001F600]");
    EXPECT_EQ(formatted("[%ls|%hs|%hS]", u"wide", "narrow", "narrow"), "[wide|narrow|narrow]");
    EXPECT_EQ(formatted("[%S]", u"bad\xD800"), "[bad\xEF\xBF\xBD]");
    EXPECT_EQ(formatted("%c%c%lc%lc", 'o', 'k', static_cast<int>(u'\u20ac'), 0xD800), "ok\u20ac\uFFFD");
    EXPECT_EQ(formatted("100%%"), "100%");
    EXPECT_EQ(formatted("%s|%S|%8s|", static_cast<const char*>(nullptr), static_cast<const char16_t*>(nullptr),
                        static_cast<const char*>(nullptr)),
              "(null)|(null)|  (null)|");
    EXPECT_EQ(formatted("[%5s|%-5s|%*s|%*s]", "ab", "ab", 4, "ab", -4, "ab"), "[   ab|ab   |  ab|ab  ]");
    EXPECT_EQ(formatted("[%.2s|%.*s|%.*s]", "abcdef", 3, "abcdef", -1, "abcdef"), "[ab|abc|abcdef]");
    EXPECT_EQ(formatted("[%4.1S]", u"xyz"), "[   x]");
    EXPECT_EQ(formatted("[%3S]", u"\u00e9"), "[ \u00e9]");  // width counts UTF-8 bytes
}

TEST(FormatText, PrecisionNeverReadsPastItsLimit) {
    const std::array<char, 3> narrow{'a', 'b', 'c'};
    EXPECT_EQ(formatted("%.3s", narrow.data()), "abc");
    const std::array<char16_t, 3> wide{u'x', u'y', u'z'};
    EXPECT_EQ(formatted("%.3S", wide.data()), "xyz");
    // A precision that would split a surrogate pair leaves the pair out.
    EXPECT_EQ(formatted("%.2S", u"a\U0001F600"), "a");
    const std::array<char16_t, 2> endsInHalfPair{u'a', u'\xD83D'};
    EXPECT_EQ(formatted("%.2S", endsInHalfPair.data()), "a");
}

TEST(FormatIntegers, SizesSignsAndFlags) {
    EXPECT_EQ(formatted("%d %i %u", -42, 7, 4000000000u), "-42 7 4000000000");
    EXPECT_EQ(formatted("%d %d", INT_MIN, INT_MAX), "-2147483648 2147483647");
    EXPECT_EQ(formatted("%x %X", 0xBEEFu, 0xBEEFu), "beef BEEF");
    EXPECT_EQ(formatted("%hd %hu %hd", 70000, 70000, 0xFFFF), "4464 4464 -1");
    EXPECT_EQ(formatted("%ld %lu %lld %llx", -5L, 6UL, -1LL, 0x123456789ULL), "-5 6 -1 123456789");
    EXPECT_EQ(formatted("%I64d %I64d", 5000000000LL, LLONG_MIN), "5000000000 -9223372036854775808");
    EXPECT_EQ(formatted("%I64u", ULLONG_MAX), "18446744073709551615");
    EXPECT_EQ(formatted("%I64x %I64X", 0xFEDCBA9876543210ULL, 0xABCDEF0123ULL), "fedcba9876543210 ABCDEF0123");
    EXPECT_EQ(formatted("%Iu %I32d", std::size_t{1} << 40, -3), "1099511627776 -3");
    // Arguments after a 64-bit one are still read in the right place.
    EXPECT_EQ(formatted("%I64u|%s|%d", 1ULL << 33, "next", 9), "8589934592|next|9");

    EXPECT_EQ(formatted("[%5d|%-5d|%05d|%-05d]", 42, 42, -42, 42), "[   42|42   |-0042|42   ]");
    EXPECT_EQ(formatted("[%08X|%#x|%#X|%#x|%#06x]", 0xABu, 255u, 255u, 0u, 15u), "[000000AB|0xff|0XFF|0|0x000f]");
    EXPECT_EQ(formatted("[%.4d|%6.3d|%.0d|%.0u]", 7, -7, 0, 5u), "[0007|  -007||5]");
    EXPECT_EQ(formatted("[%08.3d|%*d]", 5, -4, 1), "[     005|1   ]");
    EXPECT_EQ(formatted("%p", reinterpret_cast<void*>(std::uintptr_t{0x12FF7C})), "000000000012FF7C");
    EXPECT_EQ(formatted("%p", nullptr), "0000000000000000");
}

TEST(FormatHostile, UnknownUnfinishedAndHugeConversions) {
    EXPECT_EQ(formatted("%q %5.2y %I64z", 1), "%q %5.2y %I64z");
    EXPECT_EQ(formatted("end%"), "end%");
    EXPECT_EQ(formatted("end%-08"), "end%-08");
    EXPECT_EQ(formatted("%ll"), "%ll");
    EXPECT_EQ(formatted("%.2147483647s", "ok"), "ok");

    std::array<char, 16> buffer;
    EXPECT_EQ(platform::format(buffer.data(), buffer.size(), "%999999999999999999999d", 1), 15u);
    EXPECT_EQ(std::string(buffer.data()), std::string(15, ' '));
    EXPECT_EQ(platform::format(buffer.data(), buffer.size(), "%.999999d", 1), 15u);
    EXPECT_EQ(std::string(buffer.data()), std::string(15, '0'));
    EXPECT_EQ(platform::format(buffer.data(), buffer.size(), "%-*s|", INT_MIN, "a"), 15u);
}

TEST(FormatHostile, OutputIsCutAndTerminatedInsideTheBuffer) {
    const std::string full = "abc-12345-\u20acx";
    std::array<char, 12> buffer;
    for (std::size_t size = 0; size <= 8; ++size) {
        buffer.fill('#');
        const std::size_t length = platform::format(buffer.data(), size, "%s-%d-%S", "abc", 12345, u"\u20acx");
        if (size == 0) {
            EXPECT_EQ(length, 0u);
            EXPECT_EQ(buffer[0], '#');
            continue;
        }
        EXPECT_EQ(length, size - 1);
        EXPECT_EQ(std::string(buffer.data()), full.substr(0, size - 1));
        EXPECT_EQ(buffer[size], '#') << "wrote past size " << size;
    }
    buffer.fill('#');
    EXPECT_EQ(platform::format(buffer.data(), buffer.size(), nullptr), 0u);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(platform::format(nullptr, 10, "abc"), 0u);
}

}  // namespace
