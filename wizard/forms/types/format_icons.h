#pragma once
// The pictures of the type tree, kept in ImageListFileIcons: 0 is our folder (category
// nodes), then one icon per default extension of a format, added when first needed and
// reused by every later rebuild of the tree.

#include <QHash>
#include <QString>

#include <string>

class QObject;
class TexImageList;

class FormatIcons {
public:
    static constexpr int kFolder = 0;

    // The list is a child of `owner`.
    explicit FormatIcons(QObject* owner);

    TexImageList* list() const { return list_; }
    // The index of the desktop's icon for files named "*." + extension.
    int indexOf(const std::string& defaultExtension);

private:
    TexImageList* list_;
    QHash<QString, int> byExtension_;  // upper-case extension -> index
};
