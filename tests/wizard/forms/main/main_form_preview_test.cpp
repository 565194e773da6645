// The preview pages in the main window: their contents show the window's lists when the
// page is shown and the window's translation, and "&Recover" recovers what the user selected.

#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "wizard/forms/main/main_form_fixture.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/forms/preview/preview_content.h"
#include "wizard/settings/settings_values.h"
#include "wizard/translation/language_file.h"
#include "wizard/translation/translation.h"

namespace {

class RecoveringForm : public TMainForm {
public:
    using TMainForm::TMainForm;

    std::vector<std::string> recovered;

protected:
    bool DoRealRecovery(WorkHalf half) override {
        for (const TBaseElement* element : PreviewPageOf(half)->SelectedElements()) recovered.push_back(element->Name());
        return true;
    }
};

class MainFormPreviewTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        useScriptedDrives({ScriptedVolume(2, 'C', 1)});
        startUnits();
    }
};

TEST_F(MainFormPreviewTest, ThePagesShowTheWindowsListsAndRecoverTheSelection) {
    Settings().GlobalFileSystemSortColumn = 0;
    Settings().GlobalFileSystemSortOrderAZ = true;
    auto& form = createForm<RecoveringForm>();
    for (const char16_t* name : {u"b.jpg", u"a.txt", u"c.doc"}) {
        FoundFileRecord record{};
        record.RecordNumber = 10;
        record.Name = name;
        form.FileSystemList->Add(std::make_unique<TBaseElement>(record, 1));
    }
    TPreviewPage& page = *form.PreviewFileSystemPage;
    ASSERT_NE(page.Content, nullptr);
    EXPECT_EQ(page.Content->Model().rowCount(), 0);
    form.SetActivePage(TMainForm::kPreviewFileSystemPage);
    ASSERT_EQ(page.Content->Model().rowCount(), 3);  // shown: rows and order follow the list
    EXPECT_EQ(page.Content->Model().index(0, 0).data().toString(), QStringLiteral("a.txt"));

    page.Content->Selection().select(page.Content->Model().index(2, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    child<QPushButton>("PreviewFileSystemRecoverButton")->click();
    EXPECT_EQ(form.recovered, std::vector<std::string>{"c.doc"});
    EXPECT_TRUE(form.FileSystem.RecoverPressed);
    EXPECT_FALSE(form.DriveSectors.RecoverPressed);
    EXPECT_TRUE(form.centralWidget()->isEnabled());
}

// The contents are made after the window was translated.
TEST_F(MainFormPreviewTest, TheContentsShowTheTranslation) {
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
