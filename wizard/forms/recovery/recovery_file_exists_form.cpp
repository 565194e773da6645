#include "wizard/forms/recovery/recovery_file_exists_form.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "wizard/forms/widgets/dialog_parts.h"
#include "wizard/translation/safe_format.h"
#include "wizard/translation/translate_form.h"

namespace {

constexpr int kClientWidth = 458;
constexpr int kClientHeight = 167;

const QString kCaptionEnglish = QStringLiteral("[%s] File Exists");
const QString kQuestionEnglish = QStringLiteral("File \"%s\" already exists. Do you want to overwrite it?");

}  // namespace

TRecoveryFileExistsForm::TRecoveryFileExistsForm(QWidget* parent)
    : THelpKeywordDialog(kHelpTopic, parent,
                         Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                             Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("RecoveryFileExistsForm"));
    setWindowTitle(kCaptionEnglish);

    filenameLabel_ = PlainLabel(this, "FilenameLabel", kQuestionEnglish, true);
    renameCheckBox_ = new QCheckBox(QStringLiteral("Auto-save with a new name (rename files)"), this);
    renameCheckBox_->setObjectName(QStringLiteral("RenameCheckBox"));
    connect(renameCheckBox_, &QCheckBox::toggled, this, [this] { RenameCheckBoxClick(); });
    auto* note = PlainLabel(this, "RenameNoteLabel",
                            QStringLiteral("A number will be added to the original file name when such a name "
                                           "already exists in the destination folder. For example, "
                                           "\"filename.ext\" will be renamed to \"filename_1.ext\", \"filename_2.ext\", "
                                           "etc."),
                            true);

    yesButton_ = ResultButton(this, this, "YesButton", QStringLiteral("&Yes"), kResultYes);
    yesToAllButton_ = ResultButton(this, this, "YesToAllButton", QStringLiteral("Yes to &all"), kResultYesToAll);
    noButton_ = ResultButton(this, this, "NoButton", QStringLiteral("&No"), kResultNo);
    noButton_->setDefault(true);
    noToAllButton_ = ResultButton(this, this, "NoToAllButton", QStringLiteral("No &to all"), kResultNoToAll);
    okButton_ = ResultButton(this, this, "OkButton", QStringLiteral("&OK"), kResultOk);
    okButton_->hide();
    auto* cancel = ResultButton(this, this, "CancelButton", QStringLiteral("&Cancel"), kResultCancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {yesButton_, yesToAllButton_, noButton_, noToAllButton_, okButton_, cancel}) {
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filenameLabel_);
    layout->addWidget(renameCheckBox_);
    layout->addWidget(note);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(ScaledToScreen(kClientWidth), ScaledToScreen(kClientHeight));
    FormCreate();
}

void TRecoveryFileExistsForm::FormCreate() {
    TranslateForm({this});
    captionFormat_ = windowTitle();
    questionFormat_ = filenameLabel_->text();
}

void TRecoveryFileExistsForm::ShowPath(const QString& path) {
    setWindowTitle(SafeFormat(captionFormat_, kCaptionEnglish, QFileInfo(path).fileName()));
    filenameLabel_->setText(SafeFormat(questionFormat_, kQuestionEnglish, path));
}

void TRecoveryFileExistsForm::RenameCheckBoxClick() {
    const bool rename = renameCheckBox_->isChecked();
    for (QPushButton* button : {yesButton_, yesToAllButton_, noButton_, noToAllButton_}) {
        button->setVisible(!rename);
    }
    okButton_->setVisible(rename);
    okButton_->setDefault(rename);
    noButton_->setDefault(!rename);
}

int ShowFileExistsDialog(const QString& path) {
    TRecoveryFileExistsForm form;
    form.ShowPath(path);
    return form.exec();
}
