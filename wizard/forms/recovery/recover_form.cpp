#include "wizard/forms/recovery/recover_form.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <optional>
#include <utility>

#include "wizard/forms/folder_browser/browse_folder.h"
#include "wizard/forms/folder_browser/pb_folder_dialog.h"
#include "wizard/forms/widgets/dialog_parts.h"
#include "wizard/services/prompt_service.h"
#include "wizard/translation/translate_form.h"
#include "wizard/utilities/utility_messages.h"

namespace {

constexpr int kClientWidth = 392;
constexpr int kClientHeight = 236;
constexpr int kHeightWithKeepBox = 330;

QFrame* TopPanel(QWidget* owner) {
    auto* panel = new QFrame(owner);
    panel->setObjectName(QStringLiteral("TopPanel"));
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel->setPalette(palette);
    auto* image = PlainLabel(panel, "TopImage", QString());
    image->setPixmap(owner->style()->standardIcon(QStyle::SP_DialogSaveButton).pixmap(32, 32));
    auto* title = BoldLabel(panel, "TopLabel", QStringLiteral("Recover files"));
    auto* layout = new QHBoxLayout(panel);
    layout->addWidget(image);
    layout->addWidget(title, 1);
    return panel;
}

}  // namespace

TRecoverForm::TRecoverForm(QWidget* parent)
    : THelpKeywordDialog(kHelpTopic, parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("RecoverForm"));
    setWindowTitle(QStringLiteral("Recover"));

    auto* destinationLabel = PlainLabel(this, "DestinationLabel",
                                        QStringLiteral("Folder where the recovered files will be saved:"));
    destinationFolderEdit_ = new QLineEdit(this);
    destinationFolderEdit_->setObjectName(QStringLiteral("DestinationFolderEdit"));
    auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
    browse->setObjectName(QStringLiteral("DestinationFolderBrowse"));
    connect(browse, &QPushButton::clicked, this, [this] { DestinationFolderBrowseClick(); });
    auto* note = PlainLabel(this, "DestinationNoteLabel",
                            QStringLiteral("Attention: Never try to save recovered files on the same logical "
                                           "disk where they have been located, or you may obtain "
                                           "unpredictable results and lose all your data!"),
                            true);
    checkBoxKeepFolderStructure_ = new QCheckBox(QStringLiteral("Keep folder structure"), this);
    checkBoxKeepFolderStructure_->setObjectName(QStringLiteral("CheckBoxKeepFolderStructure"));
    checkBoxKeepFolderStructure_->hide();

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("ButtonOk"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
    auto* cancel = ResultButton(this, this, "ButtonCancel", QStringLiteral("&Cancel"), kResultCancel);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("ButtonHelp"));
    connect(help, &QPushButton::clicked, this, [this] { ButtonHelpClick(); });

    browseForFolder_ = new TPBFolderDialog(this);
    browseForFolder_->setObjectName(QStringLiteral("BrowseForFolder"));
    browseForFolder_->SetFlags(BrowseInfoFlag::ShowPath);
    browseForFolder_->SetRootFolder(TSHFolders::foMyComputer);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(destinationFolderEdit_, 1);
    folderRow->addWidget(browse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {ok, cancel, help}) buttons->addWidget(button);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 6, 10, 10);
    body->addWidget(destinationLabel);
    body->addLayout(folderRow);
    body->addWidget(note);
    body->addWidget(checkBoxKeepFolderStructure_);
    body->addStretch();
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(TopPanel(this));
    layout->addLayout(body, 1);
    resize(ScaledToScreen(kClientWidth), ScaledToScreen(kClientHeight));
    FormCreate();
}

void TRecoverForm::FormCreate() { TranslateForm({this}); }

QString TRecoverForm::DestinationFolder() const { return destinationFolderEdit_->text(); }

void TRecoverForm::SetDestinationFolder(const QString& folder) { destinationFolderEdit_->setText(folder); }

bool TRecoverForm::KeepFolderStructure() const { return checkBoxKeepFolderStructure_->isChecked(); }

void TRecoverForm::SetKeepFolderStructure(bool keep) { checkBoxKeepFolderStructure_->setChecked(keep); }

void TRecoverForm::ShowKeepFolderStructure() {
    checkBoxKeepFolderStructure_->show();
    resize(width(), ScaledToScreen(kHeightWithKeepBox));
}

void TRecoverForm::SetSourceDriveCheck(std::function<bool(const QString&)> onSourceDrive) {
    onSourceDrive_ = std::move(onSourceDrive);
}

void TRecoverForm::DestinationFolderBrowseClick() {
    if (const std::optional<QString> folder = ::BrowseForFolder(*browseForFolder_, destinationFolderEdit_->text())) {
        destinationFolderEdit_->setText(*folder);
    }
}

void TRecoverForm::ButtonOkClick() {
    if (!AcceptsTargetFolder(*destinationFolderEdit_)) return;
    if (onSourceDrive_ && onSourceDrive_(DestinationFolder())) {
        promptService().ask({SameDriveRefusal(), windowTitle(), PromptButtons::Ok, PromptIcon::Warning, this});
        return;
    }
    done(kResultOk);
}
