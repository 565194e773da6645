#include "wizard/forms/preview/found_files_views.h"

#include <QHeaderView>
#include <QPalette>
#include <QStyledItemDelegate>

#include <algorithm>

#include "wizard/forms/preview/found_list_widths.h"
#include "wizard/utilities/pictures/stock_pictures.h"

namespace {

// Room beside the picture for the sector list's check box, so that a carved file's name
// ("image_0001.JPG") fits whole under it.
constexpr int kThumbnailCellWidth = kThumbnailSide + 48;

// The selection stays as visible as with the focus when the list has lost it.
void KeepSelectionVisible(QAbstractItemView& view) {
    QPalette palette = view.palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    view.setPalette(palette);
}

void SetListBehaviour(QAbstractItemView& view) {
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    KeepSelectionVisible(view);
}

// Draws a row's thumbnail above its name.
class ThumbnailDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {kThumbnailCellWidth, kThumbnailSide + 2 * option.fontMetrics.height() + 8};
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->icon = QIcon(index.data(TFoundFilesModel::ThumbnailRole).value<QPixmap>());
        option->decorationSize = QSize(kThumbnailSide, kThumbnailSide);
        option->decorationPosition = QStyleOptionViewItem::Top;
        option->decorationAlignment = Qt::AlignHCenter | Qt::AlignTop;
        option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
        option->features |= QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::WrapText;
    }
};

}  // namespace

TFoundFilesReportView::TFoundFilesReportView(TFoundFilesModel& model, QWidget* parent) : QTableView(parent) {
    SetListBehaviour(*this);
    setShowGrid(true);
    setWordWrap(false);
    setIconSize(QSize(kSortMarkSide, kSortMarkSide));
    setModel(&model);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const std::vector<int> widths = DefaultColumnWidths(*this, model.Kind());
    for (std::size_t column = 0; column < widths.size(); ++column) {
        setColumnWidth(static_cast<int>(column), widths[column]);
    }
    // The one selection of both views, kept with its elements when the list re-orders.
    model.SetSelectionModel(selectionModel());
}

QModelIndex TFoundFilesReportView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action != MoveHome && action != MoveEnd) return QTableView::moveCursor(action, modifiers);
    // The row only: the column stays, so that the list does not scroll sideways.
    const QModelIndex row = QTableView::moveCursor(action, modifiers | Qt::ControlModifier);
    return row.siblingAtColumn(std::max(currentIndex().column(), 0));
}

TFoundFilesThumbnailView::TFoundFilesThumbnailView(TFoundFilesReportView& report, QWidget* parent) : QListView(parent) {
    SetListBehaviour(*this);
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
    setSpacing(4);
    // A caption too long for its cell loses its middle: the extension stays in sight.
    setTextElideMode(Qt::ElideMiddle);
    setItemDelegate(new ThumbnailDelegate(this));
    setModel(report.model());
    setSelectionModel(report.selectionModel());
}
