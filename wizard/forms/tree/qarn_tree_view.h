#pragma once
// A tree view whose nodes carry check-box states (see qarn_tree_model.h) drawn from a state
// image list, and which keeps them consistent while `StateRecursion` is on: checking or
// unchecking a node does the same to its branch, and a parent shows checked (2),
// unchecked (1) or mixed (3) after its children. A node whose state equals `StateIgnore`
// takes no part, nor does its branch.
//
// The state setter is where the rules start: setting 1 or 2 (also on a new node)
// propagates, 3, 0 and -1 are stored as they are. A press of any mouse button on a state
// image selects the node and toggles it (1 -> 2, 2 and 3 -> 1); `treeClicked` follows on
// the release, after the change, for any click on the tree. Space toggles the current
// node the same way and reports it as a click.

#include <QPointer>
#include <QTreeView>

#include "wizard/forms/tree/ex_image_list.h"
#include "wizard/forms/tree/qarn_tree_model.h"

class QDataStream;
class QMenu;
class StateImageDelegate;

class TqarnTreeView : public QTreeView {
    Q_OBJECT
    Q_PROPERTY(bool StateRecursion READ stateRecursion WRITE setStateRecursion)
    Q_PROPERTY(int StateIgnore READ stateIgnore WRITE setStateIgnore)
    Q_PROPERTY(QString Version READ version)
    Q_PROPERTY(QString Help READ help)
    Q_PROPERTY(QString OtherStuff READ otherStuff)

public:
    explicit TqarnTreeView(QWidget* parent = nullptr);
    ~TqarnTreeView() override;

    TqarnTreeModel* nodes() const { return nodes_; }

    // A new node in state -1; see TqarnTreeModel::insertNode.
    TqarnTreeNode* insertNode(TqarnTreeNode* parent, int row, const QString& text, int imageIndex,
                              void* data);
    void setNodeText(TqarnTreeNode* node, const QString& text);
    // The state setter: stores `state`, then runs StateChanged for 1 and 2 while
    // StateRecursion is on.
    void setStateIndex(TqarnTreeNode* node, int state);
    TqarnTreeNode* selectedNode() const;
    void selectNode(TqarnTreeNode* node);

    // Node pictures and state pictures (1 unchecked, 2 checked, 3 mixed at those indexes).
    TexImageList* images() const { return images_.data(); }
    void setImages(TexImageList* images);
    TexImageList* stateImages() const { return stateImages_.data(); }
    void setStateImages(TexImageList* images);
    // Shown on a right click or the menu key; none by default.
    void setPopupMenu(QMenu* menu);

    bool stateRecursion() const { return stateRecursion_; }
    // Turning it on normalises the tree from the first root; turning it off does nothing
    // more.
    virtual void setStateRecursion(bool on);
    int stateIgnore() const { return stateIgnore_; }
    // Re-applies nothing; turning StateRecursion off and on again does.
    void setStateIgnore(int state) { stateIgnore_ = state; }

    QString version() const;
    QString help() const;
    QString otherStuff() const;

    // Pushes the node's state down its branch, then pulls its ancestors' states up, with
    // StateRecursion off meanwhile.
    virtual void PropagateState(TqarnTreeNode* node);
    // For `first` and each following sibling outside StateIgnore: a checked node
    // propagates; any other turns -1 into 1 and normalises its children.
    virtual void NormalizeStates(TqarnTreeNode* first);
    virtual void StateChanged(TqarnTreeNode* node);

    // Every node's state index in tree order. Loading accepts only a stream written for a
    // tree of the same size and changes nothing otherwise; it returns whether it loaded.
    virtual void saveStates(QDataStream& stream) const;
    virtual bool loadStates(QDataStream& stream);

    // Whether `point` (viewport coordinates) lies on the state image of the node there.
    bool isOnStateImage(const QPoint& point) const;

    // Many changes at once: the view resets once at the end. Pairs nest.
    void beginUpdate() { nodes_->beginUpdate(); }
    void endUpdate() { nodes_->endUpdate(); }

signals:
    void treeClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void follow(QPointer<TexImageList>& followed, QMetaObject::Connection& changes,
                TexImageList* images);
    void pushDown(TqarnTreeNode* node);
    void pullUp(TqarnTreeNode* node);
    bool toggleStateAt(const QPoint& point);
    void toggleState(TqarnTreeNode* node);
    void emitPendingClick();

    TqarnTreeModel* nodes_;
    StateImageDelegate* delegate_;
    QPointer<TexImageList> images_;
    QPointer<TexImageList> stateImages_;
    QMetaObject::Connection imagesChanged_;
    QMetaObject::Connection stateImagesChanged_;
    QPointer<QMenu> popupMenu_;
    bool stateRecursion_ = false;
    int stateIgnore_ = 0;
    bool clickPending_ = false;  // a press toggled a state and its click is still due
};
