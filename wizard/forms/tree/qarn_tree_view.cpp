#include "wizard/forms/tree/qarn_tree_view.h"

#include <QContextMenuEvent>
#include <QDataStream>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScopedValueRollback>

#include <vector>

#include "wizard/forms/tree/ex_image_list.h"
#include "wizard/forms/tree/state_image_delegate.h"

TqarnTreeView::TqarnTreeView(QWidget* parent)
    : QTreeView(parent),
      nodes_(new TqarnTreeModel(this)),
      delegate_(new StateImageDelegate(this)) {
    setModel(nodes_);
    setItemDelegate(delegate_);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

TqarnTreeView::~TqarnTreeView() = default;

TqarnTreeNode* TqarnTreeView::insertNode(TqarnTreeNode* parent, int row, const QString& text,
                                         int imageIndex, void* data) {
    return nodes_->insertNode(parent, row, text, imageIndex, data);
}

void TqarnTreeView::setNodeText(TqarnTreeNode* node, const QString& text) {
    nodes_->setText(node, text);
}

void TqarnTreeView::setStateIndex(TqarnTreeNode* node, int state) {
    nodes_->setStateIndex(node, state);
    if (stateRecursion_ && (state == 1 || state == 2)) {
        StateChanged(node);
    }
}

TqarnTreeNode* TqarnTreeView::selectedNode() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? nullptr : nodes_->nodeOf(selected.first());
}

void TqarnTreeView::selectNode(TqarnTreeNode* node) {
    setCurrentIndex(nodes_->indexOf(node));
}

void TqarnTreeView::setImages(TexImageList* images) {
    follow(images_, imagesChanged_, images);
}

void TqarnTreeView::setStateImages(TexImageList* images) {
    follow(stateImages_, stateImagesChanged_, images);
}

// The view repaints when the list changes, and forgets the list it followed before.
void TqarnTreeView::follow(QPointer<TexImageList>& followed, QMetaObject::Connection& changes,
                           TexImageList* images) {
    disconnect(changes);
    followed = images;
    if (images != nullptr) {
        changes = connect(images, &TexImageList::changed, viewport(), qOverload<>(&QWidget::update));
    }
    scheduleDelayedItemsLayout();
}

void TqarnTreeView::setPopupMenu(QMenu* menu) {
    popupMenu_ = menu;
}

void TqarnTreeView::setStateRecursion(bool on) {
    if (on == stateRecursion_) {
        return;
    }
    stateRecursion_ = on;
    if (on && nodes_->rootCount() > 0) {
        NormalizeStates(nodes_->root(0));
    }
}

QString TqarnTreeView::version() const {
    return QStringLiteral(".1 beta");
}

QString TqarnTreeView::help() const {
    return QStringLiteral("A tree view with check-box states that follow their branches.");
}

QString TqarnTreeView::otherStuff() const {
    return QStringLiteral("States: -1 and 0 none, 1 unchecked, 2 checked, 3 mixed.");
}

void TqarnTreeView::PropagateState(TqarnTreeNode* node) {
    const QScopedValueRollback<bool> recursionOff(stateRecursion_, false);
    pushDown(node);
    if (TqarnTreeNode* parent = node->parent()) {
        pullUp(parent);
    }
}

void TqarnTreeView::NormalizeStates(TqarnTreeNode* first) {
    for (TqarnTreeNode* node = first; node != nullptr; node = node->nextSibling()) {
        if (node->stateIndex() == stateIgnore_) {
            continue;
        }
        if (node->stateIndex() == 2) {
            PropagateState(node);
            continue;
        }
        if (node->stateIndex() == -1) {
            nodes_->setStateIndex(node, 1);
        }
        if (node->childCount() > 0) {
            NormalizeStates(node->child(0));
        }
    }
}

void TqarnTreeView::StateChanged(TqarnTreeNode* node) {
    PropagateState(node);
}

void TqarnTreeView::pushDown(TqarnTreeNode* node) {
    const int state = node->stateIndex();
    if (state == stateIgnore_) {
        return;
    }
    for (int row = 0; row < node->childCount(); ++row) {
        TqarnTreeNode* child = node->child(row);
        if (child->stateIndex() != state && child->stateIndex() != stateIgnore_) {
            nodes_->setStateIndex(child, state);
            pushDown(child);
        }
    }
}

void TqarnTreeView::pullUp(TqarnTreeNode* node) {
    for (; node != nullptr; node = node->parent()) {
        if (node->stateIndex() == stateIgnore_) {
            return;
        }
        const auto counted = [this, node](int state) {
            return state == stateIgnore_ ? 0 : node->childrenInState(state);
        };
        const int unchecked = counted(-1) + counted(1);
        const int checked = counted(2);
        const int mixed = counted(3);
        int state = 3;
        if (unchecked > 0 && checked == 0 && mixed == 0) {
            state = 1;
        } else if (checked > 0 && unchecked == 0 && mixed == 0) {
            state = 2;
        }
        nodes_->setStateIndex(node, state);
    }
}

void TqarnTreeView::saveStates(QDataStream& stream) const {
    const std::vector<TqarnTreeNode*> all = nodes_->nodesInTreeOrder();
    stream << static_cast<qint32>(all.size());
    for (const TqarnTreeNode* node : all) {
        stream << static_cast<qint32>(node->stateIndex());
    }
}

bool TqarnTreeView::loadStates(QDataStream& stream) {
    const std::vector<TqarnTreeNode*> all = nodes_->nodesInTreeOrder();
    qint32 count = -1;
    stream >> count;
    if (stream.status() != QDataStream::Ok || count < 0 ||
        static_cast<std::size_t>(count) != all.size()) {
        return false;
    }
    std::vector<qint32> states(all.size());
    for (qint32& state : states) {
        stream >> state;
    }
    if (stream.status() != QDataStream::Ok) {
        return false;
    }
    for (std::size_t i = 0; i < all.size(); ++i) {
        nodes_->setStateIndex(all[i], states[i]);
    }
    return true;
}

bool TqarnTreeView::isOnStateImage(const QPoint& point) const {
    const QModelIndex index = indexAt(point);
    return index.isValid() && delegate_->stateImageRect(visualRect(index), index).contains(point);
}

bool TqarnTreeView::toggleStateAt(const QPoint& point) {
    if (!stateRecursion_ || !isOnStateImage(point)) {
        return false;
    }
    toggleState(nodes_->nodeOf(indexAt(point)));
    return true;
}

void TqarnTreeView::toggleState(TqarnTreeNode* node) {
    const int next = node->stateIndex() + 1;
    setStateIndex(node, next > 2 ? 1 : next);
}

void TqarnTreeView::emitPendingClick() {
    if (clickPending_) {
        clickPending_ = false;
        emit treeClicked();
    }
}

void TqarnTreeView::mousePressEvent(QMouseEvent* event) {
    QTreeView::mousePressEvent(event);
    if (toggleStateAt(event->position().toPoint())) {
        clickPending_ = true;
    }
}

// A quick second click on a state image toggles again instead of folding the branch.
void TqarnTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (toggleStateAt(event->position().toPoint())) {
        clickPending_ = true;
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

// Space does to the current node what a click on its state image does, so that the check
// boxes can be worked from the keyboard too.
void TqarnTreeView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier &&
        stateRecursion_ && current.isValid() &&
        !delegate_->stateImageRect(visualRect(current), current).isEmpty()) {
        toggleState(nodes_->nodeOf(current));
        emit treeClicked();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void TqarnTreeView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    clickPending_ = false;
    emit treeClicked();
}

// The menu grabs the mouse before the release arrives: a state changed by this press is
// reported first, so that the menu's commands see the tree and its owner agree.
void TqarnTreeView::contextMenuEvent(QContextMenuEvent* event) {
    emitPendingClick();
    if (popupMenu_ == nullptr) {
        QTreeView::contextMenuEvent(event);
        return;
    }
    QPoint position = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard && currentIndex().isValid()) {
        position = viewport()->mapToGlobal(visualRect(currentIndex()).bottomLeft());
    }
    popupMenu_->popup(position);
}
