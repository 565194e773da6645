#pragma once
// What a test of a destination folder's edit meets: the folder browser answered with its
// top item, which has no path (the Computer item), or with the first item below it (the
// root folder), and the messages that refuse a folder no destination can take.

#include <QString>
#include <QTreeView>

#include "wizard/forms/folder_browser/folder_tree_model.h"
#include "wizard/support/dialog_controls.h"

inline const QString kTargetFolderRefusal = QStringLiteral(
    "Please enter the full path of the folder for the recovered files: it begins with \"/\" and "
    "holds no \"//\" and none of the characters \\ * ? \" < > |");

// The refusal of a folder of the system, and of a file.
inline QString SystemFolderRefusal(const QString& folder) {
    return folder + QStringLiteral(" is the system's root folder or a folder of the system's kernel: recovered "
                                   "files can't be saved there. Please choose another folder.");
}
inline QString NotAFolderRefusal(const QString& file) {
    return file + QStringLiteral(" is a file, not a folder. Please choose a folder for the recovered files.");
}

inline void ChooseRootFolderItem(QWidget* browser) {
    auto* tree = FindControl<QTreeView>(browser, "FolderTree");
    const auto* model = static_cast<FolderTreeModel*>(tree->model());
    tree->setCurrentIndex(model->index(0, 0, model->RootIndex()));
    PressButton(browser, "OkButton");
}

inline void ChooseComputerItem(QWidget* browser) {
    auto* tree = FindControl<QTreeView>(browser, "FolderTree");
    tree->setCurrentIndex(static_cast<FolderTreeModel*>(tree->model())->RootIndex());
    PressButton(browser, "OkButton");
}
