#pragma once
// The nodes of a check-box tree and the Qt model over them. A node has a text, an image
// index, a state index (-1 no state image, 0 none, 1 unchecked, 2 checked, 3 mixed; any
// other value is kept but shows nothing) and a pointer for its owner's use. The model only
// stores; the state rules live in TqarnTreeView.
//
// Each node counts its children per state, so a parent's state follows a change of one
// child without looking at the others.

#include <QAbstractItemModel>
#include <QString>

#include <array>
#include <memory>
#include <vector>

class TqarnTreeNode {
public:
    const QString& text() const { return text_; }
    int imageIndex() const { return imageIndex_; }
    int stateIndex() const { return stateIndex_; }
    void* data() const { return data_; }

    // Null for a root node.
    TqarnTreeNode* parent() const;
    // 0 for a root node, 1 for its children, ...
    int level() const;
    int row() const { return row_; }
    int childCount() const { return static_cast<int>(children_.size()); }
    TqarnTreeNode* child(int row) const;
    TqarnTreeNode* nextSibling() const;

    // How many children have the state index `state`; counted for -1, 1, 2 and 3 only.
    int childrenInState(int state) const;

private:
    friend class TqarnTreeModel;

    static int countSlot(int state);  // -1 when the state is not counted
    void setChildState(int from, int to);

    QString text_;
    int imageIndex_ = -1;
    int stateIndex_ = -1;
    void* data_ = nullptr;
    TqarnTreeNode* parent_ = nullptr;  // the model's hidden top node for a root
    int row_ = 0;
    std::vector<std::unique_ptr<TqarnTreeNode>> children_;
    std::array<int, 4> childStates_{};  // counts of -1, 1, 2, 3
};

class TqarnTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    static constexpr int StateIndexRole = Qt::UserRole + 1;
    static constexpr int ImageIndexRole = Qt::UserRole + 2;

    explicit TqarnTreeModel(QObject* parent = nullptr);
    ~TqarnTreeModel() override;

    // A new node with state index -1 under `parent` (null: a root) at `row` (clamped to
    // 0..count; -1 appends).
    TqarnTreeNode* insertNode(TqarnTreeNode* parent, int row, const QString& text, int imageIndex,
                              void* data);
    void clear();

    void setText(TqarnTreeNode* node, const QString& text);
    // Stores the state index as it is; no rule runs.
    void setStateIndex(TqarnTreeNode* node, int state);

    int rootCount() const { return top_.childCount(); }
    TqarnTreeNode* root(int row) const { return top_.child(row); }
    // Every node, parents before their children, siblings in order.
    std::vector<TqarnTreeNode*> nodesInTreeOrder() const;

    QModelIndex indexOf(const TqarnTreeNode* node) const;
    TqarnTreeNode* nodeOf(const QModelIndex& index) const;

    // Between begin and end, nothing is announced node by node: views reset once at the
    // end. Pairs nest.
    void beginUpdate();
    void endUpdate();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    TqarnTreeNode* nodeOrTop(const QModelIndex& index) const;
    void announceChange(const TqarnTreeNode* node, int role);

    TqarnTreeNode top_;
    int updateDepth_ = 0;
};
