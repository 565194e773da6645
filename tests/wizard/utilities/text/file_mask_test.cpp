#include "wizard/utilities/text/file_mask_list.h"

#include <gtest/gtest.h>

#include <span>

namespace {

struct MaskCase {
    const char16_t* name;
    const char16_t* masks;
    bool matches;
};

void expectMatches(std::span<const MaskCase> cases) {
    for (const MaskCase& c : cases) {
        EXPECT_EQ(MatchesFileMask(QString::fromUtf16(c.name), QString::fromUtf16(c.masks)), c.matches)
            << QString::fromUtf16(c.name).toStdString() << " against "
            << QString::fromUtf16(c.masks).toStdString();
    }
}

TEST(FileMask, ListsMatchAsTyped) {
    const MaskCase cases[] = {
        {u"REPORT1.DOC", u"report*.doc; *.txt", true},
        {u"notes.TXT", u"report*.doc; *.txt", true},
        {u"anything", u"*.*", true},
        {u"anything", u"*.*;x", false},  // only the whole text "*.*" takes every name
        {u"anything", u"", false},
        {u"a.txt", u"*.jpg *.txt", true},  // blanks separate too
        {u"my file1.doc", u"\"my file?.doc\";*.txt", true},
        {u"b.jpg", u"a;;b.jpg", true},
        {u"", u"a;;b", false},  // the empty mask matches no name, not even an empty one
        {u"ab", u"a?", true},
        {u"a", u"a?", false},
        {u"abc", u"a?", false},
        {u"\U0001F600.jpg", u"?.jpg", true},  // one character, two UTF-16 units
        {u"\u00E9t\u00E9.doc", u"\u00C9T\u00C9.*", true},
    };
    expectMatches(cases);
}

TEST(FileMask, SetsMatchOneCharacter) {
    const MaskCase cases[] = {
        {u"b.jpg", u"[a-c]*.jpg", true},
        {u"B.JPG", u"[a-c]*.jpg", true},
        {u"d.jpg", u"[a-c]*.jpg", false},
        {u"d.jpg", u"[!a-c]*.jpg", true},
        {u"x-", u"x[-a]", true},  // "-" first or last stands for itself
        {u"x-", u"x[a-]", true},
        {u"ab", u"[abc", false},  // an unclosed set matches nothing
        {u"a", u"[]", false},
        {u"a.txt", u"[abc;*.txt", true},  // only the damaged mask is left out
        {u"]", u"]", true},
    };
    expectMatches(cases);
}

TEST(FileMask, ListsSplitAtSemicolonsAndBlanks) {
    const struct {
        const char16_t* masks;
        QStringList parts;
    } cases[] = {
        {u"", {}},
        {u"a;;b", {QStringLiteral("a"), QStringLiteral(""), QStringLiteral("b")}},
        {u" a ; b ", {QStringLiteral("a"), QStringLiteral("b")}},
        {u"\"my file.doc\" x", {QStringLiteral("my file.doc"), QStringLiteral("x")}},
        {u"\"\"", {QStringLiteral("")}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitMaskList(QString::fromUtf16(c.masks)), c.parts)
            << QString::fromUtf16(c.masks).toStdString();
    }
}

TEST(FileMask, ManyRunsNeverBacktrackWithoutEnd) {
    const QString name(4000, QLatin1Char('a'));
    EXPECT_FALSE(MatchesFileMask(name, QStringLiteral("*a*a*a*b")));
    EXPECT_FALSE(MatchesFileMask(name, QStringLiteral("*a*a*a*a*a*a*a*a*a*a*a*a*b")));
    EXPECT_TRUE(MatchesFileMask(name + QLatin1Char('b'), QStringLiteral("*a*a*a*b")));
}

TEST(FileMask, ACompiledListMatchesAsTheText) {
    const FileMaskList list(u"*.PNG;photo.*");
    EXPECT_TRUE(list.matches(u"photo.gif"));
    EXPECT_TRUE(list.matches(u"x.png"));
    EXPECT_FALSE(list.matches(u"x.gif"));
}

}  // namespace
