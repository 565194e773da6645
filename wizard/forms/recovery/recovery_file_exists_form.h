#pragma once
// The question what to do with a recovered file whose name is taken by an earlier file:
// Yes (6), Yes to all (10), No (7: another name in a save dialog), No to all (9), Cancel
// (2), or, with "Auto-save with a new name" ticked, OK (1: numbered names from now on).

#include <QString>

#include "wizard/help/help_keyword_dialog.h"

class QCheckBox;
class QLabel;
class QPushButton;

class TRecoveryFileExistsForm : public THelpKeywordDialog {
    Q_OBJECT

public:
    static inline const QString kHelpTopic = QStringLiteral("/files/recovery.fileexists.html");
    static constexpr int kResultYes = 6;
    static constexpr int kResultNo = 7;
    static constexpr int kResultNoToAll = 9;
    static constexpr int kResultYesToAll = 10;

    explicit TRecoveryFileExistsForm(QWidget* parent = nullptr);

    // The caption with the file's name, the question with its whole path.
    void ShowPath(const QString& path);

private:
    void FormCreate();
    void RenameCheckBoxClick();

    QLabel* filenameLabel_ = nullptr;
    QString captionFormat_;
    QString questionFormat_;
    QCheckBox* renameCheckBox_ = nullptr;
    QPushButton* yesButton_ = nullptr;
    QPushButton* yesToAllButton_ = nullptr;
    QPushButton* noButton_ = nullptr;
    QPushButton* noToAllButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

// Asks about `path` modally and returns the modal result.
int ShowFileExistsDialog(const QString& path);
