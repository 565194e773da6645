#pragma once
// Finding a check-box tree's nodes and clicking their state images, as a user would.

#include <QTest>

#include <string>

#include "wizard/forms/tree/qarn_tree_view.h"
#include "wizard/forms/tree/state_image_delegate.h"
#include "wizard/model/formats/format.h"

// Where the node's state image is drawn, in the viewport's coordinates.
inline QPoint StateImageCentre(TqarnTreeView& tree, const TqarnTreeNode* node) {
    const QModelIndex index = tree.nodes()->indexOf(node);
    tree.scrollTo(index);
    auto* delegate = static_cast<StateImageDelegate*>(tree.itemDelegate());
    return delegate->stateImageRect(tree.visualRect(index), index).center();
}

inline void ClickStateImage(TqarnTreeView& tree, const TqarnTreeNode* node,
                            Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(tree.viewport(), button, {}, StateImageCentre(tree, node));
}

// The type tree's node of the format titled `title`, or null.
inline TqarnTreeNode* FormatNode(const TqarnTreeView& tree, const std::string& title) {
    for (TqarnTreeNode* node : tree.nodes()->nodesInTreeOrder()) {
        if (node->level() == 1 && static_cast<const TFormat*>(node->data())->Title == title) {
            return node;
        }
    }
    return nullptr;
}
