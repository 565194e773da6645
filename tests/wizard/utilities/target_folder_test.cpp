#include "wizard/utilities/target_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "wizard/support/permission_bits.h"
#include "wizard/support/wizard_test.h"

namespace {

namespace fs = std::filesystem;

class TargetFolderTest : public WizardTest {
protected:
    QString inside(const std::string& relative) const {
        return QString::fromStdString((workFolder() / relative).string());
    }
};

TEST_F(TargetFolderTest, RefusesFormsNoFolderMayTake) {
    const QString base = inside("out");
    const QString refused[] = {
        QString(),
        QStringLiteral("relative/out"),
        base + QStringLiteral("\\sub"),
        base + QStringLiteral("//sub"),
        base + QStringLiteral("/a*"),
        base + QStringLiteral("/a?"),
        base + QStringLiteral("/a\""),
        base + QStringLiteral("/a<"),
        base + QStringLiteral("/a>"),
        base + QStringLiteral("/a|"),
        base + QStringLiteral("/a") + QChar(0) + QStringLiteral("b"),
    };
    for (const QString& folder : refused) {
        EXPECT_FALSE(IsUsableTargetText(folder)) << folder.toStdString();
        EXPECT_FALSE(IsValidTargetFolder(folder, true)) << folder.toStdString();
        EXPECT_FALSE(IsValidTargetFolder(folder, false)) << folder.toStdString();
    }
    EXPECT_FALSE(fs::exists(workFolder() / "out"));
}

TEST_F(TargetFolderTest, AcceptsExistingFoldersAndCreatesMissingOnes) {
    EXPECT_TRUE(IsValidTargetFolder(inside(""), false));
    EXPECT_FALSE(IsValidTargetFolder(inside("new/deeper/"), false));
    EXPECT_FALSE(fs::exists(workFolder() / "new"));
    EXPECT_TRUE(IsValidTargetFolder(inside("new/deeper/"), true));
    EXPECT_TRUE(fs::is_directory(workFolder() / "new" / "deeper"));
    EXPECT_TRUE(IsValidTargetFolder(inside("new/deeper"), false));
}

TEST_F(TargetFolderTest, RefusesAFileAndAFolderBelowAFile) {
    std::ofstream(workFolder() / "plain") << "x";
    EXPECT_FALSE(IsValidTargetFolder(inside("plain"), false));
    EXPECT_FALSE(IsValidTargetFolder(inside("plain"), true));
    EXPECT_FALSE(IsValidTargetFolder(inside("plain/sub/"), true));
}

TEST_F(TargetFolderTest, RefusesToCreateUnderAReadOnlyParent) {
    const ScopedPermissionBits bindingAlsoForRoot;
    fs::create_directory(workFolder() / "locked");
    fs::permissions(workFolder() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(IsValidTargetFolder(inside("locked/out/"), true));
    EXPECT_TRUE(IsValidTargetFolder(inside("locked"), false));
}

TEST(TargetDelimiter, IsAddedOnceAndNeverToAnEmptyText) {
    EXPECT_EQ(WithTargetDelimiter(QString()), QString()) << "\"/\" would be the root folder";
    EXPECT_EQ(WithTargetDelimiter(QStringLiteral("/srv/out")), QStringLiteral("/srv/out/"));
    EXPECT_EQ(WithTargetDelimiter(QStringLiteral("/srv/out/")), QStringLiteral("/srv/out/"));
}

TEST(DriveRoot, OnlyALetteredRootIsMissing) {
    EXPECT_FALSE(IsExistingDriveRoot(QStringLiteral("Q:\\")));
    EXPECT_TRUE(IsExistingDriveRoot(QStringLiteral("Q:\\Sub\\")));
    EXPECT_TRUE(IsExistingDriveRoot(QStringLiteral("/")));
    EXPECT_TRUE(IsExistingDriveRoot(QStringLiteral("/srv/out/")));
}

}  // namespace
