#include "wizard/forms/folder_browser/folder_tree_model.h"

#include <QCollator>
#include <QDir>
#include <QStorageInfo>

#include <algorithm>

#include "wizard/translation/translation.h"

struct FolderTreeModel::Node {
    QString name;
    QString path;  // empty: the Computer item
    QIcon icon;
    Node* parent = nullptr;
    int row = 0;
    bool listed = false;
    std::vector<std::unique_ptr<Node>> children;
};

namespace {

bool IsBelowOrSame(const QString& path, const QString& folder) {
    if (folder == QLatin1String("/")) return path.startsWith(folder);
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

}  // namespace

FolderTreeModel::FolderTreeModel(const QString& rootPath, QObject* parent)
    : QAbstractItemModel(parent), invisibleRoot_(std::make_unique<Node>()) {
    invisibleRoot_->listed = true;
    if (!rootPath.isEmpty()) {
        AddChild(invisibleRoot_.get(), QDir(rootPath).dirName(), QDir::cleanPath(rootPath), QFileIconProvider::Folder);
        return;
    }
    AddChild(invisibleRoot_.get(), TranslateString(kComputerName, QStringLiteral("strComputer")), QString(),
             QFileIconProvider::Computer);
    Node* computer = invisibleRoot_->children.front().get();
    computer->listed = true;
    AddChild(computer, QStringLiteral("/"), QStringLiteral("/"), QFileIconProvider::Drive);
    AddChild(computer, QDir::home().dirName(), QDir::homePath(), QFileIconProvider::Folder);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || volume.rootPath() == QLatin1String("/")) continue;
        AddChild(computer, volume.displayName(), volume.rootPath(), QFileIconProvider::Drive);
    }
}

FolderTreeModel::~FolderTreeModel() = default;

void FolderTreeModel::AddChild(Node* parent, const QString& name, const QString& path,
                               QFileIconProvider::IconType icon) {
    auto child = std::make_unique<Node>();
    child->name = name.isEmpty() ? path : name;
    child->path = path;
    child->icon = icons_.icon(icon);
    child->parent = parent;
    child->row = static_cast<int>(parent->children.size());
    parent->children.push_back(std::move(child));
}

FolderTreeModel::Node* FolderTreeModel::NodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : invisibleRoot_.get();
}

QModelIndex FolderTreeModel::IndexOfNode(const Node* node) const {
    if (node == invisibleRoot_.get()) return {};
    return createIndex(node->row, 0, const_cast<Node*>(node));
}

QString FolderTreeModel::Path(const QModelIndex& index) const { return index.isValid() ? NodeOf(index)->path : QString(); }

QModelIndex FolderTreeModel::IndexOf(const QString& path) {
    const QString target = QDir::cleanPath(path);
    // Start at the root item below which the path lies deepest.
    const Node* best = nullptr;
    const auto consider = [&](const Node* node) {
        if (!node->path.isEmpty() && IsBelowOrSame(target, node->path) &&
            (!best || node->path.size() > best->path.size())) {
            best = node;
        }
    };
    for (const auto& top : invisibleRoot_->children) {
        consider(top.get());
        if (top->path.isEmpty()) {
            for (const auto& child : top->children) consider(child.get());
        }
    }
    if (!best) return {};
    QModelIndex index = IndexOfNode(best);
    const QString below = target.mid(best->path.size());
    for (const QString& part : below.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (canFetchMore(index)) fetchMore(index);
        const Node* node = NodeOf(index);
        const auto found = std::find_if(node->children.begin(), node->children.end(),
                                        [&](const auto& child) { return child->name == part; });
        if (found == node->children.end()) return {};
        index = IndexOfNode(found->get());
    }
    return index;
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const Node* node = NodeOf(parent);
    if (column != 0 || row < 0 || row >= static_cast<int>(node->children.size())) return {};
    return createIndex(row, 0, node->children[static_cast<std::size_t>(row)].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    return IndexOfNode(NodeOf(child)->parent);
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
    return static_cast<int>(NodeOf(parent)->children.size());
}

int FolderTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const Node* node = NodeOf(index);
    switch (role) {
        case Qt::DisplayRole: return node->name;
        case Qt::DecorationRole: return node->icon;
        case Qt::ToolTipRole: return node->path.isEmpty() ? node->name : node->path;
        default: return {};
    }
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const {
    const Node* node = NodeOf(parent);
    return !node->listed || !node->children.empty();
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const { return !NodeOf(parent)->listed; }

void FolderTreeModel::fetchMore(const QModelIndex& parent) {
    Node* node = NodeOf(parent);
    if (node->listed) return;
    node->listed = true;
    const QDir folder(node->path);
    QStringList names = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), collator);
    if (names.isEmpty()) {
        // No expander once it is known that there is nothing below.
        emit dataChanged(parent, parent);
        return;
    }
    beginInsertRows(parent, 0, static_cast<int>(names.size()) - 1);
    for (const QString& name : names) {
        AddChild(node, name, QDir(node->path).filePath(name), QFileIconProvider::Folder);
    }
    endInsertRows();
}
