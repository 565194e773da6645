#include "wizard/forms/tree/state_image_delegate.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

#include "wizard/forms/tree/ex_image_list.h"
#include "wizard/forms/tree/qarn_tree_view.h"

namespace {

constexpr int kGap = 2;

int Role(const QModelIndex& index, int role) {
    return index.data(role).toInt();
}

}  // namespace

StateImageDelegate::StateImageDelegate(TqarnTreeView* view)
    : QStyledItemDelegate(view), view_(view) {}

QSize StateImageDelegate::stateImageSize() const {
    const TexImageList* images = view_->stateImages();
    return images != nullptr ? images->imageSize() : QSize();
}

QSize StateImageDelegate::imageSize() const {
    const TexImageList* images = view_->images();
    return images != nullptr ? images->imageSize() : QSize();
}

int StateImageDelegate::leadingWidth() const {
    int width = 0;
    for (const QSize size : {stateImageSize(), imageSize()}) {
        if (size.isValid()) {
            width += size.width() + kGap;
        }
    }
    return width;
}

QRect StateImageDelegate::stateImageRect(const QRect& itemRect, const QModelIndex& index) const {
    const TexImageList* images = view_->stateImages();
    const int state = Role(index, TqarnTreeModel::StateIndexRole);
    if (images == nullptr || state < 1 || images->image(state).isNull()) {
        return {};
    }
    const QSize size = images->imageSize();
    return {QPoint(itemRect.left() + kGap / 2, itemRect.top() + (itemRect.height() - size.height()) / 2),
            size};
}

void StateImageDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const bool enabled = option.state.testFlag(QStyle::State_Enabled);
    // The row's background (a selection too) runs under the pictures as under the text.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, widget);
    int x = option.rect.left() + kGap / 2;
    if (const TexImageList* states = view_->stateImages()) {
        if (const QRect place = stateImageRect(option.rect, index); !place.isEmpty()) {
            states->draw(*painter, place.left(), place.top(),
                         Role(index, TqarnTreeModel::StateIndexRole),
                         ImageDrawingStyle::Transparent, enabled, option.palette);
        }
        x += states->imageSize().width() + kGap;
    }
    if (const TexImageList* images = view_->images()) {
        const int top = option.rect.top() + (option.rect.height() - images->imageSize().height()) / 2;
        images->draw(*painter, x, top, Role(index, TqarnTreeModel::ImageIndexRole),
                     ImageDrawingStyle::Transparent, enabled, option.palette);
    }
    QStyleOptionViewItem text = option;
    text.rect.setLeft(option.rect.left() + leadingWidth());
    QStyledItemDelegate::paint(painter, text, index);
}

QSize StateImageDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    const QSize text = QStyledItemDelegate::sizeHint(option, index);
    const int pictures = std::max(stateImageSize().height(), imageSize().height()) + kGap;
    return {text.width() + leadingWidth(), std::max(text.height(), pictures)};
}
