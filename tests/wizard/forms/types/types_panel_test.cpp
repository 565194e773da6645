#include "wizard/forms/types/types_panel.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "platform/registry.h"
#include "wizard/forms/advanced_params_form.h"
#include "wizard/forms/tree/qarn_tree_view.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/settings/settings_store.h"
#include "wizard/support/dialog_controls.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/type_tree_nodes.h"
#include "wizard/support/wizard_test.h"
#include "wizard/translation/translation.h"

namespace {

constexpr const char* kRemoveDjVu = "Do you really want to remove the \"DjVu\" file format?";

const TFormat& FormatOf(const TqarnTreeNode* node) {
    return *static_cast<const TFormat*>(node->data());
}

class TypesPanelTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        start();
    }
    // A start of the program: settings and formats loaded, the Types page built.
    void start() {
        Settings() = SettingsValues{};
        LoadSettings();
        FormatsUnitInit();
        page_ = std::make_unique<QWidget>();
        page_->resize(500, 420);
        panel_ = new TTypesPanel(page_.get());
        panel_->setStopThumbnails([this] { ++thumbnailStops_; });
        panel_->LoadFileFormats();
        tree_ = panel_->treeView();
    }
    // Its end: formats and settings saved.
    void finish() {
        page_.reset();
        EXPECT_TRUE(FormatsUnitDone());
        EXPECT_TRUE(SaveSettings());
    }
    void TearDown() override {
        page_.reset();
        DataStorage.reset();
        WizardTest::TearDown();
    }

    QStringList roots() const {
        QStringList texts;
        for (int row = 0; row < tree_->nodes()->rootCount(); ++row) {
            texts << tree_->nodes()->root(row)->text();
        }
        return texts;
    }
    std::vector<int> rootStates() const {
        std::vector<int> states;
        for (int row = 0; row < tree_->nodes()->rootCount(); ++row) {
            states.push_back(tree_->nodes()->root(row)->stateIndex());
        }
        return states;
    }
    TqarnTreeNode* nodeOf(const std::string& title) const { return FormatNode(*tree_, title); }
    std::set<std::string> searched() const {
        std::set<std::string> titles;
        const TFormatsList& formats = DataStorage->Formats();
        for (std::size_t i = 0; i < formats.Count(); ++i) {
            if (formats[i].Search) {
                titles.insert(formats[i].Title);
            }
        }
        return titles;
    }
    std::set<std::string> checkedNodes() const {
        std::set<std::string> titles;
        for (const TqarnTreeNode* node : tree_->nodes()->nodesInTreeOrder()) {
            if (node->level() == 1 && node->stateIndex() == 2) {
                titles.insert(FormatOf(node).Title);
            }
        }
        return titles;
    }
    void select(const std::string& title) { tree_->selectNode(nodeOf(title)); }
    void showPage() {
        page_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page_.get()));
    }
    void clickStateImage(const std::string& title) { ClickStateImage(*tree_, nodeOf(title)); }

    std::unique_ptr<QWidget> page_;
    TTypesPanel* panel_ = nullptr;
    TqarnTreeView* tree_ = nullptr;
    int thumbnailStops_ = 0;
};

const std::set<std::string> kCameraFormats = {"DWG", "MRW", "CRW", "DCR", "NEF",
                                              "ORF", "PEF", "RAF (2)", "SRF"};

TEST_F(TypesPanelTest, TheBuiltinsGroupUnderFourRootsWithTheLastCategoryOnTop) {
    EXPECT_EQ(roots(), (QStringList{"Video", "Misc. Documents", "Images", "Audio"}));
    EXPECT_EQ(rootStates(), (std::vector<int>{1, 1, 3, 1}));
    EXPECT_EQ(checkedNodes(), kCameraFormats);
    EXPECT_TRUE(tree_->isExpanded(tree_->nodes()->indexOf(tree_->nodes()->root(3))));
    EXPECT_FALSE(DataStorage->Modified());
}

TEST_F(TypesPanelTest, ClickingStateImagesWritesEveryFormatsSearch) {
    showPage();
    clickStateImage("GIF");
    clickStateImage("PNG");
    std::set<std::string> expected = kCameraFormats;
    expected.insert({"GIF", "PNG"});
    EXPECT_EQ(searched(), expected);
    EXPECT_TRUE(DataStorage->Modified());
    clickStateImage("GIF");
    expected.erase("GIF");
    EXPECT_EQ(searched(), expected);
}

TEST_F(TypesPanelTest, CheckUncheckAndInverseSetEveryFormat) {
    panel_->TypesMiCheckAllClick();
    EXPECT_EQ(rootStates(), (std::vector<int>{2, 2, 2, 2}));
    EXPECT_EQ(searched().size(), 43u);
    panel_->TypesMiInverseCheckClick();
    EXPECT_EQ(rootStates(), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_TRUE(searched().empty());
    panel_->TypesMiInverseCheckClick();
    panel_->TypesMiUncheckAllClick();
    EXPECT_TRUE(searched().empty());
    EXPECT_TRUE(checkedNodes().empty());
    EXPECT_TRUE(DataStorage->Modified());
}

TEST_F(TypesPanelTest, RemovingTheOnlyFormatOfACategoryKeepsItsRootAndSearch) {
    DataStorage->SetSearch(*DataStorage->IndexOf(DataStorage->FindByTitle("DjVu")), true);
    select("DjVu");
    prompts.expect(QString::fromLatin1(kRemoveDjVu), kPromptNo);
    panel_->TypesMiRemoveClick();
    EXPECT_NE(nodeOf("DjVu"), nullptr);

    select("DjVu");
    prompts.expect(QString::fromLatin1(kRemoveDjVu), kPromptYes);
    panel_->TypesMiRemoveClick();
    EXPECT_EQ(nodeOf("DjVu"), nullptr);
    EXPECT_EQ(roots(), (QStringList{"Video", "Misc. Documents", "Images", "Audio"}));
    EXPECT_EQ(tree_->nodes()->root(1)->childCount(), 0);
    const TFormat* djvu = DataStorage->FindByTitle("DjVu");
    EXPECT_TRUE(djvu->Deleted);
    EXPECT_TRUE(djvu->Search);
    EXPECT_FALSE(DataStorage->NoFormatSelected());
}

TEST_F(TypesPanelTest, ModifyAndRemoveDoNothingOnACategory) {
    tree_->selectNode(tree_->nodes()->root(0));
    panel_->TypesMiModifyClick();  // an opened dialog would wait forever
    panel_->TypesMiRemoveClick();  // an unexpected prompt fails the test
    EXPECT_FALSE(DataStorage->Modified());
}

TEST_F(TypesPanelTest, ModifyUpdatesTheNodeOrRebuildsWhenTheCategoryChanged) {
    TqarnTreeNode* jpeg = nodeOf("JPEG");
    select("JPEG");
    answerNextModalDialog([](QWidget* dialog) {
        FindControl<QLineEdit>(dialog, "GeneralTitleEdit")->setText("JPEG 2000");
        FindControl<QTabWidget>(dialog, "MainPageControl")->setCurrentIndex(0);
        PressButton(dialog, "BottomOKButton");
    });
    panel_->TypesMiModifyClick();
    EXPECT_EQ(nodeOf("JPEG 2000"), jpeg);
    EXPECT_EQ(jpeg->text(), QStringLiteral("JPEG 2000 (JPEG Image)"));
    EXPECT_TRUE(DataStorage->Modified());

    select("JPEG 2000");
    answerNextModalDialog([](QWidget* dialog) {
        FindControl<QLineEdit>(dialog, "GeneralCategoryEdit")->setText("images");
        FindControl<QCheckBox>(dialog, "OptionsSearchCheckBox")->setChecked(true);
        PressButton(dialog, "BottomOKButton");
    });
    panel_->TypesMiModifyClick();
    // JPEG comes first in the list: its spelling now names the root.
    EXPECT_EQ(roots(), (QStringList{"Video", "Misc. Documents", "images", "Audio"}));
    EXPECT_EQ(nodeOf("JPEG 2000")->stateIndex(), 2);
    EXPECT_TRUE(DataStorage->FindByTitle("JPEG 2000")->Search);
}

TEST_F(TypesPanelTest, AddWithCancelAddsNothingAndWithOkAppends) {
    answerNextModalDialog([](QWidget* dialog) {
        PressButton(dialog, "BottomCancelButton");
    });
    panel_->TypesMiAddClick();
    EXPECT_EQ(DataStorage->Formats().Count(), 43u);
    EXPECT_FALSE(DataStorage->Modified());
    EXPECT_EQ(thumbnailStops_, 0);

    answerNextModalDialog([](QWidget* dialog) {
        FindControl<QLineEdit>(dialog, "GeneralTitleEdit")->setText("Notes");
        PressButton(dialog, "BottomOKButton");
    });
    panel_->TypesMiAddClick();
    EXPECT_EQ(DataStorage->Formats().Count(), 44u);
    EXPECT_TRUE(DataStorage->Modified());
    EXPECT_EQ(thumbnailStops_, 1);
    EXPECT_EQ(roots().first(), QStringLiteral("Video"));
    EXPECT_EQ(nodeOf("Notes")->parent()->text(), QStringLiteral("Unknown"));
    EXPECT_EQ(nodeOf("Notes")->stateIndex(), 1);
}

TEST_F(TypesPanelTest, ResetRestoresTheBuiltinsWithoutAQuestion) {
    panel_->TypesMiCheckAllClick();
    select("DjVu");
    prompts.expect(QString::fromLatin1(kRemoveDjVu), kPromptYes);
    panel_->TypesMiRemoveClick();
    panel_->TypesMiResetToDefaultsClick();
    EXPECT_EQ(thumbnailStops_, 1);
    EXPECT_EQ(DataStorage->Formats().Count(), 43u);
    EXPECT_EQ(checkedNodes(), kCameraFormats);
    EXPECT_NE(nodeOf("DjVu"), nullptr);
}

// What the user chooses on the Types page and in Preferences reaches the registry at exit
// and comes back at the next start.
TEST_F(TypesPanelTest, CheckedFormatsAndRetriesSurviveARestart) {
    showPage();
    clickStateImage("GIF");
    answerNextModalDialog([](QWidget* dialog) {
        FindControl<QSpinBox>(dialog, "DriveRetryCountEdit")->setValue(3);
        PressButton(dialog, "ButtonOK");
    });
    ASSERT_TRUE(ShowPreferences(1));
    finish();
    const auto gif = platform::RegistryKey::open(std::u16string(kFileFormatsKey) + u"\\GIF");
    ASSERT_TRUE(gif.has_value());
    EXPECT_EQ(gif->readDword(u"Search"), 1u);

    start();
    EXPECT_EQ(nodeOf("GIF")->stateIndex(), 2);
    EXPECT_EQ(nodeOf("JPEG")->stateIndex(), 1);
    EXPECT_EQ(Settings().RecoveryRetryCount, 3);
    finish();
}

// The titles of the nodes under the root at `row`, top to bottom.
QStringList ChildTitles(const TqarnTreeView& tree, int row) {
    QStringList titles;
    const TqarnTreeNode* root = tree.nodes()->root(row);
    for (int child = 0; child < root->childCount(); ++child) {
        titles << QString::fromStdString(FormatOf(root->child(child)).Title);
    }
    return titles;
}

// The registry gives the saved list back by key name: the tree keeps the order of the
// first start all the same, the user's own formats after the built-ins.
TEST_F(TypesPanelTest, TheTreeKeepsItsOrderOverARestartThatSavedTheList) {
    const QStringList video = {"AVI", "MOV", "MP4", "WM", "RM", "MPEG", "3GP"};
    ASSERT_EQ(ChildTitles(*tree_, 0), video);
    TFormat own;
    own.Title = "ABC";
    own.Category = "Video";
    DataStorage->AppendFormat(own);
    finish();

    start();
    EXPECT_EQ(DataStorage->Formats()[0].Title, "3GP") << "the list in the store's order";
    EXPECT_EQ(ChildTitles(*tree_, 0), video + QStringList{"ABC"});
    EXPECT_EQ(ChildTitles(*tree_, 3).first(), QStringLiteral("WAV"));
    finish();
}

TEST_F(TypesPanelTest, TheTreeShowsTranslatedCategoriesAndDescriptionsInTheEnglishOrder) {
    SetCurrentTranslation(std::make_shared<const LanguageFile>(LanguageFile::parse(QStringLiteral(
        "[FileFormats]\nVideo=Filme\nImages=Bilder\nMisc. Documents=Sonstiges\nAudio=  \n"
        "JPEG Image=JPEG-Bild\n"))));
    TFormat own;
    own.Title = "Own";
    own.Category = "Images";
    own.Description = "Typed by hand";
    DataStorage->AppendFormat(own);
    panel_->LoadFileFormats();
    SetCurrentTranslation(nullptr);
    // By the English names, whose last comes first: not "Sonstiges", "Filme", ...
    EXPECT_EQ(roots(), (QStringList{"Filme", "Sonstiges", "Bilder", "Audio"}));
    EXPECT_EQ(nodeOf("JPEG")->text(), QStringLiteral("JPEG (JPEG-Bild)"));
    EXPECT_EQ(nodeOf("BMP")->text(), QStringLiteral("BMP (Bitmap Image)")) << "no entry: English";
    EXPECT_EQ(nodeOf("Own")->text(), QStringLiteral("Own (Typed by hand)"));
    EXPECT_EQ(DataStorage->Formats()[0].Description, "JPEG Image") << "the list keeps its English";
}

}  // namespace
