// The preview pages in the main window: their contents show the window's lists when the
// page is shown, and "&Recover" recovers what the user selected.

#include <QPushButton>

#include "wizard/forms/main/main_form_fixture.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/forms/preview_content.h"
#include "wizard/settings/settings_values.h"

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

using MainFormPreviewTest = MainFormTest;

TEST_F(MainFormPreviewTest, ThePagesShowTheWindowsListsAndRecoverTheSelection) {
    useScriptedDrives({ScriptedVolume(2, 'C', 1)});
    startUnits();
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

}  // namespace
