#pragma once
// Pages 6 and 8: what a scan found, as a list, with Recover, Preview and Information.
// The list shows the columns of its half; the rows come from the half's found-file list.

#include <QWidget>

#include "wizard/forms/main/work_half.h"

class QPushButton;
class QStandardItemModel;
class QTreeView;
class TBaseSortedList;

class TPreviewPage : public QWidget {
    Q_OBJECT

public:
    TPreviewPage(WorkHalf half, QWidget* parent);

    WorkHalf Half() const { return half_; }

    // The found-file list the page shows; null until the form has made it.
    void SetList(TBaseSortedList* list) { list_ = list; }
    // How many files the list holds.
    std::size_t Count() const;
    // Selects every row.
    void SelectAll();
    // Forgets what a previous drive showed.
    void Reset();
    // The header's sort mark: on `column` in that direction; none for a column the list
    // does not have.
    void ShowSortMark(int column, bool ascending);

    QTreeView* ListView = nullptr;
    QPushButton* ButtonRecover = nullptr;
    QPushButton* ButtonPreview = nullptr;
    QPushButton* ButtonInformation = nullptr;

private:
    WorkHalf half_;
    TBaseSortedList* list_ = nullptr;
    QStandardItemModel* columns_ = nullptr;
};
