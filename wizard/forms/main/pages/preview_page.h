#pragma once
// Pages 6 and 8: what a scan found. Below the page's title stands the preview content of
// its half (preview_file_system.h, preview_drive_sectors.h): the list, its buttons, menu
// and preview panel. The content is made when the form gives the page its list.

#include <QWidget>

#include <cstddef>
#include <vector>

#include "wizard/scans/work_half.h"

class QTableView;
class QVBoxLayout;
class TBaseElement;
class TBaseSortedList;
class TPreviewContent;
class TPreviewImageLists;

class TPreviewPage : public QWidget {
    Q_OBJECT

public:
    TPreviewPage(WorkHalf half, QWidget* parent);

    WorkHalf Half() const { return half_; }

    // Shows `list` with pictures from `images`; both must outlive the page's content.
    // Null takes the content away (before the list is freed).
    void SetList(TBaseSortedList* list, TPreviewImageLists* images);
    // How many files the list holds.
    std::size_t Count() const;
    // The selected files in row order.
    std::vector<TBaseElement*> SelectedElements() const;
    // Selects every row.
    void SelectAll();
    // Forgets what a previous drive showed.
    void Reset();
    // The page has been shown.
    void TabSheetShow();

    // The content, and its report view; null until the page has its list.
    TPreviewContent* Content = nullptr;
    QTableView* ListView = nullptr;

signals:
    // "&Recover" on the page.
    void RecoverRequested();

private:
    WorkHalf half_;
    TBaseSortedList* list_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
};
