#include "wizard/translation/safe_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

struct FormatCase {
    const char* name;
    QString translated;
    QString english;
    std::vector<FormatArgument> arguments;
    QString expected;
};

QString Format(const FormatCase& c) {
    return SafeFormat(c.translated, c.english, c.arguments);
}

const QString kName = QStringLiteral("a.jpg");

TEST(SafeFormat, UsesTranslationThatFitsTheArguments) {
    const std::vector<FormatCase> cases = {
        {"two numbers", "%d von %d", "%d of %d", {3, 7}, "3 von 7"},
        {"text and number", "Datei %s, %d Mal", "File %s, %d times", {kName, 2}, "Datei a.jpg, 2 Mal"},
        {"percent sign", "100%% von %s", "100%% of %s", {kName}, "100% von a.jpg"},
        {"unsigned and hex", "%u/%x/%X", "%u %x %X", {7u, 255, 255}, "7/ff/FF"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(Format(c), c.expected) << c.name;
    }
}

TEST(SafeFormat, FallsBackToEnglishWhenTheTranslationDoesNotFit) {
    const QString english = QStringLiteral("Error: %s (Retry Count = %d)");
    const std::vector<FormatArgument> arguments = {QStringLiteral("read"), 3};
    const QString expected = QStringLiteral("Error: read (Retry Count = 3)");
    for (const char* translated : {
             "Fehler: %d (%s)",           // swapped kinds
             "Fehler: %s (%d) %s",        // one conversion too many
             "Fehler: %s",                // one too few
             "Fehler: %s%n",              // %n writes memory in printf
             "%s%s%n",                    // several faults at once
             "Fehler: %s (%ld)",          // length modifiers are not ours
             "Fehler: %s (%*d)",          // '*' takes a width from the arguments
             "Fehler: %s (%1$d)",         // positional arguments
             "Fehler: %s (%5%)",          // '%' with a width
             "Fehler: %999999999s (%d)",  // a field no one can afford
             "Fehler: %S (%d)",
             "Fehler: %s (%i)",
         }) {
        EXPECT_EQ(SafeFormat(QString::fromUtf8(translated), english, arguments), expected)
            << translated;
    }
}

TEST(SafeFormat, ArgumentsStayLiteral) {
    const QString name = QStringLiteral("%s%n.txt");
    EXPECT_EQ(
        SafeFormat(QStringLiteral("Datei gefunden: %s"), QStringLiteral("File found: %s"), name),
        QStringLiteral("Datei gefunden: %s%n.txt"));
    EXPECT_EQ(SafeFormat(QStringLiteral("%n"), QStringLiteral("File found: %s"), name),
              QStringLiteral("File found: %s%n.txt"));
}

TEST(SafeFormat, BrokenEnglishFormatIsShownAsItStands) {
    EXPECT_EQ(SafeFormat(QStringLiteral("%s"), QStringLiteral("%d and %d"), 1),
              QStringLiteral("%d and %d"));
}

TEST(SafeFormat, FlagsWidthAndPrecisionFollowPrintf) {
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    const std::vector<FormatCase> cases = {
        {"zero-padded serial", "%.4d", "%.4d", {7}, "0007"},
        {"width", "[%5d]", "[%5d]", {42}, "[   42]"},
        {"zero pad after sign", "[%05d]", "[%05d]", {-42}, "[-0042]"},
        {"zero pad ignored with precision", "[%06.3d]", "[%06.3d]", {5}, "[   005]"},
        {"space sign", "[% d]", "[% d]", {5}, "[ 5]"},
        {"alternate hex", "%#x %#X %#x", "%#x %#X %#x", {255, 255, 0}, "0xff 0XFF 0"},
        {"precision zero of zero", "[%.0d]", "[%.0d]", {0}, "[]"},
        {"text precision and width",
         "[%.2s][%4s][%-4s]",
         "[%.2s][%4s][%-4s]",
         {QStringLiteral("abc"), QStringLiteral("ab"), QStringLiteral("ab")},
         "[ab][  ab][ab  ]"},
        {"smallest signed", "%d", "%d", {kMin}, "-9223372036854775808"},
        {"negative as unsigned", "%u", "%u", {-1}, "18446744073709551615"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(Format(c), c.expected) << c.name;
    }
}

}  // namespace
