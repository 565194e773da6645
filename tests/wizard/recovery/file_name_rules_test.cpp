// Names from a hostile disk become exactly one safe entry name each.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wizard/recovery/file_name_rules.h"

namespace {

TEST(FileNameRules, EveryNameBecomesOneEntryOfItsFolder) {
    const struct {
        QString name;
        std::string safe;
    } cases[] = {
        {"photo.jpg", "photo.jpg"},
        {"a/b", "a_b"},
        {"a\\b", "a_b"},
        {"a:b", "a_b"},
        {"*?\"<>|", "______"},
        {QString("x") + QChar(0) + "y", "x_y"},
        {"tab\there\x7f", "tab_here_"},
        {"", "_"},
        {".", "_"},
        {"..", "_"},
        {"...", "..."},
        {".bashrc", ".bashrc"},
        {QString::fromUtf8("Überweisung ü.pdf"), "Überweisung ü.pdf"},
    };
    for (const auto& c : cases) EXPECT_EQ(SafeName(c.name), c.safe) << c.name.toStdString();
}

TEST(FileNameRules, LongNamesAreCutOnACharacterBoundaryKeepingTheirExtension) {
    const std::string cut = SafeName(QString(296, QLatin1Char('n')) + ".jpg");
    EXPECT_EQ(cut.size(), kMaxNameBytes);
    EXPECT_TRUE(cut.ends_with(".jpg"));
    // Two-byte characters: the cut never splits one.
    const std::string wide = SafeName(QString(200, QChar(0x00E9)) + ".txt");
    EXPECT_LE(wide.size(), kMaxNameBytes);
    EXPECT_TRUE(wide.ends_with(".txt"));
    EXPECT_EQ(QString::fromStdString(wide).count(QChar(0x00E9)), (kMaxNameBytes - 4) / 2);
    // An "extension" longer than any real one is cut like the rest of the name.
    const std::string tail = SafeName("a." + QString(300, QLatin1Char('x')));
    EXPECT_EQ(tail.size(), kMaxNameBytes);
}

TEST(FileNameRules, FolderPartsBelowTheDriveAreSafeNames) {
    const struct {
        QString path;
        std::vector<std::string> parts;
    } cases[] = {
        {"C:\\Docs\\Old\\", {"Docs", "Old"}},
        {"C:\\", {}},
        {"\\", {}},
        {"lost_folder_7\\", {"lost_folder_7"}},
        {"C:\\..\\..\\etc\\", {"_", "_", "etc"}},
        {"\\\\server\\share\\a/b\\", {"a_b"}},
        {"C:\\a\\\\b\\", {"a", "_", "b"}},
        {"C:\\a:b\\", {"a_b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SafeFolderParts(c.path), c.parts) << c.path.toStdString();
}

TEST(FileNameRules, NumberedNamesKeepTheExtensionWithin255Bytes) {
    EXPECT_EQ(NumberedName(SplitExtension("photo.jpg"), 2), "photo_2.jpg");
    EXPECT_EQ(NumberedName(SplitExtension(".bashrc"), 3), ".bashrc_3");
    const std::string numbered = NumberedName(SplitExtension(SafeName(QString(300, 'n') + ".jpg")), 100000);
    EXPECT_EQ(numbered.size(), kMaxNameBytes);
    EXPECT_TRUE(numbered.ends_with("_100000.jpg"));
}

}  // namespace
