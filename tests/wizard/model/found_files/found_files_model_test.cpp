// The found-file model: row texts of both lists, check boxes kept per element, rows that
// follow the list, thumbnails applied per generation; and the row-range arithmetic of
// selections.

#include <QLocale>
#include <QStandardItemModel>

#include <gtest/gtest.h>

#include "wizard/forms/preview/preview_fixture.h"

namespace {

using FoundFilesModelTest = PreviewTest;

TEST_F(FoundFilesModelTest, RowsShowTheElementsTextsInTheListsColumns) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    paths = {{9, u"C:\\Photos\\"}};
    fileSystemList.Add(
        Make({.RecordNumber = 9, .Flags = kFileDeleted, .Size = 1234567, .Created = 0, .Name = u"cat.jpg"}));
    sectorList.Add(Make({.Size = kUnknownSize, .TypeCode = 83, .DataPosition = 4096}, 12));
    TFoundFilesModel fileSystem(FoundListKind::FileSystem, fileSystemList, *images);
    TFoundFilesModel sectors(FoundListKind::DriveSectors, sectorList, *images);

    QStringList texts;
    for (int column = 0; column < fileSystem.columnCount(); ++column) {
        texts << fileSystem.index(0, column).data().toString();
    }
    // No time and an unknown size show as nothing.
    EXPECT_EQ(texts, QStringList({"cat.jpg", "Deleted ", "", "1,234,567", "JPEG image", "C:\\Photos\\"}));
    texts.clear();
    for (int column = 0; column < sectors.columnCount(); ++column) texts << sectors.index(0, column).data().toString();
    EXPECT_EQ(texts, QStringList({"image_0012.JPG", "Live", "JPEG image", ""}));

    EXPECT_FALSE(fileSystem.index(1, 0).data().isValid());  // no such row

    // The small icon is looked up once per extension and kept in the element.
    fileSystemList.Add(Make({.RecordNumber = 10, .Name = u"dog.JPG"}));
    fileSystem.SyncRowCount();
    EXPECT_EQ(fileSystem.index(0, 0).data(Qt::DecorationRole).value<QPixmap>().size(), QSize(16, 16));
    fileSystem.index(1, 0).data(Qt::DecorationRole);
    EXPECT_EQ(fileSystemList[0].IconIndex(), 2);
    EXPECT_EQ(fileSystemList[1].IconIndex(), 2);
    EXPECT_EQ(images->FilesImages.Count(), 3);
    QLocale::setDefault(saved);
}

TEST_F(FoundFilesModelTest, CheckBoxesBelongToTheirElementsAndOnlyTheSectorListHasThem) {
    AddNumbered(sectorList, 4);
    AddNumbered(fileSystemList, 1);
    TFoundFilesModel sectors(FoundListKind::DriveSectors, sectorList, *images);
    TFoundFilesModel fileSystem(FoundListKind::FileSystem, fileSystemList, *images);
    sectorList.SetSort(kSortBySize, true);
    EXPECT_FALSE(fileSystem.flags(fileSystem.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    EXPECT_FALSE(fileSystem.index(0, 0).data(Qt::CheckStateRole).isValid());
    EXPECT_FALSE(fileSystem.setData(fileSystem.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(sectors.flags(sectors.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    ASSERT_TRUE(sectors.setData(sectors.index(1, 0), Qt::Checked, Qt::CheckStateRole));
    ASSERT_TRUE(sectors.setData(sectors.index(3, 0), Qt::Checked, Qt::CheckStateRole));
    ASSERT_TRUE(sectors.setData(sectors.index(3, 0), Qt::Unchecked, Qt::CheckStateRole));
    sectorList.SetSort(kSortBySize, false);  // e1 moves to row 2
    std::string checked;
    for (int row = 0; row < 4; ++row) {
        if (sectors.index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked) {
            checked += sectors.ElementAt(row)->Name();
        }
    }
    EXPECT_EQ(checked, "e1.jpg");
    sectorList.Clear();
    AddNumbered(sectorList, 4);
    sectors.SyncRowCount();
    EXPECT_EQ(sectors.index(1, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
}

TEST_F(FoundFilesModelTest, ThumbnailsOfAnOlderGenerationAreDropped) {
    AddNumbered(fileSystemList, 2);
    TFoundFilesModel model(FoundListKind::FileSystem, fileSystemList, *images);
    EXPECT_EQ(model.index(0, 0).data(TFoundFilesModel::ThumbnailRole).value<QPixmap>().toImage(),
              images->ImageListTrumbnails.At(TPreviewImageLists::kLoading).toImage());
    QImage red(96, 96, QImage::Format_RGB888);
    red.fill(Qt::red);
    model.ApplyThumbnail(model.Generation(), &fileSystemList[0], red);
    model.ApplyThumbnail(model.Generation(), &fileSystemList[1], QImage());
    EXPECT_EQ(fileSystemList[0].ThumbnailIndex(), 3);
    EXPECT_EQ(fileSystemList[1].ThumbnailIndex(), 4);  // the jpg placeholder
    EXPECT_EQ(model.index(0, 0).data(TFoundFilesModel::ThumbnailRole).value<QPixmap>().toImage().pixelColor(5, 5),
              QColor(Qt::red));

    const std::uint64_t before = model.Generation();
    fileSystemList.SetSort(kSortBySize, false);
    EXPECT_EQ(model.Generation(), before);  // a re-order frees nothing
    TBaseElement* gone = &fileSystemList[0];
    fileSystemList.Clear();
    EXPECT_EQ(model.Generation(), before + 1);
    const int count = images->ImageListTrumbnails.Count();
    model.ApplyThumbnail(before, gone, red);  // never read: the element is freed
    EXPECT_EQ(images->ImageListTrumbnails.Count(), count);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(SelectedRows, RangesAreCountedMergedAndInverted) {
    const struct {
        std::vector<RowRange> ranges;  // as a selection may hold them
        int rowCount;
        std::vector<RowRange> merged;
        std::int64_t count;
        std::vector<RowRange> complement;
    } cases[] = {
        {{}, 0, {}, 0, {}},
        {{}, 5, {}, 0, {{0, 4}}},
        {{{0, 999'999}}, 1'000'000, {{0, 999'999}}, 1'000'000, {}},
        {{{5, 6}, {0, 1}}, 8, {{0, 1}, {5, 6}}, 4, {{2, 4}, {7, 7}}},
        {{{2, 3}, {4, 5}, {3, 4}}, 6, {{2, 5}}, 4, {{0, 1}}},  // touching and overlapping
        {{{0, 0}, {9, 9}}, 10, {{0, 0}, {9, 9}}, 2, {{1, 8}}},
    };
    QStandardItemModel model(10, 3);
    for (const auto& c : cases) {
        QItemSelection selection;
        for (const RowRange& range : c.ranges) {
            // Ranges of single columns, as clicks and key presses leave them.
            selection.append(
                QItemSelectionRange(model.index(std::min(range.first, 9), 1), model.index(std::min(range.last, 9), 1)));
        }
        if (c.rowCount > 10) {
            EXPECT_EQ(RowCountOf(c.ranges), c.count);
            EXPECT_EQ(ComplementRanges(c.ranges, c.rowCount), c.complement);
            continue;
        }
        EXPECT_EQ(SelectedRowRanges(selection), c.merged);
        EXPECT_EQ(RowCountOf(c.merged), c.count);
        EXPECT_EQ(ComplementRanges(c.merged, c.rowCount), c.complement);
        const QItemSelection rows = SelectionOfRows(model, c.complement);
        EXPECT_EQ(rows.size(), qsizetype(c.complement.size()));
        for (const QItemSelectionRange& range : rows) EXPECT_EQ(range.width(), 3);
    }
}

}  // namespace
