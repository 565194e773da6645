#include "wizard/forms/tree/qarn_tree_model.h"

#include <algorithm>

TqarnTreeNode* TqarnTreeNode::parent() const {
    return parent_ != nullptr && parent_->parent_ != nullptr ? parent_ : nullptr;
}

int TqarnTreeNode::level() const {
    int level = 0;
    for (const TqarnTreeNode* node = parent(); node != nullptr; node = node->parent()) {
        ++level;
    }
    return level;
}

TqarnTreeNode* TqarnTreeNode::child(int row) const {
    return row >= 0 && row < childCount() ? children_[static_cast<std::size_t>(row)].get()
                                          : nullptr;
}

TqarnTreeNode* TqarnTreeNode::nextSibling() const {
    return parent_ != nullptr ? parent_->child(row_ + 1) : nullptr;
}

int TqarnTreeNode::countSlot(int state) {
    switch (state) {
        case -1: return 0;
        case 1: return 1;
        case 2: return 2;
        case 3: return 3;
        default: return -1;
    }
}

int TqarnTreeNode::childrenInState(int state) const {
    const int slot = countSlot(state);
    return slot < 0 ? 0 : childStates_[static_cast<std::size_t>(slot)];
}

void TqarnTreeNode::setChildState(int from, int to) {
    if (const int slot = countSlot(from); slot >= 0) {
        --childStates_[static_cast<std::size_t>(slot)];
    }
    if (const int slot = countSlot(to); slot >= 0) {
        ++childStates_[static_cast<std::size_t>(slot)];
    }
}

TqarnTreeModel::TqarnTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

TqarnTreeModel::~TqarnTreeModel() = default;

TqarnTreeNode* TqarnTreeModel::insertNode(TqarnTreeNode* parent, int row, const QString& text,
                                          int imageIndex, void* data) {
    TqarnTreeNode* owner = parent != nullptr ? parent : &top_;
    const int count = owner->childCount();
    row = row < 0 || row > count ? count : row;
    auto node = std::make_unique<TqarnTreeNode>();
    node->text_ = text;
    node->imageIndex_ = imageIndex;
    node->data_ = data;
    node->parent_ = owner;
    owner->setChildState(0, node->stateIndex_);  // 0 is not counted: this counts a new -1
    TqarnTreeNode* added = node.get();

    const bool announce = updateDepth_ == 0;
    if (announce) {
        beginInsertRows(owner == &top_ ? QModelIndex() : indexOf(owner), row, row);
    }
    owner->children_.insert(owner->children_.begin() + row, std::move(node));
    for (int i = row; i <= count; ++i) {
        owner->children_[static_cast<std::size_t>(i)]->row_ = i;
    }
    if (announce) {
        endInsertRows();
    }
    return added;
}

void TqarnTreeModel::clear() {
    const bool announce = updateDepth_ == 0;
    if (announce) {
        beginResetModel();
    }
    top_.children_.clear();
    top_.childStates_ = {};
    if (announce) {
        endResetModel();
    }
}

void TqarnTreeModel::setText(TqarnTreeNode* node, const QString& text) {
    node->text_ = text;
    announceChange(node, Qt::DisplayRole);
}

void TqarnTreeModel::setStateIndex(TqarnTreeNode* node, int state) {
    if (node->stateIndex_ == state) {
        return;
    }
    node->parent_->setChildState(node->stateIndex_, state);
    node->stateIndex_ = state;
    announceChange(node, StateIndexRole);
}

std::vector<TqarnTreeNode*> TqarnTreeModel::nodesInTreeOrder() const {
    std::vector<TqarnTreeNode*> nodes;
    std::vector<const TqarnTreeNode*> pending{&top_};
    while (!pending.empty()) {
        const TqarnTreeNode* node = pending.back();
        pending.pop_back();
        for (auto child = node->children_.rbegin(); child != node->children_.rend(); ++child) {
            pending.push_back(child->get());
        }
        if (node != &top_) {
            nodes.push_back(const_cast<TqarnTreeNode*>(node));
        }
    }
    return nodes;
}

QModelIndex TqarnTreeModel::indexOf(const TqarnTreeNode* node) const {
    if (node == nullptr || node == &top_) {
        return {};
    }
    return createIndex(node->row_, 0, const_cast<TqarnTreeNode*>(node));
}

TqarnTreeNode* TqarnTreeModel::nodeOf(const QModelIndex& index) const {
    return index.isValid() && index.model() == this
               ? static_cast<TqarnTreeNode*>(index.internalPointer())
               : nullptr;
}

void TqarnTreeModel::beginUpdate() {
    if (updateDepth_++ == 0) {
        beginResetModel();
    }
}

void TqarnTreeModel::endUpdate() {
    if (updateDepth_ > 0 && --updateDepth_ == 0) {
        endResetModel();
    }
}

QModelIndex TqarnTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0) {
        return {};
    }
    const TqarnTreeNode* owner = nodeOrTop(parent);
    const TqarnTreeNode* node = owner->child(row);
    return node != nullptr ? createIndex(row, 0, const_cast<TqarnTreeNode*>(node)) : QModelIndex();
}

QModelIndex TqarnTreeModel::parent(const QModelIndex& child) const {
    const TqarnTreeNode* node = nodeOf(child);
    return node != nullptr ? indexOf(node->parent()) : QModelIndex();
}

int TqarnTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    return nodeOrTop(parent)->childCount();
}

int TqarnTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant TqarnTreeModel::data(const QModelIndex& index, int role) const {
    const TqarnTreeNode* node = nodeOf(index);
    if (node == nullptr) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole: return node->text_;
        case StateIndexRole: return node->stateIndex_;
        case ImageIndexRole: return node->imageIndex_;
        default: return {};
    }
}

Qt::ItemFlags TqarnTreeModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

TqarnTreeNode* TqarnTreeModel::nodeOrTop(const QModelIndex& index) const {
    TqarnTreeNode* node = nodeOf(index);
    return node != nullptr ? node : const_cast<TqarnTreeNode*>(&top_);
}

void TqarnTreeModel::announceChange(const TqarnTreeNode* node, int role) {
    if (updateDepth_ == 0) {
        const QModelIndex index = indexOf(node);
        emit dataChanged(index, index, {role});
    }
}
