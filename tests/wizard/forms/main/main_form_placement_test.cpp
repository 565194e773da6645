#include <QHeaderView>
#include <QTest>
#include <QTableView>
#include <QTreeView>

#include "platform/registry.h"
#include "wizard/forms/main/main_form_fixture.h"
#include "wizard/forms/types/types_panel.h"
#include "wizard/model/found_files/base_sorted_list.h"
#include "wizard/settings/settings_values.h"

namespace {

constexpr char16_t kWindowKey[] = u"\\Software\\Kelvorin\\Pramblex\\3.0\\Window";

class MainFormPlacementTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        useScriptedDrives({ScriptedVolume(2, 'C', 1)});
        startUnits();
    }

    void showForm() {
        createForm();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    QHeaderView* header(const char* list) const {
        if (auto* tree = form->findChild<QTreeView*>(QString::fromLatin1(list))) return tree->header();
        return child<QTableView>(list)->horizontalHeader();
    }
};

TEST_F(MainFormPlacementTest, TheNextRunOpensWhereThisOneClosedMaximizedToo) {
    showForm();
    const QRect initial = form->geometry();
    const QRect placed(60, 50, 700, 480);
    form->setGeometry(placed);
    header("DriveSelectListViewDrives")->resizeSection(0, 123);
    header("PreviewFileSystemListView")->resizeSection(5, 321);
    header("PreviewDriveSectorsListView")->resizeSection(3, 99);
    destroyForm();

    showForm();
    EXPECT_EQ(form->geometry(), placed);
    EXPECT_NE(initial, placed);
    EXPECT_EQ(header("DriveSelectListViewDrives")->sectionSize(0), 123);
    EXPECT_EQ(header("PreviewFileSystemListView")->sectionSize(5), 321);
    EXPECT_EQ(header("PreviewDriveSectorsListView")->sectionSize(3), 99);

    form->showMaximized();
    QTest::qWait(20);
    destroyForm();
    showForm();
    EXPECT_TRUE(form->isMaximized());
}

TEST_F(MainFormPlacementTest, DamagedValuesAreIgnoredOrBroughtWithinBounds) {
    showForm();
    const QRect initial = form->geometry();
    destroyForm();

    platform::RegistryKey key = *platform::RegistryKey::create(kWindowKey);
    key.writeDword(u"WindowNormalPositionHeight", 10);  // right of left: inverted
    key.writeDword(u"DriveSelectColumnDrive", static_cast<std::uint32_t>(-5));
    key.writeDword(u"DriveSelectColumnType", 1'000'000'000);
    showForm();
    EXPECT_EQ(form->geometry(), initial);
    // The header keeps a column at least as wide as its own minimum.
    EXPECT_EQ(header("DriveSelectListViewDrives")->sectionSize(0),
              std::max(kMinColumnWidth, header("DriveSelectListViewDrives")->minimumSectionSize()));
    EXPECT_EQ(header("DriveSelectListViewDrives")->sectionSize(1), kMaxColumnWidth);
}

TEST_F(MainFormPlacementTest, AWindowNeverShownWritesNoPlacement) {
    createForm();
    destroyForm();
    EXPECT_FALSE(platform::RegistryKey::open(kWindowKey));
}

TEST_F(MainFormPlacementTest, StoredChoicesSetUpThePagesAndLists) {
    Settings().RecoveryFilesSizeUse = true;
    Settings().RecoveryFilesSizeCount = 300;
    Settings().GlobalFileSystemSortColumn = 2;
    Settings().GlobalFileSystemSortOrderAZ = true;
    Settings().GlobalDriveSectorsSortColumn = 2;
    Settings().RecoveryTargetFolder = QStringLiteral("/srv/recovered");
    createForm();
    EXPECT_TRUE(form->findChild<TTypesPanel*>()->filtersShown());
    EXPECT_FALSE(button("TypesShowFiltersButton")->isVisibleTo(form.get()));
    EXPECT_EQ(form->FileSystemList->SortColumn(), kSortByCreated);
    EXPECT_TRUE(form->FileSystemList->Ascending());
    EXPECT_EQ(form->DriveSectorsList->SortColumn(), kSortByType);
    EXPECT_EQ(Settings().RecoveryTargetFolder, QStringLiteral("/srv/recovered/"));
}

}  // namespace
