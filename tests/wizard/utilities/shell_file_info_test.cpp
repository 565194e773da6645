#include "wizard/utilities/shell_file_info.h"

#include <gtest/gtest.h>

namespace {

TEST(ShellFileInfo, TypeNamesComeFromTheExtensionAndUnknownTypesLeaveTheNameAlone) {
    QString jpeg;
    ASSERT_TRUE(GetShellFileTypeName(QStringLiteral("C:\\Photos\\IMG_1.JPG"), jpeg));
    EXPECT_FALSE(jpeg.isEmpty());
    QString again;
    ASSERT_TRUE(GetShellFileTypeName(QStringLiteral("other.jpg"), again));
    EXPECT_EQ(again, jpeg);
    QString text;
    ASSERT_TRUE(GetShellFileTypeName(QStringLiteral("notes.txt"), text));
    EXPECT_NE(text, jpeg);
    // Unknown types leave the name alone.
    for (const QString& name : {QStringLiteral("README"), QStringLiteral("a.qqqzzz"),
                               QStringLiteral("folder.jpg\\inside"), QString()}) {
        QString typeName = QStringLiteral("unchanged");
        EXPECT_FALSE(GetShellFileTypeName(name, typeName)) << name.toStdString();
        EXPECT_EQ(typeName, QStringLiteral("unchanged"));
    }
}

}  // namespace
