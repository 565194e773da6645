// The found-file lists start with columns that fit what they usually show, in English
// and in German, whatever the locale writes dates like.

#include <QFile>
#include <QHeaderView>
#include <QLocale>

#include <gtest/gtest.h>

#include "wizard/forms/preview/found_files_views.h"
#include "wizard/forms/preview/preview_fixture.h"
#include "wizard/translation/translation.h"

namespace {

class FoundListWidthsTest : public PreviewTest {
protected:
    void TearDown() override {
        SetCurrentTranslation(nullptr);
        QLocale::setDefault(savedLocale_);
        PreviewTest::TearDown();
    }

    // Each column of a view over `list` is at least as wide as its rows and its header
    // (with a sort mark) ask for.
    void ExpectColumnsFit(FoundListKind kind, TBaseSortedList& list) {
        TFoundFilesModel model(kind, list, *images);
        TFoundFilesReportView view(model);
        view.resize(900, 300);
        view.show();
        const QAbstractItemView& rows = view;  // asks the delegate about the visible rows
        for (int column = 0; column < model.columnCount(); ++column) {
            model.SetHeaderImage(column, 0);
            EXPECT_GE(view.columnWidth(column), rows.sizeHintForColumn(column))
                << "column " << column << ": " << model.index(0, column).data().toString().toStdString();
            EXPECT_GE(view.columnWidth(column), view.horizontalHeader()->sectionSizeHint(column))
                << "header of column " << column;
        }
    }

private:
    const QLocale savedLocale_;
};

TEST_F(FoundListWidthsTest, EveryColumnFitsItsUsualTextsInEveryLanguageAndLocale) {
    paths = {{9, u"C:\\Pictures\\Holidays\\"}};
    fileSystemList.Add(Make({.RecordNumber = 9,
                             .Flags = kFileHoldsDeleted,
                             .Size = 1'234'567'890,
                             .Created = 133'278'304'900'000'000,  // 6 May 2023 07:08:10
                             .Name = u"IMG_20230506.bmp"}));
    fileSystemList.Add(Make({.RecordNumber = 10, .Flags = kFileDeleted, .Size = 12, .Name = u"PICTURE.BMP"}));
    sectorList.Add(Make({.Flags = kFileDeleted, .Size = 1'254, .TypeCode = 84}, 2));

    QFile german(qEnvironmentVariable("UNDELETE_TEST_DATA") + QStringLiteral("/../../wizard/languages/Deutsch.lng"));
    ASSERT_TRUE(german.open(QIODevice::ReadOnly));
    const auto translation = std::make_shared<LanguageFile>(LanguageFile::parse(QString::fromUtf8(german.readAll())));
    const QLocale locales[] = {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                               QLocale(QLocale::German, QLocale::Germany),
                               QLocale(QLocale::English, QLocale::UnitedKingdom)};
    for (const bool inGerman : {false, true}) {
        SetCurrentTranslation(inGerman ? translation : nullptr);
        for (const QLocale& locale : locales) {
            SCOPED_TRACE(locale.name().toStdString() + (inGerman ? " German" : " English"));
            QLocale::setDefault(locale);
            ExpectColumnsFit(FoundListKind::FileSystem, fileSystemList);
            ExpectColumnsFit(FoundListKind::DriveSectors, sectorList);
        }
    }
}

}  // namespace
