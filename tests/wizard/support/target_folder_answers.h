#pragma once
// What a test of a destination folder's edit meets: the folder browser answered with its
// top item, which has no path (the Computer item), and the message that refuses a folder
// no destination can take.

#include <QString>
#include <QTreeView>

#include "wizard/forms/folder_browser/folder_tree_model.h"
#include "wizard/support/dialog_controls.h"

inline const QString kTargetFolderRefusal = QStringLiteral(
    "Please enter the full path of the folder for the recovered files: it begins with \"/\" and "
    "holds no \"//\" and none of the characters \\ * ? \" < > |");

inline void ChooseComputerItem(QWidget* browser) {
    auto* tree = FindControl<QTreeView>(browser, "FolderTree");
    tree->setCurrentIndex(static_cast<FolderTreeModel*>(tree->model())->RootIndex());
    PressButton(browser, "OkButton");
}
