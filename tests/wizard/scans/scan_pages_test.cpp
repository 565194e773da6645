// The scan pages' components: the names that translation files and the main window look
// for, their states, and the shipped German texts.

#include "wizard/scans/scan_pages.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "wizard/scans/scan_progress.h"
#include "wizard/support/language_folder_fixture.h"
#include "wizard/translation/translate_form.h"

namespace {

template <typename Widget>
bool Has(QWidget& page, const char* name) {
    return page.findChild<Widget*>(QString::fromLatin1(name)) != nullptr;
}

TEST(ScanPages, CarryTheirComponentsByName) {
    TScanFileSystemPage fileSystem;
    TScanDriveSectorsPage sectors;
    for (const char* name : {"ScanFileSystemLabelStatus", "ScanFileSystemLabelReadErrors",
                             "ScanFileSystemLabelTotalRecords", "ScanFileSystemLabelCurRecord",
                             "ScanFileSystemLabelFilesFound", "ScanFileSystemLabelDrive",
                             "ScanFileSystemTopLabel"}) {
        EXPECT_TRUE(Has<QLabel>(fileSystem, name)) << name;
    }
    for (const char* name : {"ScanDriveSectorsLabelDrive", "ScanDriveSectorsLabelStatus",
                             "ScanDriveSectorsLabelReadErrors", "ScanDriveSectorsLabelTotalSectors",
                             "ScanDriveSectorsLabelCurrentSector", "ScanDriveSectorsLabelFreeSectors",
                             "ScanDriveSectorsLabelFreeSec", "ScanDriveSectorsLabelFilesFound",
                             "ScanDriveSectorsTopLabel"}) {
        EXPECT_TRUE(Has<QLabel>(sectors, name)) << name;
    }
    for (const auto& [p, widget] : {std::pair<std::string, QWidget*>{"ScanFileSystem", &fileSystem},
                                    {"ScanDriveSectors", &sectors}}) {
        QWidget& page = *widget;
        EXPECT_TRUE(Has<QPlainTextEdit>(page, (p + "MemoLog").c_str())) << p;
        EXPECT_TRUE(Has<QPushButton>(page, (p + "ButtonStart").c_str())) << p;
        EXPECT_TRUE(Has<QPushButton>(page, (p + "ButtonStop").c_str())) << p;
        EXPECT_TRUE(Has<QProgressBar>(page, (p + "ProgressBar").c_str())) << p;
        EXPECT_TRUE(Has<QProgressBar>(page, (p + "Animate").c_str())) << p;
    }
    EXPECT_EQ(sectors.LabelFreeSec->objectName(), QStringLiteral("ScanDriveSectorsLabelFreeSec"));
}

TEST(ScanPages, FollowTheScansStateAndShowDiskTextsPlain) {
    TScanDriveSectorsPage page;
    EXPECT_TRUE(page.ButtonStart->isEnabled());
    EXPECT_FALSE(page.ButtonStop->isEnabled());
    page.ShowRunning(true);
    EXPECT_FALSE(page.ButtonStart->isEnabled());
    EXPECT_TRUE(page.ButtonStop->isEnabled());
    EXPECT_FALSE(page.Animate->isHidden());
    page.ShowRunning(false);
    EXPECT_TRUE(page.Animate->isHidden());

    page.ProgressBar->setRange(0, 100);
    page.ShowProgress(kProgressRange / 2);
    EXPECT_EQ(page.ProgressBar->value(), kProgressRange / 2) << "the range comes first";
    EXPECT_EQ(page.LabelDrive->textFormat(), Qt::PlainText);
    EXPECT_TRUE(page.MemoLog->isReadOnly());
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
