#pragma once
// The destination dialog of a recovery: the folder the files are written into and, for
// the file-system list, whether their folders are made there too. OK returns 1, Cancel 2.

#include <QString>

#include <functional>

#include "wizard/help/help_keyword_dialog.h"

class QCheckBox;
class QLineEdit;
class TPBFolderDialog;

class TRecoverForm : public THelpKeywordDialog {
    Q_OBJECT

public:
    static inline const QString kHelpTopic = QStringLiteral("/files/recovery.recover.html");

    explicit TRecoverForm(QWidget* parent = nullptr);

    QString DestinationFolder() const;
    void SetDestinationFolder(const QString& folder);
    bool KeepFolderStructure() const;
    void SetKeepFolderStructure(bool keep);
    // Shows "Keep folder structure" and makes room for it.
    void ShowKeepFolderStructure();
    // OK is refused, the dialog staying open, while the folder cannot name a destination
    // (see AcceptsTargetFolder) and, with the same-drive message, while this says the
    // folder is on the drive being recovered.
    void SetSourceDriveCheck(std::function<bool(const QString& folder)> onSourceDrive);

    TPBFolderDialog* BrowseForFolder() const { return browseForFolder_; }

private:
    void FormCreate();
    void DestinationFolderBrowseClick();
    void ButtonOkClick();
    void ButtonHelpClick() { PressHelpKey(); }

    QLineEdit* destinationFolderEdit_ = nullptr;
    QCheckBox* checkBoxKeepFolderStructure_ = nullptr;
    TPBFolderDialog* browseForFolder_ = nullptr;
    std::function<bool(const QString&)> onSourceDrive_;
};
