#pragma once
// The folder tree of the folder browser: folders listed when first expanded, below one
// root. The root is either a folder, or a "Computer" item without a path that holds the
// file system's root, the home folder and the mounted volumes.

#include <QAbstractItemModel>
#include <QFileIconProvider>
#include <QString>

#include <memory>
#include <vector>

class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    // The name of the pathless item (in the current language), also its status text.
    static inline const QString kComputerName = QStringLiteral("Computer");

    // `rootPath` empty: the Computer item.
    explicit FolderTreeModel(const QString& rootPath, QObject* parent = nullptr);
    ~FolderTreeModel() override;

    // The item's folder path; empty for the Computer item.
    QString Path(const QModelIndex& index) const;
    // The item of `path`, listing the folders on the way; invalid when there is none.
    QModelIndex IndexOf(const QString& path);
    QModelIndex RootIndex() const { return index(0, 0); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    struct Node;

    Node* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOfNode(const Node* node) const;
    void AddChild(Node* parent, const QString& name, const QString& path, QFileIconProvider::IconType icon);

    std::unique_ptr<Node> invisibleRoot_;
    QFileIconProvider icons_;
};
