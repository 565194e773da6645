#include "wizard/utilities/target_folder.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "wizard/support/permission_bits.h"
#include "wizard/support/wizard_test.h"
#include "wizard/utilities/mount_table.h"
#include "wizard/utilities/system_folder.h"

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

// The root folder and the kernel's file systems, reached by any path, take no recovered
// file; a folder still to be made below the root does, and a file gets its own answer.
TEST_F(TargetFolderTest, RefusesTheRootFolderKernelFoldersAndFiles) {
    fs::create_directory_symlink("/", workFolder() / "to-root");
    fs::create_directory_symlink("/proc", workFolder() / "to-proc");
    std::ofstream(workFolder() / "plain") << "x";
    const struct {
        QString folder;
        TargetFault fault;
    } cases[] = {
        {QStringLiteral("/"), TargetFault::SystemFolder},
        {QStringLiteral("/proc/.."), TargetFault::SystemFolder},
        {inside("to-root"), TargetFault::SystemFolder},
        {QStringLiteral("/proc/self/"), TargetFault::SystemFolder},
        {QStringLiteral("/proc/not-made/deeper/"), TargetFault::SystemFolder},
        {inside("to-proc/new"), TargetFault::SystemFolder},
        {QStringLiteral("/sys/kernel"), TargetFault::SystemFolder},
        {inside("plain/"), TargetFault::NotAFolder},
        {inside(""), TargetFault::None},
        {QStringLiteral("/recovered-here-not-made"), TargetFault::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TargetFaultOf(c.folder), c.fault) << c.folder.toStdString();
        if (c.fault != TargetFault::None) {
            EXPECT_FALSE(IsValidTargetFolder(c.folder, true)) << c.folder.toStdString();
        }
    }
}

// The type comes from the mount table: devtmpfs shows as tmpfs to statfs.
TEST_F(TargetFolderTest, KernelFileSystemsAreKnownByTheirMountType) {
    struct stat status {};
    ASSERT_EQ(::stat(workFolder().c_str(), &status), 0);
    const fs::path table = workFolder() / "mountinfo";
    for (const auto& [type, system] : {std::pair{"devtmpfs", true}, {"tmpfs", false}}) {
        std::ofstream(table) << "21 20 " << DeviceNumberText(status.st_dev) << " / /x rw - " << type << " none rw\n";
        EXPECT_EQ(IsSystemFolder((workFolder() / "new").string(), table.string()), system) << type;
    }
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
