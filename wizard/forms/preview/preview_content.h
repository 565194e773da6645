#pragma once
// The content of a preview page of the main window: the found-file list of one scan in a
// report view or a thumbnail view, the buttons "&Recover", "&Preview" and "&Information",
// the popup menu, the preview panel and the list's sort state, which the settings keep.
// TPreviewFileSystem and TPreviewDriveSectors fill the two preview pages.
//
// The handlers are public under their own names, so that the main window and the tests
// call them as the controls do. Recovery is not the page's: "&Recover" emits
// RecoverRequested, and SelectedElements gives what the user picked. GUI thread only; the
// list and the image lists must outlive the content.

#include <QWidget>

#include <cstdint>
#include <map>
#include <vector>

#include "wizard/forms/preview/preview_page_traits.h"
#include "wizard/model/found_files/found_files_model.h"
#include "wizard/model/found_files/selected_rows.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QStackedWidget;
class QToolButton;
class TFoundFilesReportView;
class TFoundFilesThumbnailView;
class TPreviewPanel;

class TPreviewContent : public QWidget {
    Q_OBJECT

public:
    TPreviewContent(const PreviewContentSpec& spec, TBaseSortedList& list, TPreviewImageLists& images,
                 QWidget* parent = nullptr);

    TFoundFilesModel& Model() { return *model_; }
    QItemSelectionModel& Selection() const;
    // The selected elements in row order.
    std::vector<TBaseElement*> SelectedElements() const;
    std::int64_t SelectedCount() const;
    QAction* Action(PreviewAction action) const;
    QMenu* PopupMenu() const { return popupMenu_; }
    TFoundFilesReportView* ReportView() const { return reportView_; }
    bool InThumbnailView() const { return inThumbnailView_; }
    // The column whose header carries the sort mark.
    int SortGfxColumn() const { return sortGfxColumn_; }

    // Selection update: buttons by the number of selected rows; with one row and the
    // panel shown, the panel shows its element.
    void ListViewClick();
    // Enables and checks the popup menu's items.
    void PopupMenuPopup();
    void MiPreviewClick();
    void MiInformationClick();
    // A new column sorts ascending; the same column again flips the order.
    void ListViewColumnClick(int column);
    // A "Sort by" item: sorts by that column, the order kept.
    void MiSortByClick(int column);
    void MiSortOrderClick(bool ascending);
    // Moves the sort mark to the stored sort column.
    void SetSortGfx();
    void MiSelectAllClick();
    void MiInvertSelectionClick();
    void MiPreviewPanelClick();
    void MiViewAsListClick();
    void MiViewAsTrumbnailsClick();
    // The thumbnail worker this page started has ended.
    void ThumbnailsDone();
    // The page has been shown: the list may have grown or been left in another order.
    void TabSheetShow();

signals:
    void RecoverRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Hands the element to the viewer.
    virtual void PreviewElement(TBaseElement& element) = 0;
    // The viewer gets the element's record; a file of unknown size is refused with a
    // message and never reaches the engine.
    void OpenViewer(TBaseElement& element);
    // Every selected element, in row order.
    template <typename Visit>
    void ForEachSelected(Visit visit) const;

    const PreviewContentSpec& spec_;

private:
    void BuildLayout();
    void BuildPopupMenu();
    QAction* AddAction(QMenu* menu, const char* name, const char* caption, QKeyCombination shortcut = {});
    void ConnectHandlers();
    int& SortColumnSetting() const;
    bool& SortOrderSetting() const;
    void ChangeSortOrder(std::uint8_t sortCode, bool ascending);
    void ChangeSortOrderAZ(bool ascending);
    // Whether `column` is one of the list's columns.
    bool HasColumn(int column) const;
    void SetThumbnailButtons();

    TBaseSortedList& list_;
    TPreviewImageLists& images_;
    TFoundFilesModel* model_;
    QStackedWidget* views_ = nullptr;
    TFoundFilesReportView* reportView_ = nullptr;
    TFoundFilesThumbnailView* thumbnailView_ = nullptr;
    QPushButton* recoverButton_ = nullptr;
    QPushButton* previewButton_ = nullptr;
    QPushButton* informationButton_ = nullptr;
    QToolButton* thumbnailsButton_ = nullptr;
    QToolButton* reportButton_ = nullptr;
    TPreviewPanel* panel_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    QMenu* sortByMenu_ = nullptr;
    std::map<PreviewAction, QAction*> actions_;
    std::vector<QAction*> sortByActions_;
    QAction* sortOrderAZ_ = nullptr;
    QAction* sortOrderZA_ = nullptr;
    int sortGfxColumn_ = 0;
    bool inThumbnailView_ = false;
    // Counts this page's thumbnail runs: only the last one's end sets the buttons.
    std::uint64_t thumbnailRun_ = 0;
};

template <typename Visit>
void TPreviewContent::ForEachSelected(Visit visit) const {
    for (const RowRange& range : SelectedRowRanges(Selection().selection())) {
        for (int row = range.first; row <= range.last; ++row) {
            if (TBaseElement* element = model_->ElementAt(row)) visit(*element);
        }
    }
}
