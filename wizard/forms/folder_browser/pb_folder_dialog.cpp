#include "wizard/forms/folder_browser/pb_folder_dialog.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "wizard/forms/folder_browser/folder_dialog_captions.h"
#include "wizard/forms/folder_browser/folder_dialog_paths.h"
#include "wizard/forms/folder_browser/folder_tree_model.h"
#include "wizard/services/prompt_service.h"
#include "wizard/translation/translation.h"
#include "wizard/utilities/system_info.h"

namespace {

struct RootLocation {
    TSHFolders root;
    QStandardPaths::StandardLocation location;
};

// Roots that have a folder here; every other root shows the Computer item.
constexpr std::array<RootLocation, 7> kRootLocations{{
    {TSHFolders::foDesktop, QStandardPaths::DesktopLocation},
    {TSHFolders::foDesktopFolder, QStandardPaths::DesktopLocation},
    {TSHFolders::foPersonal, QStandardPaths::DocumentsLocation},
    {TSHFolders::foPrograms, QStandardPaths::ApplicationsLocation},
    {TSHFolders::foStartMenu, QStandardPaths::ApplicationsLocation},
    {TSHFolders::foFonts, QStandardPaths::FontsLocation},
    {TSHFolders::foTemplates, QStandardPaths::TemplatesLocation},
}};

constexpr int kStatusPathLimit = 50;

// Qt's dialog button size at 96 pixels per inch, scaled like the rest of the form.
int ScaledByDpi(int pixels, int dpi) { return dpi > 0 ? pixels * dpi / 96 : pixels; }

void CentreOnScreen(QWidget* window) {
    if (const QScreen* screen = window->screen()) {
        const QRect area = screen->geometry();
        window->move(area.width() / 2 - window->width() / 2, area.height() / 2 - window->height() / 2);
    }
}

}  // namespace

QString RootFolderPath(TSHFolders root) {
    const auto found = std::find_if(kRootLocations.begin(), kRootLocations.end(),
                                    [root](const RootLocation& entry) { return entry.root == root; });
    if (found == kRootLocations.end()) return {};
    const QString path = QStandardPaths::writableLocation(found->location);
    return QFileInfo(path).isDir() ? path : QString();
}

TPBFolderDialog::TPBFolderDialog(QObject* owner)
    : QObject(owner),
      labelCaptions_(DefaultLabelCaptions()),
      newFolderCaptions_(DefaultNewFolderCaptions()),
      languageKey_(LanguageKeyOf(QLocale())) {
    PickCaptions();
}

TPBFolderDialog::~TPBFolderDialog() = default;

void TPBFolderDialog::PickCaptions() {
    titleText_ = PickCaption(labelCaptions_, languageKey_);
    newFolderCaption_ = PickCaption(newFolderCaptions_, languageKey_);
    if (newFolderButton_) newFolderButton_->setText(newFolderCaption_);
}

void TPBFolderDialog::SetLabelCaptions(const QStringList& captions) {
    if (captions.join(u',') == labelCaptions_.join(u',')) return;
    labelCaptions_ = captions;
    PickCaptions();
}

void TPBFolderDialog::SetNewFolderCaptions(const QStringList& captions) {
    if (captions.join(u',') == newFolderCaptions_.join(u',')) return;
    newFolderCaptions_ = captions;
    PickCaptions();
}

void TPBFolderDialog::SetNewFolderVisible(bool visible) {
    newFolderVisible_ = visible;
    UpdateNewFolderButton();
}

void TPBFolderDialog::SetNewFolderEnabled(bool enabled) {
    newFolderEnabled_ = enabled;
    UpdateNewFolderButton();
}

void TPBFolderDialog::UpdateNewFolderButton() {
    if (!newFolderButton_) return;
    newFolderButton_->setEnabled(newFolderEnabled_ && selectionValid_);
    newFolderButton_->setVisible(newFolderVisible_);
}

bool TPBFolderDialog::Execute() {
    currentPath_ = folder_;
    lastSelected_.reset();
    bool chosen = false;
    do {
        reopenRequested_ = false;
        folder_ = currentPath_;
        OpenWindow(chosen);
    } while (reopenRequested_);
    if (chosen) {
        folder_ = currentPath_;
    }
    return chosen;
}

void TPBFolderDialog::OpenWindow(bool& chosen) {
    QWidget* owner = qobject_cast<QWidget*>(parent());
    QDialog window(owner ? owner->window() : nullptr);
    window.setObjectName(QStringLiteral("PBFolderDialogWindow"));
    window.setWindowTitle(TranslateString(QStringLiteral("Browse for Folder"), QStringLiteral("strBrowseForFolder")));
    const int dpi = GetScreenDpi();

    auto* title = new QLabel(titleText_, &window);
    title->setObjectName(QStringLiteral("TitleLabel"));
    title->setTextFormat(Qt::PlainText);
    title->setWordWrap(true);
    auto* status = new QLabel(&window);
    status->setObjectName(QStringLiteral("StatusLabel"));
    status->setTextFormat(Qt::PlainText);
    status->setVisible(flags_.testFlag(BrowseInfoFlag::ShowPath));
    auto* tree = new QTreeView(&window);
    tree->setObjectName(QStringLiteral("FolderTree"));
    tree->setHeaderHidden(true);
    auto* model = new FolderTreeModel(RootFolderPath(rootFolder_), tree);
    tree->setModel(model);

    auto* newFolder = new QPushButton(newFolderCaption_, &window);
    newFolder->setObjectName(QStringLiteral("NewFolderButton"));
    const int captionWidth = newFolder->fontMetrics().horizontalAdvance(newFolder->text());
    newFolder->setFixedSize(std::max(captionWidth + 12, ScaledByDpi(75, dpi)), ScaledByDpi(23, dpi));
    auto* ok = new QPushButton(TranslateString(QStringLiteral("OK"), QStringLiteral("strOK")), &window);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(TranslateString(QStringLiteral("Cancel"), QStringLiteral("strCancel")), &window);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(ok, &QPushButton::clicked, &window, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, &window, &QDialog::reject);
    connect(newFolder, &QPushButton::clicked, this, [this, &window] { NewFolderClick(&window); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(newFolder);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(title);
    layout->addWidget(status);
    layout->addWidget(tree, 1);
    layout->addLayout(buttons);
    window.resize(ScaledByDpi(320, dpi), ScaledByDpi(400, dpi));

    newFolderButton_ = newFolder;
    okButton_ = ok;
    statusLabel_ = status;
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, &window, model](const QModelIndex& current) { SelectionChangedIn(&window, model, current); });
    Initialize(&window, model, tree);
    chosen = window.exec() == QDialog::Accepted;
    newFolderButton_.clear();
    okButton_.clear();
    statusLabel_.clear();
}

void TPBFolderDialog::Initialize(QDialog* window, FolderTreeModel* model, QTreeView* tree) {
    CentreOnScreen(window);
    selectionValid_ = !currentPath_.isEmpty();
    UpdateNewFolderButton();
    tree->expand(model->RootIndex());
    QModelIndex initial;
    if (!folder_.isEmpty() && QFileInfo(folder_).isDir()) {
        initial = model->IndexOf(folder_);
    } else if (lastSelected_ && !lastSelected_->isEmpty()) {
        initial = model->IndexOf(*lastSelected_);
    }
    // Without a folder to show, the root item is selected, as the tree must show some
    // selection for OK to mean anything.
    if (!initial.isValid()) initial = model->RootIndex();
    tree->setCurrentIndex(initial);
    tree->scrollTo(initial, QAbstractItemView::PositionAtCenter);
    emit Initialized(window);
}

void TPBFolderDialog::SelectionChangedIn(QDialog* window, FolderTreeModel* model, const QModelIndex& index) {
    currentPath_ = model->Path(index);
    lastSelected_ = currentPath_;
    if (flags_.testFlag(BrowseInfoFlag::ShowPath) && statusLabel_) {
        const QString shown = ShortenStatusPath(currentPath_, kStatusPathLimit);
        statusLabel_->setText(shown.isEmpty() ? model->data(index, Qt::DisplayRole).toString() : shown);
    }
    selectionValid_ = !currentPath_.isEmpty();
    if (okButton_) okButton_->setEnabled(!flags_.testFlag(BrowseInfoFlag::OnlyFileSystem) || selectionValid_);
    UpdateNewFolderButton();
    emit SelectionChanged(window, currentPath_);
}

void TPBFolderDialog::NewFolderClick(QDialog* window) {
    if (currentPath_.isEmpty()) return;
    const QString name = QInputDialog::getText(window, newFolderCaption_, QString());
    if (name.isEmpty()) return;
    reopenRequested_ = true;
    const QString path = JoinNewFolderPath(currentPath_, name);
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(path).toStdString(), error);
    if (QFileInfo(path).isDir()) {
        currentPath_ = QDir::cleanPath(path);
    } else {
        const QString text = error ? QString::fromStdString(error.message())
                                   : QStringLiteral("The directory or file cannot be created.");
        promptService().ask({text, newFolderCaption_, PromptButtons::Ok, PromptIcon::Warning, window});
    }
    window->reject();
}
