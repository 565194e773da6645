#pragma once
// The Types page's panel: the file-type tree over the format list (one root per category,
// one checked or unchecked node per format), its pop-up menu, the file-name filter and the
// buttons that slide the panel to show or hide the further file filters that the page
// keeps below it. The main window places the panel on its Types page (the panel keeps
// itself at the page's top left, as wide as the page) and translates it with the page:
// every component carries the name the translation files use.
//
// Every handler writes the tree's check states back into the formats' Search flags and
// marks the list modified; a change of the list's shape rebuilds the tree.

#include <QFrame>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <unordered_map>

class FilterSlide;
class FormatIcons;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class TexImageList;
class TqarnTreeNode;
class TqarnTreeView;
struct TFormat;

class TTypesPanel : public QFrame {
    Q_OBJECT

public:
    // `page` is the Types page; the panel covers its top part.
    explicit TTypesPanel(QWidget* page);
    ~TTypesPanel() override;

    // Rebuilds the tree from DataStorage.
    void LoadFileFormats();
    // Puts the nodes' categories and descriptions into the current language, keeping the
    // nodes, their checks, the selection and what is expanded.
    void ShowTranslatedTexts();

    // Called before the list's formats are freed or the list grows (Reset to Defaults,
    // Add), so that the thumbnail worker stops reading formats first. None by default.
    void setStopThumbnails(std::function<void()> stop) { stopThumbnails_ = std::move(stop); }

    TqarnTreeView* treeView() const { return treeView_; }
    QMenu* popupMenu() const { return popupMenu_; }
    QCheckBox* filenameCheckBox() const { return filenameCheckBox_; }
    QLineEdit* filenameEdit() const { return filenameEdit_; }
    bool filtersShown() const;

    void TypesTreeViewClick();
    void TypesShowFiltersButtonClick();
    void TypesHideFiltersButtonClick();
    void TypesMiCheckAllClick();
    void TypesMiUncheckAllClick();
    void TypesMiInverseCheckClick();
    void TypesMiResetToDefaultsClick();
    void TypesMiAddClick();
    void TypesMiModifyClick();
    void TypesMiRemoveClick();

private:
    void buildLayout();
    QAction* addMenuItem(const char* name, const QString& text, void (TTypesPanel::*handler)());
    // Every format node in tree order with the index of its format in the list.
    template <typename Visit>
    void forEachFormatNode(Visit visit) const;
    // The selected format node (level 1 or deeper) and its format's index, or nothing.
    bool selectedFormat(TqarnTreeNode*& node, std::size_t& index) const;
    void setAllStates(int (*next)(int state));
    void stopThumbnails() const;

    TqarnTreeView* treeView_ = nullptr;
    QCheckBox* filenameCheckBox_ = nullptr;
    QLineEdit* filenameEdit_ = nullptr;
    QPushButton* showFiltersButton_ = nullptr;
    QPushButton* hideFiltersButton_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    TexImageList* checkboxImages_ = nullptr;
    std::unique_ptr<FormatIcons> icons_;
    FilterSlide* slide_ = nullptr;
    std::unordered_map<const TFormat*, std::size_t> formatIndexes_;  // of the tree's nodes
    QHash<TqarnTreeNode*, QString> rootCategories_;                   // in English
    std::function<void()> stopThumbnails_;
};
