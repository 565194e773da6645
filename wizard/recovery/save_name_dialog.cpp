#include "wizard/recovery/save_name_dialog.h"

#include <QFileDialog>

std::optional<QString> AskSaveName(QWidget* owner, const QString& folder, const QString& name) {
    QFileDialog dialog(owner, QString(), folder, QStringLiteral("*.*"));
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}
