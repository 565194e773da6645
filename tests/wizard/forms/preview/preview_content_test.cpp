// The preview pages' handlers on hand-made lists: sorting by header and menu with the
// selection kept by element, the sort mark, enabling, Preview, the panel and page show.

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

#include "wizard/forms/preview/found_files_views.h"
#include "wizard/forms/preview/preview_fixture.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/support/modal_dialog_driver.h"

namespace {

const QString kUnknownSizeText = QStringLiteral(
    "The size of this file is unknown, and its type gives no default size, so it cannot be previewed. "
    "Recover it to give it a size.");

class PreviewContentTest : public PreviewTest {
protected:
    template <typename Type = QWidget>
    static Type* Child(TPreviewContent& page, const char* name) {
        return page.findChild<Type*>(QString::fromLatin1(name));
    }

    static std::set<std::string> SelectedNames(TPreviewContent& page) {
        std::set<std::string> names;
        for (const TBaseElement* element : page.SelectedElements()) names.insert(element->Name());
        return names;
    }

    static std::string CurrentName(TPreviewContent& page) {
        const TBaseElement* element = page.Model().ElementAt(page.Selection().currentIndex().row());
        return element ? element->Name() : std::string();
    }

    // The header images of every column: "0" up, "1" down, "-" none.
    static std::string Marks(TPreviewContent& page) {
        std::string marks;
        for (int column = 0; column < page.Model().columnCount(); ++column) {
            const int image = page.Model().HeaderImage(column);
            marks += image < 0 ? '-' : char('0' + image);
        }
        return marks;
    }

    // Sets the default size of the format with the id, for this run.
    static void SetDefaultSizeKb(std::int32_t id, std::int32_t kilobytes) {
        const TFormat* format = DataStorage->FindBySignatureId(id);
        ASSERT_NE(format, nullptr);
        TFormat changed = *format;
        changed.DefaultSizeKb = kilobytes;
        DataStorage->ChangeFormat(*DataStorage->IndexOf(format), changed);
    }

    static std::shared_ptr<const TRecoveryDrive> DriveOfSectors(std::uint64_t sectors) {
        _LDRIVE drive{};
        drive.Letter = 'C';
        drive.TotalSectors = sectors;
        return std::make_shared<TRecoveryDrive>(drive);
    }
};

TEST_F(PreviewContentTest, SortsByHeaderAndMenuMoveTheMarkAndKeepTheSelectedElements) {
    AddNumbered(fileSystemList, 6);
    TPreviewFileSystem& page = FileSystemPage();
    page.TabSheetShow();
    ASSERT_EQ(Marks(page), "0-----");
    SelectRows(page, {3, 1, 4});
    const std::set<std::string> picked = {"e1.jpg", "e3.jpg", "e4.jpg"};
    ASSERT_EQ(SelectedNames(page), picked);

    const char* const up = "e0 e1 e2 e3 e4 e5 ";
    const char* const down = "e5 e4 e3 e2 e1 e0 ";
    const struct {
        const char* step;
        std::function<void()> sort;
        int column;
        std::uint8_t code;
        bool ascending;
        const char* marks;
        const char* order;  // nullptr: ties, any order
    } steps[] = {
        {"Size header", [&] { page.ListViewColumnClick(3); }, 3, kSortBySize, true, "---0--", up},
        {"Size header again", [&] { page.ListViewColumnClick(3); }, 3, kSortBySize, false, "---1--", down},
        {"Sort by Name", [&] { page.MiSortByClick(0); }, 0, kSortByName, false, "1-----", down},
        {"Sort Order A..Z", [&] { page.MiSortOrderClick(true); }, 0, kSortByName, true, "0-----", up},
        {"Sort by Size", [&] { page.MiSortByClick(3); }, 3, kSortBySize, true, "---0--", up},
        {"Sort Order Z..A", [&] { page.MiSortOrderClick(false); }, 3, kSortBySize, false, "---1--", down},
        {"Name header", [&] { page.ListViewColumnClick(0); }, 0, kSortByName, true, "0-----", up},
        {"Created header", [&] { page.ListViewColumnClick(2); }, 2, kSortByCreated, true, "--0---", nullptr},
        {"Type header", [&] { page.ListViewColumnClick(4); }, 4, kSortByType, true, "----0-", nullptr},
        {"Type header again", [&] { page.ListViewColumnClick(4); }, 4, kSortByType, false, "----1-", nullptr},
        {"Path header", [&] { page.ListViewColumnClick(5); }, 5, kSortByPath, true, "-----0", nullptr},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        step.sort();
        if (step.order) {
            EXPECT_EQ(Names(fileSystemList), step.order);
        }
        EXPECT_EQ(fileSystemList.SortColumn(), step.code);
        EXPECT_EQ(fileSystemList.Ascending(), step.ascending);
        EXPECT_EQ(Settings().GlobalFileSystemSortColumn, step.column);
        EXPECT_EQ(Settings().GlobalFileSystemSortOrderAZ, step.ascending);
        EXPECT_EQ(Marks(page), step.marks);
        EXPECT_EQ(page.SortGfxColumn(), step.column);
        EXPECT_EQ(SelectedNames(page), picked);
        EXPECT_EQ(page.SelectedCount(), 3);
        EXPECT_EQ(CurrentName(page), "e3.jpg");
        EXPECT_TRUE(page.isEnabled());
    }
}

TEST_F(PreviewContentTest, SortByMenuKeepsTheOrderAndSetsTheMark) {
    AddNumbered(sectorList, 3);
    Settings().GlobalDriveSectorsSortOrderAZ = false;  // the first start's default
    TPreviewDriveSectors& page = SectorsPage();
    page.MiSortByClick(3);
    EXPECT_EQ(sectorList.SortColumn(), kSortBySize);
    EXPECT_EQ(Marks(page), "---1");
    page.MiSortByClick(0);
    EXPECT_EQ(sectorList.SortColumn(), kSortByName);
    EXPECT_FALSE(sectorList.Ascending());
    EXPECT_EQ(Names(sectorList), "e2 e1 e0 ");
    EXPECT_EQ(Marks(page), "1---");

    page.PopupMenuPopup();
    EXPECT_TRUE(Child<QAction>(page, "PreviewDriveSectorsMiSortByName")->isChecked());
    EXPECT_TRUE(Child<QAction>(page, "PreviewDriveSectorsMiSortOrderZA")->isChecked());
    page.MiSortOrderClick(true);
    EXPECT_EQ(Names(sectorList), "e0 e1 e2 ");
    EXPECT_EQ(Marks(page), "0---");
}

TEST_F(PreviewContentTest, AStoredColumnOutsideTheListSortsByNameWithoutAMark) {
    for (const int stored : {-5, 99}) {
        TBaseSortedList list(kSortBySize, true);
        AddNumbered(list, 3);
        Settings().GlobalFileSystemSortColumn = stored;
        TPreviewFileSystem page(list, *images);
        page.TabSheetShow();
        EXPECT_EQ(list.SortColumn(), kSortByName) << stored;
        EXPECT_EQ(Marks(page), "------") << stored;
        EXPECT_EQ(page.SortGfxColumn(), stored);
        page.ListViewColumnClick(1);  // the mark column outside the list is left alone
        EXPECT_EQ(Marks(page), "-0----") << stored;
    }
}

TEST_F(PreviewContentTest, PageShowResortsAListLeftInPositionOrderAndShowsNewRows) {
    AddNumbered(fileSystemList, 3);
    Settings().GlobalFileSystemSortOrderAZ = false;
    TPreviewFileSystem& page = FileSystemPage();
    page.TabSheetShow();
    EXPECT_EQ(Names(fileSystemList), "e2 e1 e0 ");
    EXPECT_TRUE(fileSystemList.FindByStartPosition(1024));  // as the sector scan does
    AddNumbered(fileSystemList, 2, u".txt");
    EXPECT_EQ(page.Model().rowCount(), 3);
    page.TabSheetShow();
    EXPECT_EQ(page.Model().rowCount(), 5);
    EXPECT_EQ(Names(fileSystemList), "e2 e1 e1 e0 e0 ");
    EXPECT_EQ(page.Model().index(0, 0).data().toString(), QStringLiteral("e2.jpg"));
}

TEST_F(PreviewContentTest, ButtonsAndPopupFollowTheNumberOfSelectedRows) {
    AddNumbered(fileSystemList, 3);
    TPreviewFileSystem& page = FileSystemPage();
    page.TabSheetShow();
    // Recover, Preview, Information: buttons, then popup items.
    const struct {
        std::vector<int> rows;
        const char* enabled;
    } cases[] = {{{}, "000000"}, {{1}, "111111"}, {{0, 2}, "100100"}};
    for (const auto& c : cases) {
        SelectRows(page, c.rows);
        page.PopupMenuPopup();
        std::string enabled;
        for (const char* button : {"RecoverButton", "PreviewButton", "InformationButton"}) {
            enabled += Child(page, (std::string("PreviewFileSystem") + button).c_str())->isEnabled() ? '1' : '0';
        }
        for (const PreviewAction item : {PreviewAction::Recover, PreviewAction::Preview, PreviewAction::Information}) {
            enabled += page.Action(item)->isEnabled() ? '1' : '0';
        }
        EXPECT_EQ(enabled, c.enabled) << c.rows.size();
    }
}

TEST_F(PreviewContentTest, InvertSelectsTheOtherRowsAndSelectAllEveryRow) {
    AddNumbered(fileSystemList, 7);
    TPreviewFileSystem& page = FileSystemPage();
    page.TabSheetShow();
    SelectRows(page, {1, 2, 5});
    page.MiInvertSelectionClick();
    EXPECT_EQ(SelectedRowRanges(page.Selection().selection()), (std::vector<RowRange>{{0, 0}, {3, 4}, {6, 6}}));
    page.MiSelectAllClick();
    EXPECT_EQ(page.SelectedCount(), 7);
    EXPECT_TRUE(page.isEnabled());
    page.MiInvertSelectionClick();
    EXPECT_EQ(page.SelectedCount(), 0);
    EXPECT_FALSE(Child<QPushButton>(page, "PreviewFileSystemRecoverButton")->isEnabled());
}

TEST_F(PreviewContentTest, HomeAndEndGoToTheFirstAndLastRowInBothViews) {
    AddNumbered(fileSystemList, 40);
    TPreviewFileSystem& page = FileSystemPage();
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    page.TabSheetShow();
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(page.ReportView()),
                                    static_cast<QAbstractItemView*>(page.findChild<TFoundFilesThumbnailView*>())}) {
        if (view != page.ReportView()) page.MiViewAsTrumbnailsClick();
        SelectRows(page, {5});
        for (const auto& [key, row] : {std::pair{Qt::Key_End, 39}, std::pair{Qt::Key_Home, 0}}) {
            QTest::keyClick(view, key);
            EXPECT_EQ(SelectedRowRanges(page.Selection().selection()), (std::vector<RowRange>{{row, row}})) << key;
            EXPECT_EQ(page.Selection().currentIndex(), page.Model().index(row, 0)) << "the column stays";
        }
    }
}

TEST_F(PreviewContentTest, PreviewHandsTheViewerTheProgramsTypeIdForTheName) {
    AddNumbered(fileSystemList, 1, u".jpg");
    AddNumbered(fileSystemList, 1, u".qqq");
    TPreviewFileSystem& page = FileSystemPage();
    page.TabSheetShow();
    page.MiPreviewClick();  // no selection: nothing
    EXPECT_TRUE(viewed.empty());
    for (const int row : {0, 1}) {
        SelectRows(page, {row});
        page.MiPreviewClick();
    }
    ASSERT_EQ(viewed.size(), 2u);
    EXPECT_EQ(+viewed[0].TypeCode, 83);  // packed fields: compared as copies
    EXPECT_EQ(+viewed[0].DataPosition, 512u);
    EXPECT_EQ(+viewed[1].TypeCode, 0xFFFF);
    EXPECT_EQ(+fileSystemList[1].Record().TypeCode, 0xFFFF);  // kept in the element

    // Without the desktop's opener the viewer could show nothing: the user is told, as by
    // "Explore Recovered Files".
    shell.accepts = false;
    prompts.expect(QStringLiteral("Unable to execute external program xdg-open."), kPromptOk);
    page.MiPreviewClick();
    EXPECT_EQ(viewed.size(), 2u);
    prompts.verifyAllShown();
}

TEST_F(PreviewContentTest, SectorPreviewGivesAnUnknownSizeTheCappedDefaultSize) {
    const std::uint64_t jpegBytes = 3072 * 1024;
    const struct {
        std::int32_t defaultSizeKb;
        std::uint64_t driveSectors;  // 0: no drive
        std::uint64_t position;
        std::uint64_t size;  // kUnknownSize: refused, no viewer
        std::uint16_t type = 83;
    } cases[] = {
        {3072, 0, 512, jpegBytes},
        {3'000'000, 0, 512, 3'072'000'000ull},                 // beyond 32 bits, no overflow
        {3'000'000, 20'000'000, 512, 3'072'000'000ull},        // the drive holds it
        {3'000'000, 1'000'000, 512 * 1000, 512 * 999'000ull},  // up to the drive's end
        {3072, 1000, 512 * 1000, kUnknownSize},                // at the drive's end
        {0, 0, 512, kUnknownSize},
        {-4, 0, 512, kUnknownSize},
        {3072, 0, 512, kUnknownSize, 999},  // a type without a format
    };
    for (const auto& c : cases) {
        SetDefaultSizeKb(83, c.defaultSizeKb);
        sectorList.Clear();
        sectorList.Add(Make({.Size = kUnknownSize, .TypeCode = c.type, .DataPosition = c.position}, 7));
        if (c.driveSectors) sectorList[0].SetDrive(DriveOfSectors(c.driveSectors));
        viewed.clear();
        TPreviewDriveSectors page(sectorList, *images);
        page.TabSheetShow();
        SelectRows(page, {0});
        if (c.size == kUnknownSize) prompts.expect(kUnknownSizeText, kPromptOk);
        page.MiPreviewClick();
        EXPECT_EQ(+sectorList[0].Record().Size, c.size) << c.defaultSizeKb << ' ' << c.driveSectors;
        EXPECT_EQ(viewed.size(), c.size == kUnknownSize ? 0u : 1u) << c.defaultSizeKb;
        if (!viewed.empty()) {
            EXPECT_EQ(+viewed[0].TypeCode, 83);  // the engine's id stays
        } else {
            EXPECT_EQ(page.Model().index(0, 3).data().toString(), QString());
        }
    }
    EXPECT_EQ(prompts.shown().back().caption, QStringLiteral("Information"));
}

TEST_F(PreviewContentTest, InformationShowsThePropertiesOfTheSelectedFile) {
    AddNumbered(fileSystemList, 2);
    TPreviewFileSystem& page = FileSystemPage();
    page.TabSheetShow();
    page.MiInformationClick();  // nothing selected: no dialog
    SelectRows(page, {1});
    QString title;
    answerNextModalDialog([&](QWidget* dialog) {
        title = dialog->windowTitle();
        dialog->close();
    });
    page.MiInformationClick();
    EXPECT_EQ(title, QStringLiteral("e1.jpg Properties"));
}

TEST_F(PreviewContentTest, ThePanelAsksTheEngineOnceAndShowsAPlaceholderWithoutAPicture) {
    AddNumbered(sectorList, 3);
    sectorList[2].SetSize(kUnknownSize);
    pictures = {512};  // e0 only
    TPreviewDriveSectors& page = SectorsPage();
    page.TabSheetShow();
    SelectRows(page, {0});  // panel hidden: nothing asked
    EXPECT_EQ(thumbnailCalls, 0);
    auto* picture = page.findChild<QLabel*>(QStringLiteral("PreviewDriveSectorsPreviewImage"));
    auto* name = page.findChild<QLabel*>(QStringLiteral("PreviewDriveSectorsPreviewNameValue"));
    auto* size = page.findChild<QLabel*>(QStringLiteral("PreviewDriveSectorsPreviewSizeValue"));
    EXPECT_EQ(name->text(), QStringLiteral("n/a"));
    page.MiPreviewPanelClick();
    EXPECT_EQ(name->text(), QStringLiteral("e0.jpg"));  // the file selected as it opens
    EXPECT_EQ(thumbnailCalls, 1);

    const struct {
        int row;
        int calls;  // engine calls so far
        const char* name;
        const char* size;
    } steps[] = {{0, 1, "e0.jpg", "100"}, {1, 2, "e1.jpg", "200"}, {0, 2, "e0.jpg", "100"}, {2, 2, "e2.jpg", ""}};
    for (const auto& step : steps) {
        SelectRows(page, {step.row});
        EXPECT_EQ(thumbnailCalls, step.calls) << step.row;
        EXPECT_EQ(name->text(), QString::fromLatin1(step.name));
        EXPECT_EQ(size->text(), QString::fromLatin1(step.size));
    }
    EXPECT_EQ(picture->pixmap().toImage(), images->ImageList1.At(images->PreviewPlaceholder(sectorList[2])).toImage());
    // A second row kept with the first: the panel keeps what it shows.
    page.Selection().select(page.Model().index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(name->text(), QStringLiteral("e2.jpg"));
    SelectRows(page, {0});
    EXPECT_EQ(picture->pixmap().toImage().pixelColor(0, 0), QColor(1, 1, 1));
    EXPECT_FALSE(unknownSizeAsked);
    EXPECT_EQ(sectorList[2].PreviewIndex(), -1);  // the placeholder is not kept
    // No picture from the engine: the red sign (JPEG promises one) with the icon, kept.
    const int placeholder = images->PreviewPlaceholder(sectorList[1]);
    EXPECT_EQ(sectorList[1].PreviewIndex(), placeholder);
    EXPECT_EQ(images->ImageList1.At(placeholder).toImage().pixelColor(14, 48),
              images->ImageList1.At(TPreviewImageLists::kNoPreview).toImage().pixelColor(14, 48));
}

}  // namespace
