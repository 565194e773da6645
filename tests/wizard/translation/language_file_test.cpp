#include "wizard/translation/language_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>

#include "wizard/translation/language_text.h"

namespace {

LanguageFile Parse(const char* text) {
    return LanguageFile::parse(QString::fromUtf8(text));
}

TEST(LanguageFile, ReadsIniLinesByItsRules) {
    const LanguageFile file = Parse(
        "key=before any section\n"
        "[Misc]\r\n"
        "  strError  =  Fehler  \r\n"
        "strError=second occurrence\n"
        "STRYES=Ja\n"
        "; strNo=commented out\n"
        "strNo\n"
        "=no name\n"
        "strEmpty=\n"
        "strEquals=a=b\n"
        "[Unclosed\n"
        "strAfterUnclosed=still Misc\r"
        "[ MainForm ]\r"
        "MainForm.Caption=Titel\n"
        "[misc]\n"
        "strLater=merged\n"
        "strError=later section\n");
    struct Lookup {
        const char* section;
        const char* key;
        std::optional<QString> expected;
    };
    const Lookup lookups[] = {
        {"Misc", "strError", QStringLiteral("Fehler")},
        {"MISC", "STRERROR", QStringLiteral("Fehler")},
        {"Misc", "strYes", QStringLiteral("Ja")},
        {"Misc", "strNo", std::nullopt},
        {"Misc", "", std::nullopt},
        {"Misc", "strEmpty", QString()},
        {"Misc", "strEquals", QStringLiteral("a=b")},
        {"Misc", "strAfterUnclosed", QStringLiteral("still Misc")},
        {"Misc", "strLater", QStringLiteral("merged")},
        {"Misc", "key", std::nullopt},
        {"Unclosed", "strAfterUnclosed", std::nullopt},
        {"mainform", "mainform.caption", QStringLiteral("Titel")},
        {"Other", "strError", std::nullopt},
    };
    for (const Lookup& lookup : lookups) {
        EXPECT_EQ(file.value(QString::fromUtf8(lookup.section), QString::fromUtf8(lookup.key)),
                  lookup.expected)
            << lookup.section << "/" << lookup.key;
    }
}

TEST(LanguageFile, LinesHoldingNulAreSkipped) {
    static constexpr char kText[] = "[Misc]\nstrA=a\0b\nstrB=ok\n[Ot\0her]\nstrC=c\n";
    const QByteArray bytes(kText, sizeof kText - 1);
    const LanguageFile file = LanguageFile::parse(DecodeLanguageText(bytes));
    EXPECT_FALSE(file.value(QStringLiteral("Misc"), QStringLiteral("strA")).has_value());
    EXPECT_EQ(file.value(QStringLiteral("Misc"), QStringLiteral("strB")), QStringLiteral("ok"));
    EXPECT_EQ(file.value(QStringLiteral("Misc"), QStringLiteral("strC")), QStringLiteral("c"));
}

TEST(LanguageText, Utf8ElseWindows1252) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QString expected;
    };
    const Case cases[] = {
        {"UTF-8", QByteArray("W\xC3\xA4hlen \xE2\x82\xAC"), QStringLiteral(u"Wählen €")},
        {"UTF-8 with byte order mark", QByteArray("\xEF\xBB\xBFJa"), QStringLiteral("Ja")},
        {"Windows-1252", QByteArray("W\xE4hlen \x80 \x93x\x94"), QStringLiteral(u"Wählen € “x”")},
        {"unassigned 1252 bytes keep their code", QByteArray("\x81\x8D"),
         QString(QChar(0x81)) + QChar(0x8D)},
        {"overlong UTF-8", QByteArray("\xC0\x80"), QStringLiteral(u"À€")},
        {"cut UTF-8 sequence", QByteArray("ok \xC3"), QStringLiteral(u"ok Ã")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeLanguageText(c.bytes), c.expected) << c.name;
    }
}

class LanguageFileBytes : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    QString write(const QString& name, qint64 size) {
        QFile file(folder_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(file.resize(size));
        return file.fileName();
    }

    QTemporaryDir folder_;
};

TEST_F(LanguageFileBytes, ReadsRegularFilesUpToTheLimitAndRefusesTheRestWithoutBlocking) {
    EXPECT_EQ(
        ReadLanguageFileBytes(write(QStringLiteral("limit.lng"), kMaxLanguageFileSize))->size(),
        kMaxLanguageFileSize);
    EXPECT_EQ(ReadLanguageFileBytes(write(QStringLiteral("empty.lng"), 0))->size(), 0);
    const QString fifo = folder_.filePath(QStringLiteral("fifo.lng"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path :
         {write(QStringLiteral("over.lng"), kMaxLanguageFileSize + 1), fifo, folder_.path(),
          QStringLiteral("/dev/zero"), folder_.filePath(QStringLiteral("missing.lng"))}) {
        EXPECT_FALSE(ReadLanguageFileBytes(path).has_value()) << path.toStdString();
    }
}

}  // namespace
