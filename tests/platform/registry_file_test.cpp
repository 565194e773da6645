#include "platform/registry_file.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

using registry_file::parse;
using registry_file::serialize;

std::string fileOf(std::string_view lines) {
    return std::string(registry_file::kFormatLine) + "\n" + std::string(lines);
}

void expectClean(const registry_file::Parsed& parsed) {
    EXPECT_FALSE(parsed.firstDamage.has_value())
        << "line " << parsed.firstDamage->line << ": " << parsed.firstDamage->reason;
    EXPECT_EQ(parsed.damagedLines, 0u);
}

TEST(RegistryFile, WritesOneReadableLinePerValue) {
    const std::vector<RegistryValue> values{
        {u"Count", std::uint32_t{42}},
        {u"Size", std::uint64_t{0x100000000}},
        {u"Folder", std::u16string(u"C:\\Recovered \"old\"")},
        {u"Signature", std::vector<std::uint8_t>{0x01, 0xff}},
        {u"Empty", std::vector<std::uint8_t>{}},
        {u"", std::u16string()},
    };
    EXPECT_EQ(serialize(values), fileOf("\"Count\"=dword:0000002a\n"
                                        "\"Size\"=qword:0000000100000000\n"
                                        "\"Folder\"=\"C:\\\\Recovered \\\"old\\\"\"\n"
                                        "\"Signature\"=hex:01,ff\n"
                                        "\"Empty\"=hex:\n"
                                        "\"\"=\"\"\n"));
    const auto parsed = parse(serialize(values));
    expectClean(parsed);
    EXPECT_EQ(parsed.values, values);
}

TEST(RegistryFile, AnyUtf16TextAndLongBinaryRoundTrip) {
    const std::u16string awkward[] = {
        u"line one\nline two\r\n\ttabbed",
        u"quote \" backslash \\ end\\",
        u"caf\u00e9 \u4e2d\u6587 \U0001F600",
        std::u16string(u"nul\0inside\x01\x1f\x7f", 13),
        u"lone high \xD800 then text",
        u"lone low \xDC00",
        u"ends with high \xDBFF",
        u"reversed pair \xDC00\xD800",
        u"\\u0041 is not an escape here",
    };
    std::vector<std::uint8_t> blob(100000);
    for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<std::uint8_t>(i * 7);
    std::vector<RegistryValue> values{{u"Blob", blob}};
    for (const auto& text : awkward) values.push_back({text, text});
    const std::string file = serialize(values);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), std::ssize(values) + 1);
    const auto parsed = parse(file);
    expectClean(parsed);
    EXPECT_EQ(parsed.values, values);
}

TEST(RegistryFile, AcceptsHandEditedForms) {
    const auto parsed = parse(fileOf("; a comment\r\n"
                                     "\r\n"
                                     "\"A\"=dword:DEADBEEF\r\n"
                                     "\"B\"=hex:AB,cd\n"
                                     "\"C\"=\"\\u00e9\\ud83d\\ude00\"\n"));
    expectClean(parsed);
    ASSERT_EQ(parsed.values.size(), 3u);
    EXPECT_EQ(parsed.values[0].data, RegistryData{std::uint32_t{0xdeadbeef}});
    EXPECT_EQ(parsed.values[1].data, (RegistryData{std::vector<std::uint8_t>{0xab, 0xcd}}));
    EXPECT_EQ(parsed.values[2].data, RegistryData{std::u16string(u"\u00e9\U0001F600")});
    // Escaped halves of a pair join up, and are then written as plain UTF-8.
    EXPECT_EQ(serialize(parsed.values), fileOf("\"A\"=dword:deadbeef\n"
                                               "\"B\"=hex:ab,cd\n"
                                               "\"C\"=\"\u00e9\U0001F600\"\n"));
}

TEST(RegistryFile, SkipsEachBadLineAndKeepsTheRest) {
    const std::string badLines[] = {
        "\"X\"=dword:2a",                 // number cut short
        "\"X\"=dword:0000002a0",          // too many digits
        "\"X\"=dword:0000002g",           // not hex
        "\"X\"=qword:000000000000002",    // cut short
        "\"X\"=sz:\"text\"",              // unknown type
        "\"X\"=\"unterminated",           // no closing quote
        "\"X\"=\"bad \\q escape\"",       // unknown escape
        "\"X\"=\"bad \\u12 escape\"",     // short \u
        "\"X\"=\"ends in backslash\\",    // escape at line end
        "\"X\"=\"raw\ttab\"",             // control character
        "\"X\"=\"\xc3\x28\"",             // ill-formed UTF-8
        "\"X\"=\"\xed\xa0\x80\"",         // encoded surrogate
        "\"X\"=\"\xc0\xaf\"",             // overlong
        "\"X\"=\"\xf4\x90\x80\x80\"",     // beyond U+10FFFF
        "\"X\"=hex:1",                    // half a byte
        "\"X\"=hex:01,",                  // trailing comma
        "\"X\"=hex:01 02",                // wrong separator
        "\"X\"=\"text\" trailing",        // text after the value
        "\"X\"dword:0000002a",            // no equals sign
        "X=dword:0000002a",               // unquoted name
        "=",
        "\"",
    };
    for (const auto& bad : badLines) {
        SCOPED_TRACE(bad);
        const auto parsed = parse(fileOf("\"Before\"=dword:00000001\n" + bad +
                                         "\n\"After\"=dword:00000002\n"));
        ASSERT_TRUE(parsed.firstDamage.has_value());
        EXPECT_EQ(parsed.firstDamage->line, 3u);
        EXPECT_FALSE(parsed.firstDamage->reason.empty());
        EXPECT_EQ(parsed.damagedLines, 1u);
        ASSERT_EQ(parsed.values.size(), 2u);
        EXPECT_EQ(parsed.values[0].name, u"Before");
        EXPECT_EQ(parsed.values[1].name, u"After");
    }
}

TEST(RegistryFile, CutShortFileKeepsTheCompleteLines) {
    const std::string whole = serialize({{u"First", std::uint32_t{1}},
                                         {u"Second", std::u16string(u"second value")}});
    const auto firstLineEnd = whole.find('\n') + 1;
    const auto secondLineEnd = whole.find('\n', firstLineEnd) + 1;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        const auto parsed = parse(std::string_view(whole).substr(0, length));
        const std::size_t complete = length < secondLineEnd ? 0 : 1;
        EXPECT_EQ(parsed.values.size(), complete);
        const bool cut = length != 0 && length != firstLineEnd && length != secondLineEnd;
        EXPECT_EQ(parsed.damagedLines, cut ? 1u : 0u);
        EXPECT_EQ(parsed.firstDamage.has_value(), cut);
    }
}

TEST(RegistryFile, ReportsFirstDamageAndCountsAll) {
    const auto parsed = parse("garbage\n\"A\"=dword:00000001\nmore garbage\n\"a\"=hex:\n\"B\"=");
    ASSERT_TRUE(parsed.firstDamage.has_value());
    EXPECT_EQ(parsed.firstDamage->line, 1u);
    EXPECT_EQ(parsed.damagedLines, 4u);  // no format line, garbage, name twice, cut short
    ASSERT_EQ(parsed.values.size(), 1u);
    EXPECT_EQ(parsed.values[0].name, u"A");  // the first of a name written twice
    EXPECT_EQ(parsed.values[0].data, RegistryData{std::uint32_t{1}});
}

}  // namespace
}  // namespace platform
