#include "wizard/forms/types/types_panel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "wizard/forms/tree/checkbox_images.h"
#include "wizard/forms/tree/ex_image_list.h"
#include "wizard/forms/tree/qarn_tree_view.h"
#include "wizard/forms/types/filter_slide.h"
#include "wizard/forms/types/format_categories.h"
#include "wizard/forms/types/format_icons.h"
#include "wizard/forms/types/format_prop_form.h"
#include "wizard/forms/types/format_texts.h"
#include "wizard/forms/types/format_tree_order.h"
#include "wizard/forms/widgets/form_widgets.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/services/prompt_service.h"
#include "wizard/translation/translation.h"

namespace {

constexpr int kUnchecked = 1;
constexpr int kChecked = 2;

QString NodeText(const TFormat& format) {
    return QString::fromStdString(format.Title) + QStringLiteral(" (") +
           TranslatedFormatText(QString::fromStdString(format.Description)) + u')';
}

int SearchState(const TFormat& format) {
    return format.Search ? kChecked : kUnchecked;
}

// The tree rebuilds in one piece: no repaint and an hourglass meanwhile, both undone also
// when the rebuild fails part-way.
class RebuildScope {
public:
    explicit RebuildScope(TqarnTreeView& tree) : tree_(tree) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        tree_.setUpdatesEnabled(false);
        tree_.beginUpdate();
    }
    ~RebuildScope() {
        tree_.endUpdate();
        tree_.setUpdatesEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    RebuildScope(const RebuildScope&) = delete;
    RebuildScope& operator=(const RebuildScope&) = delete;

private:
    TqarnTreeView& tree_;
};

}  // namespace

TTypesPanel::TTypesPanel(QWidget* page)
    : QFrame(page), icons_(std::make_unique<FormatIcons>(this)) {
    setObjectName(QStringLiteral("TypesPanel"));
    buildLayout();
    slide_ = new FilterSlide(this, showFiltersButton_, hideFiltersButton_);
    raise();
}

TTypesPanel::~TTypesPanel() = default;

void TTypesPanel::buildLayout() {
    QLabel* treeLabel = NamedLabel(this, "TypesLabel1",
                                   QStringLiteral("File types that should be searched for and recovered:"));

    checkboxImages_ = Named(new TexImageList(QSize(16, 16), this), "ImageListCheckboxes");
    AddCheckboxStateImages(*checkboxImages_);

    treeView_ = Named(new TqarnTreeView(this), "TypesTreeView");
    treeView_->setImages(icons_->list());
    treeView_->setStateImages(checkboxImages_);
    treeView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    treeView_->setStateIgnore(0);
    treeView_->setStateRecursion(true);
    treeLabel->setBuddy(treeView_);
    connect(treeView_, &TqarnTreeView::treeClicked, this, [this] { TypesTreeViewClick(); });

    popupMenu_ = Named(new QMenu(this), "TypesPopupMenu");
    addMenuItem("TypesMiCheckAll", QStringLiteral("&Check All"), &TTypesPanel::TypesMiCheckAllClick);
    addMenuItem("TypesMiUncheckAll", QStringLiteral("&Uncheck All"),
                &TTypesPanel::TypesMiUncheckAllClick);
    addMenuItem("TypesMiInverseCheck", QStringLiteral("&Inverse Check"),
                &TTypesPanel::TypesMiInverseCheckClick);
    Named(popupMenu_->addSeparator(), "TypesMiSeparator1");
    addMenuItem("TypesMiAdd", QStringLiteral("&Add..."), &TTypesPanel::TypesMiAddClick);
    addMenuItem("TypesMiModify", QStringLiteral("&Modify..."), &TTypesPanel::TypesMiModifyClick);
    addMenuItem("TypesMiRemove", QStringLiteral("&Remove..."), &TTypesPanel::TypesMiRemoveClick);
    Named(popupMenu_->addSeparator(), "TypesMiSeparator2");
    addMenuItem("TypesMiResetToDefaults", QStringLiteral("Reset to &Defaults"),
                &TTypesPanel::TypesMiResetToDefaultsClick);
    treeView_->setPopupMenu(popupMenu_);

    QLabel* filenameLabel = NamedNote(
        this, "TypesLabel2",
        QStringLiteral(
            "Additionally search for any files by their names (you can use wildcards in them):"));
    filenameCheckBox_ = Named(
        new QCheckBox(QStringLiteral("File name (report*.doc; *.txt; *.wri ...):"), this),
        "TypesFilenameCheckBox");
    filenameEdit_ = Named(new QLineEdit(this), "TypesFilenameEdit");

    showFiltersButton_ = Named(new QPushButton(QStringLiteral("&Show File Filters >>"), this),
                               "TypesShowFiltersButton");
    connect(showFiltersButton_, &QPushButton::clicked, this,
            [this] { TypesShowFiltersButtonClick(); });
    // Not Alt+H: that is the window's Help.
    hideFiltersButton_ = Named(new QPushButton(QStringLiteral("H&ide File Filters <<"), this),
                               "TypesHideFiltersButton");
    connect(hideFiltersButton_, &QPushButton::clicked, this,
            [this] { TypesHideFiltersButtonClick(); });

    auto* filenameRow = new QHBoxLayout;
    filenameRow->addWidget(filenameCheckBox_);
    filenameRow->addWidget(filenameEdit_, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(showFiltersButton_);
    buttonRow->addWidget(hideFiltersButton_);
    // Tight: with the filters shown the panel keeps the page's height less 187 pixels.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(4);
    layout->addWidget(treeLabel);
    layout->addWidget(treeView_, 1);
    layout->addWidget(filenameLabel);
    layout->addLayout(filenameRow);
    layout->addLayout(buttonRow);
}

QAction* TTypesPanel::addMenuItem(const char* name, const QString& text,
                                  void (TTypesPanel::*handler)()) {
    QAction* item = Named(popupMenu_->addAction(text), name);
    connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return item;
}

bool TTypesPanel::filtersShown() const {
    return slide_->filtersShown();
}

void TTypesPanel::LoadFileFormats() {
    const TFormatsList& formats = DataStorage->Formats();
    {
        const RebuildScope rebuilding(*treeView_);
        treeView_->nodes()->clear();
        formatIndexes_.clear();
        rootCategories_.clear();

        const FormatCategories categories(formats);
        QHash<QString, TqarnTreeNode*> roots;
        for (const QString& category : categories.sorted()) {
            TqarnTreeNode* root = treeView_->insertNode(nullptr, 0, TranslatedFormatText(category),
                                                        FormatIcons::kFolder, nullptr);
            roots.insert(category, root);
            rootCategories_.insert(root, category);
        }
        for (const std::size_t i : FormatsInTreeOrder(formats)) {
            const TFormat& format = formats[i];
            if (format.Deleted) {
                continue;
            }
            TqarnTreeNode* root =
                roots.value(categories.spellingOf(QString::fromStdString(format.Category)));
            TqarnTreeNode* node =
                treeView_->insertNode(root, -1, NodeText(format),
                                      icons_->indexOf(format.DefaultExtension),
                                      const_cast<TFormat*>(&format));
            treeView_->setStateIndex(node, SearchState(format));
            formatIndexes_.emplace(&format, i);
        }
    }
    treeView_->expandAll();
}

template <typename Visit>
void TTypesPanel::forEachFormatNode(Visit visit) const {
    const TqarnTreeModel* nodes = treeView_->nodes();
    for (int row = 0; row < nodes->rootCount(); ++row) {
        const TqarnTreeNode* root = nodes->root(row);
        for (int child = 0; child < root->childCount(); ++child) {
            TqarnTreeNode* node = root->child(child);
            visit(node, formatIndexes_.at(static_cast<const TFormat*>(node->data())));
        }
    }
}

void TTypesPanel::ShowTranslatedTexts() {
    for (auto root = rootCategories_.cbegin(); root != rootCategories_.cend(); ++root) {
        treeView_->setNodeText(root.key(), TranslatedFormatText(root.value()));
    }
    const TFormatsList& formats = DataStorage->Formats();
    forEachFormatNode([this, &formats](TqarnTreeNode* node, std::size_t index) {
        treeView_->setNodeText(node, NodeText(formats[index]));
    });
}

bool TTypesPanel::selectedFormat(TqarnTreeNode*& node, std::size_t& index) const {
    node = treeView_->selectedNode();
    if (node == nullptr || node->level() < 1) {
        return false;
    }
    index = formatIndexes_.at(static_cast<const TFormat*>(node->data()));
    return true;
}

void TTypesPanel::stopThumbnails() const {
    if (stopThumbnails_) {
        stopThumbnails_();
    }
}

void TTypesPanel::TypesTreeViewClick() {
    forEachFormatNode([](const TqarnTreeNode* node, std::size_t index) {
        DataStorage->SetSearch(index, node->stateIndex() == kChecked);
    });
}

void TTypesPanel::setAllStates(int (*next)(int state)) {
    forEachFormatNode([this, next](TqarnTreeNode* node, std::size_t index) {
        const int state = next(node->stateIndex());
        treeView_->setStateIndex(node, state);
        DataStorage->SetSearch(index, state == kChecked);
    });
}

void TTypesPanel::TypesMiCheckAllClick() {
    setAllStates([](int) { return kChecked; });
}

void TTypesPanel::TypesMiUncheckAllClick() {
    setAllStates([](int) { return kUnchecked; });
}

void TTypesPanel::TypesMiInverseCheckClick() {
    setAllStates([](int state) { return state == kChecked ? kUnchecked : kChecked; });
}

void TTypesPanel::TypesShowFiltersButtonClick() {
    slide_->showFilters();
}

void TTypesPanel::TypesHideFiltersButtonClick() {
    slide_->hideFilters();
}

void TTypesPanel::TypesMiResetToDefaultsClick() {
    stopThumbnails();
    DataStorage->ResetToDefaults();
    LoadFileFormats();
}

void TTypesPanel::TypesMiAddClick() {
    TFormat format;
    if (EditFormatProperties(format, window())) {
        stopThumbnails();
        DataStorage->AppendFormat(std::move(format));
        LoadFileFormats();
    }
    treeView_->setFocus();
}

void TTypesPanel::TypesMiModifyClick() {
    TqarnTreeNode* node = nullptr;
    std::size_t index = 0;
    if (!selectedFormat(node, index)) {
        return;
    }
    TFormat format = DataStorage->Formats()[index];
    const std::string category = format.Category;
    if (EditFormatProperties(format, window())) {
        DataStorage->ChangeFormat(index, format);
        treeView_->setNodeText(node, NodeText(format));
        treeView_->setStateIndex(node, SearchState(format));
        if (format.Category != category) {
            LoadFileFormats();
        }
    }
    treeView_->setFocus();
}

void TTypesPanel::TypesMiRemoveClick() {
    TqarnTreeNode* node = nullptr;
    std::size_t index = 0;
    if (!selectedFormat(node, index)) {
        return;
    }
    TFormat format = DataStorage->Formats()[index];
    Prompt prompt;
    prompt.caption = TranslateString(QStringLiteral("Confirmation"), QStringLiteral("strConfirmation"));
    prompt.text = TranslateFormat(QStringLiteral("strFileFormatRemove"),
                                  QStringLiteral("Do you really want to remove the \"%s\" file format?"),
                                  QString::fromStdString(format.Title));
    prompt.buttons = PromptButtons::YesNo;
    prompt.icon = PromptIcon::None;
    prompt.owner = window();
    if (promptService().ask(prompt) == kPromptYes) {
        format.Deleted = true;
        DataStorage->ChangeFormat(index, format);
        LoadFileFormats();
    }
    treeView_->setFocus();
}
