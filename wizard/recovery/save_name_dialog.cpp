#include "wizard/recovery/save_name_dialog.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QTreeView>

#include "wizard/translation/file_dialog_columns.h"

namespace {

// Qt gives the type and date columns fixed widths that cut longer texts short ("Verzeichnis",
// a date with its seconds): once the folder is listed, they take the width of what they show.
void FitColumns(QFileDialog& dialog, const FileDialogColumns& columns) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* files = qobject_cast<QFileSystemModel*>(columns.sourceModel());
    if (!view || !files) return;
    QObject::connect(files, &QFileSystemModel::directoryLoaded, view, [view] {
        view->resizeColumnToContents(FileDialogColumns::kTypeColumn);
        view->resizeColumnToContents(FileDialogColumns::kDateColumn);
    });
}

}  // namespace

std::optional<QString> AskSaveName(QWidget* owner, const QString& folder, const QString& name) {
    QFileDialog dialog(owner, QString(), folder, QStringLiteral("*.*"));
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    auto* columns = new FileDialogColumns(&dialog);
    dialog.setProxyModel(columns);
    FitColumns(dialog, *columns);
    // Room for the four columns beside the side bar: Qt's size hides the date.
    dialog.resize(dialog.sizeHint().expandedTo(QSize(800, 440)));
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}
