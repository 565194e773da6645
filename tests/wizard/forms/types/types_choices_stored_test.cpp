// What the user chooses on the Types page and in Preferences reaches the registry at exit
// and comes back at the next start.

#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "platform/registry.h"
#include "wizard/forms/advanced_params_form.h"
#include "wizard/forms/qarn_tree_view.h"
#include "wizard/forms/types/types_panel.h"
#include "wizard/model/data_storage.h"
#include "wizard/model/formats_unit.h"
#include "wizard/settings/settings_store.h"
#include "wizard/support/dialog_controls.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/type_tree_nodes.h"
#include "wizard/support/wizard_test.h"

namespace {

class StoredChoicesTest : public WizardTest {
protected:
    // A start of the program: settings and formats loaded, the Types page shown.
    void start() {
        Settings() = SettingsValues{};
        LoadSettings();
        FormatsUnitInit();
        page_ = std::make_unique<QWidget>();
        page_->resize(500, 600);
        panel_ = new TTypesPanel(page_.get());
        panel_->LoadFileFormats();
        page_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page_.get()));
    }
    // Its end: formats and settings saved.
    void finish() {
        page_.reset();
        EXPECT_TRUE(FormatsUnitDone());
        EXPECT_TRUE(SaveSettings());
    }

    TqarnTreeNode* nodeOf(const std::string& title) const {
        return FormatNode(*panel_->treeView(), title);
    }
    void clickStateImage(const std::string& title) {
        ClickStateImage(*panel_->treeView(), nodeOf(title));
    }

    std::unique_ptr<QWidget> page_;
    TTypesPanel* panel_ = nullptr;
};

TEST_F(StoredChoicesTest, CheckedFormatsAndRetriesSurviveARestart) {
    start();
    clickStateImage("GIF");
    clickStateImage("PNG");
    answerNextModalDialog([](QWidget* dialog) {
        FindControl<QSpinBox>(dialog, "DriveRetryCountEdit")->setValue(3);
        PressButton(dialog, "ButtonOK");
    });
    ASSERT_TRUE(ShowPreferences(1));
    finish();

    for (const std::u16string title : {u"GIF", u"PNG"}) {
        const auto key = platform::RegistryKey::open(std::u16string(kFileFormatsKey) + u"\\" + title);
        ASSERT_TRUE(key.has_value());
        EXPECT_EQ(key->readDword(u"Search"), 1u);
    }
    const auto recovery =
        platform::RegistryKey::open(u"\\Software\\Kelvorin\\Pramblex\\3.0\\Recovery");
    ASSERT_TRUE(recovery.has_value());
    EXPECT_EQ(recovery->readDword(u"RecoveryRetryCount"), 3u);

    start();
    EXPECT_EQ(nodeOf("GIF")->stateIndex(), 2);
    EXPECT_EQ(nodeOf("PNG")->stateIndex(), 2);
    EXPECT_EQ(nodeOf("JPEG")->stateIndex(), 1);
    int shown = 0;
    answerNextModalDialog([&](QWidget* dialog) {
        shown = FindControl<QSpinBox>(dialog, "DriveRetryCountEdit")->value();
        PressButton(dialog, "ButtonCancel");
    });
    ShowPreferences(1);
    EXPECT_EQ(shown, 3);
    finish();
}

}  // namespace
