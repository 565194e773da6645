// The scan pages' components: the names that translation files and the main window look
// for, their states, and the shipped German texts.

#include "wizard/scans/scan_pages.h"

#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>


#include "wizard/forms/main/pages/page_parts.h"
#include "wizard/scans/scan_progress.h"
#include "wizard/support/language_folder_fixture.h"
#include "wizard/translation/translate_form.h"

namespace {

TEST(ScanPages, CarryTheirComponentsByNameAndTakeTheRangeBeforeTheValue) {
    TScanFileSystemPage fileSystem;
    TScanDriveSectorsPage sectors;
    const struct {
        QWidget* page;
        const char* names;
    } pages[] = {
        {&fileSystem, "LabelStatus LabelReadErrors LabelTotalRecords LabelCurRecord LabelFilesFound "
                      "LabelDrive TopLabel MemoLog ButtonStart ButtonStop ProgressBar Animate"},
        {&sectors, "LabelDrive LabelStatus LabelReadErrors LabelTotalSectors LabelCurrentSector "
                   "LabelFreeSectors LabelFreeSec LabelFilesFound TopLabel MemoLog ButtonStart "
                   "ButtonStop ProgressBar Animate"},
    };
    for (const auto& [page, names] : pages) {
        const QString prefix = page == &fileSystem ? QStringLiteral("ScanFileSystem")
                                                   : QStringLiteral("ScanDriveSectors");
        for (const QString& name : QString::fromLatin1(names).split(u' ')) {
            EXPECT_NE(page->findChild<QWidget*>(prefix + name), nullptr) << (prefix + name).toStdString();
        }
    }
    EXPECT_EQ(sectors.LabelDrive->textFormat(), Qt::PlainText);
    sectors.ProgressBar->setRange(0, 100);
    sectors.ShowProgress(kProgressRange / 2);
    EXPECT_EQ(sectors.ProgressBar->value(), kProgressRange / 2);
}

TEST(ScanPages, TitleTheirPagesAsTheOtherPagesDo) {
    QWidget other;
    AddPageLayout(&other, "OtherTopLabel", QStringLiteral("Step 1 of 9"));
    const QLabel* otherTitle = other.findChild<QLabel*>(QStringLiteral("OtherTopLabel"));
    TScanFileSystemPage fileSystem;
    TScanDriveSectorsPage sectors;
    for (const TScanPageBase* page : {static_cast<const TScanPageBase*>(&fileSystem),
                                      static_cast<const TScanPageBase*>(&sectors)}) {
        ASSERT_NE(page->TopLabel, nullptr);
        EXPECT_EQ(page->TopLabel->font(), otherTitle->font());
        EXPECT_EQ(page->layout()->contentsMargins(), other.layout()->contentsMargins());
    }
}

using ShippedScanTexts = LanguageFolderTest;

TEST_F(ShippedScanTexts, TranslateThePagesInTheMainWindowsSection) {
    const QString source = qEnvironmentVariable("UNDELETE_TEST_DATA") +
                           QStringLiteral("/../../wizard/languages/Deutsch.lng");
    ASSERT_TRUE(QFile::copy(source, programFile(QStringLiteral("Deutsch.lng"))));
    SetCurrentTranslation(LoadLanguageFile(QStringLiteral("Deutsch.lng")));
    QWidget form;
    form.setObjectName(QStringLiteral("MainForm"));
    auto* fileSystem = new TScanFileSystemPage(&form);
    auto* sectors = new TScanDriveSectorsPage(&form);
    TranslateForm({&form});
    EXPECT_EQ(fileSystem->TopLabel->text(), QStringLiteral("Schritt 5 von 9: Das Dateisystem wird durchsucht..."));
    EXPECT_EQ(sectors->LabelFreeSec->text(), QStringLiteral("Freie Cluster:"));
    EXPECT_EQ(sectors->ButtonStop->text(), QStringLiteral("&Anhalten"));
    EXPECT_EQ(fileSystem->findChild<QLabel*>(QStringLiteral("ScanFileSystemLabelTotalRecordsCaption"))->text(),
              QStringLiteral("Einträge gesamt:"));
}

}  // namespace
