// The preview pages' contents, made after the main window was translated, show the
// translation too.

#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "wizard/forms/main/main_form_fixture.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/translation/language_file.h"
#include "wizard/translation/translation.h"

namespace {

using PreviewPageLanguageTest = MainFormTest;

TEST_F(PreviewPageLanguageTest, TheContentsShowTheTranslation) {
    useScriptedDrives({ScriptedVolume(2, 'C', 1)});
    startUnits();
    SetCurrentTranslation(std::make_shared<LanguageFile>(LanguageFile::parse(QStringLiteral(
        "[MainForm]\n"
        "MainForm.PreviewFileSystemLabel1.Caption=Gefundene Dateien:\n"
        "MainForm.PreviewDriveSectorsRecoverButton.Caption=&Wiederherstellen\n"
        "MainForm.PreviewFileSystemListView.Columns[1].Caption=Zustand\n"))));
    createForm();
    EXPECT_EQ(child<QLabel>("PreviewFileSystemLabel1")->text(), QStringLiteral("Gefundene Dateien:"));
    EXPECT_EQ(button("PreviewDriveSectorsRecoverButton")->text(), QStringLiteral("&Wiederherstellen"));
    const QTableView* list = form->PreviewFileSystemPage->ListView;
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Zustand"));
}

}  // namespace
