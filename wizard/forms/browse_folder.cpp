#include "wizard/forms/browse_folder.h"

#include <QFileDialog>

std::optional<QString> BrowseForFolder(QWidget* parent, const QString& start) {
    const QString folder = QFileDialog::getExistingDirectory(parent, QString(), start);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}
