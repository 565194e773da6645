// The scan pages' components: their states, and the shipped German texts found by their names.

#include "wizard/scans/scan_pages.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include "wizard/scans/scan_progress.h"
#include "wizard/support/language_folder_fixture.h"
#include "wizard/translation/translate_form.h"

namespace {

TEST(ScanPages, ShowTheDriveAsPlainTextAndTakeTheRangeBeforeTheValue) {
    TScanDriveSectorsPage sectors;
    EXPECT_EQ(sectors.LabelDrive->textFormat(), Qt::PlainText);
    sectors.ProgressBar->setRange(0, 100);
    sectors.ShowProgress(kProgressRange / 2);
    EXPECT_EQ(sectors.ProgressBar->value(), kProgressRange / 2);
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
