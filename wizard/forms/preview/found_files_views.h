#pragma once
// The two views of a found-file list, over one model and one selection: the report view
// (columns, grid lines, small icons) and the thumbnail view (96 x 96 pictures with the
// names below, in rows that wrap).
//
// Both keep nothing per row of their own beyond a few bytes of layout, so a list of a
// million files shows at once: the report view is a table (a tree view would hold an
// item for every row), the thumbnail view a wrapping list of uniform cells (the free icon
// mode would keep a position for every item).

#include <QListView>
#include <QTableView>

#include "wizard/model/found_files/found_files_model.h"

class TFoundFilesReportView final : public QTableView {
    Q_OBJECT

public:
    TFoundFilesReportView(TFoundFilesModel& model, QWidget* parent = nullptr);

protected:
    // Home and End go to the first and last row: the view selects whole rows, so the
    // first and last column of the current one would change nothing.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

class TFoundFilesThumbnailView final : public QListView {
    Q_OBJECT

public:
    // Shares the report view's model and selection.
    explicit TFoundFilesThumbnailView(TFoundFilesReportView& report, QWidget* parent = nullptr);
};
