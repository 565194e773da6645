#pragma once
// Draws a check-box tree's row: the state image, the node's picture, then the text; and
// says where the state image lies, so that the view can hit-test it.

#include <QStyledItemDelegate>

class TqarnTreeView;

class StateImageDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit StateImageDelegate(TqarnTreeView* view);

    // The state image's place in a row drawn in `itemRect`; empty when the row's node has
    // no state image.
    QRect stateImageRect(const QRect& itemRect, const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QSize stateImageSize() const;
    QSize imageSize() const;
    int leadingWidth() const;  // state image and picture columns before the text

    TqarnTreeView* view_;
};
