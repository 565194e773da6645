#include "wizard/forms/preview/preview_content.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "wizard/bridge/busy_gate.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/forms/preview/found_files_views.h"
#include "wizard/forms/preview/preview_panel.h"
#include "wizard/forms/preview/properties_form.h"
#include "wizard/forms/preview/thumbnails_thread.h"
#include "wizard/forms/wait_form.h"
#include "wizard/forms/widgets/form_widgets.h"
#include "wizard/services/prompt_service.h"
#include "wizard/services/shell_service.h"
#include "wizard/translation/translation.h"
#include "wizard/utilities/execute_program.h"

namespace {

QString Name(const char* prefix, const char* suffix) { return QLatin1String(prefix) + QLatin1String(suffix); }

QString SortingText() {
    return TranslateString(QStringLiteral("Sorting file list... Please wait..."),
                           QStringLiteral("strSortingFileListPleaseWait"));
}

QPushButton* AddButton(QWidget* owner, const QString& name, const char* caption) {
    auto* button = new QPushButton(QString::fromLatin1(caption), owner);
    button->setObjectName(name);
    return button;
}

QToolButton* AddSpeedButton(QWidget* owner, const QString& name, const char* caption) {
    auto* button = new QToolButton(owner);
    button->setObjectName(name);
    button->setText(QString::fromLatin1(caption));
    button->setAutoRaise(true);
    button->hide();
    return button;
}

}  // namespace

TPreviewContent::TPreviewContent(const PreviewContentSpec& spec, TBaseSortedList& list, TPreviewImageLists& images,
                           QWidget* parent)
    : QWidget(parent),
      spec_(spec),
      list_(list),
      images_(images),
      model_(new TFoundFilesModel(spec.kind, list, images, this)) {
    setObjectName(Name(spec.prefix, "Content"));
    BuildLayout();
    BuildPopupMenu();
    ConnectHandlers();
    SetThumbnailButtons();
    SetSortGfx();
    ListViewClick();
}

void TPreviewContent::BuildLayout() {
    const char* prefix = spec_.prefix;
    QLabel* foundLabel =
        NamedLabel(this, Name(prefix, "Label1").toLatin1().constData(), QStringLiteral("Found files:"));

    views_ = new QStackedWidget(this);
    reportView_ = new TFoundFilesReportView(*model_, views_);
    reportView_->setObjectName(Name(prefix, "ListView"));
    thumbnailView_ = new TFoundFilesThumbnailView(*reportView_, views_);
    thumbnailView_->setObjectName(Name(prefix, "ListViewThumbnails"));
    views_->addWidget(reportView_);
    views_->addWidget(thumbnailView_);

    recoverButton_ = AddButton(this, Name(prefix, "RecoverButton"), "&Recover");
    previewButton_ = AddButton(this, Name(prefix, "PreviewButton"), "&Preview");
    informationButton_ = AddButton(this, Name(prefix, "InformationButton"), "&Information");
    thumbnailsButton_ = AddSpeedButton(this, Name(prefix, "ThumbnailsSpeedButton"), "Thumbnails");
    reportButton_ = AddSpeedButton(this, Name(prefix, "ReportSpeedButton"), "Report");
    auto* buttons = new QHBoxLayout;
    for (QWidget* button : std::initializer_list<QWidget*>{recoverButton_, previewButton_, informationButton_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    buttons->addWidget(thumbnailsButton_);
    buttons->addWidget(reportButton_);

    panel_ = new TPreviewPanel(QLatin1String(prefix), images_, this);
    QLabel* bottomLabel =
        NamedNote(this, Name(prefix, "Label2").toLatin1().constData(), QString::fromLatin1(spec_.bottomText));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(foundLabel);
    layout->addWidget(views_, 1);
    layout->addLayout(buttons);
    layout->addWidget(panel_);
    layout->addWidget(bottomLabel);
}

QAction* TPreviewContent::AddAction(QMenu* menu, const char* name, const char* caption, QKeyCombination shortcut) {
    auto* action = new QAction(QString::fromLatin1(caption), menu);
    action->setObjectName(QString::fromLatin1(name));
    if (shortcut.key() != Qt::Key(0)) {
        action->setShortcut(QKeySequence(shortcut));
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);  // the short cut works while the page has the focus
    }
    menu->addAction(action);
    return action;
}

void TPreviewContent::BuildPopupMenu() {
    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName(Name(spec_.prefix, "PopupMenu"));
    for (const PreviewMenuEntry& entry : spec_.menu) {
        if (entry.action == PreviewAction::Separator) {
            popupMenu_->addSeparator();
        } else if (entry.action == PreviewAction::SortBy) {
            sortByMenu_ = popupMenu_->addMenu(QString::fromLatin1(entry.caption));
            sortByMenu_->setObjectName(QString::fromLatin1(entry.name));
            actions_[entry.action] = sortByMenu_->menuAction();
        } else {
            actions_[entry.action] = AddAction(popupMenu_, entry.name, entry.caption, entry.shortcut);
        }
    }
    popupMenu_->setDefaultAction(Action(PreviewAction::Preview));
    for (const PreviewAction checkable :
         {PreviewAction::PreviewPanel, PreviewAction::ViewAsList, PreviewAction::ViewAsThumbnails}) {
        Action(checkable)->setCheckable(true);
    }
    for (const PreviewSortEntry& entry : spec_.sortBy) {
        sortByActions_.push_back(AddAction(sortByMenu_, entry.name, entry.caption));
        sortByActions_.back()->setCheckable(true);
    }
    sortByMenu_->addSeparator();
    sortOrderAZ_ = AddAction(sortByMenu_, spec_.sortOrderAZName, "Sort Order &A..Z");
    sortOrderZA_ = AddAction(sortByMenu_, spec_.sortOrderZAName, "Sort Order &Z..A");
    sortOrderAZ_->setCheckable(true);
    sortOrderZA_->setCheckable(true);
}

void TPreviewContent::ConnectHandlers() {
    const auto on = [this](PreviewAction action, void (TPreviewContent::*handler)()) {
        if (QAction* item = Action(action)) connect(item, &QAction::triggered, this, handler);
    };
    on(PreviewAction::Recover, &TPreviewContent::RecoverRequested);
    on(PreviewAction::Preview, &TPreviewContent::MiPreviewClick);
    on(PreviewAction::Information, &TPreviewContent::MiInformationClick);
    on(PreviewAction::PreviewPanel, &TPreviewContent::MiPreviewPanelClick);
    on(PreviewAction::ViewAsList, &TPreviewContent::MiViewAsListClick);
    on(PreviewAction::ViewAsThumbnails, &TPreviewContent::MiViewAsTrumbnailsClick);
    on(PreviewAction::SelectAll, &TPreviewContent::MiSelectAllClick);
    on(PreviewAction::InvertSelection, &TPreviewContent::MiInvertSelectionClick);
    for (std::size_t column = 0; column < sortByActions_.size(); ++column) {
        connect(sortByActions_[column], &QAction::triggered, this,
                [this, column] { MiSortByClick(static_cast<int>(column)); });
    }
    connect(sortOrderAZ_, &QAction::triggered, this, [this] { MiSortOrderClick(true); });
    connect(sortOrderZA_, &QAction::triggered, this, [this] { MiSortOrderClick(false); });

    connect(recoverButton_, &QPushButton::clicked, this, &TPreviewContent::RecoverRequested);
    connect(previewButton_, &QPushButton::clicked, this, &TPreviewContent::MiPreviewClick);
    connect(informationButton_, &QPushButton::clicked, this, &TPreviewContent::MiInformationClick);
    connect(thumbnailsButton_, &QToolButton::clicked, this, &TPreviewContent::MiViewAsTrumbnailsClick);
    connect(reportButton_, &QToolButton::clicked, this, &TPreviewContent::MiViewAsListClick);

    connect(&Selection(), &QItemSelectionModel::selectionChanged, this, &TPreviewContent::ListViewClick);
    connect(reportView_->horizontalHeader(), &QHeaderView::sectionClicked, this, &TPreviewContent::ListViewColumnClick);
    for (QAbstractItemView* view : std::initializer_list<QAbstractItemView*>{reportView_, thumbnailView_}) {
        view->installEventFilter(this);
        connect(view, &QAbstractItemView::clicked, this, &TPreviewContent::ListViewClick);
        connect(view, &QAbstractItemView::doubleClicked, this, &TPreviewContent::MiPreviewClick);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& position) {
            PopupMenuPopup();
            popupMenu_->popup(view->viewport()->mapToGlobal(position));
        });
    }
}

// A key that reaches the list was no short cut to the window: without a window manager a
// window that gets the keys need not be the active one, whose short cuts alone count.
// The list's own menu keys work all the same while it has the focus.
bool TPreviewContent::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == reportView_ || watched == thumbnailView_)) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const auto& [kind, action] : actions_) {
            if (!action->shortcut().isEmpty() && action->shortcut() == pressed && action->isEnabled()) {
                action->trigger();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

QItemSelectionModel& TPreviewContent::Selection() const { return *reportView_->selectionModel(); }

QAction* TPreviewContent::Action(PreviewAction action) const {
    const auto found = actions_.find(action);
    return found == actions_.end() ? nullptr : found->second;
}

std::vector<TBaseElement*> TPreviewContent::SelectedElements() const {
    std::vector<TBaseElement*> elements;
    ForEachSelected([&](TBaseElement& element) { elements.push_back(&element); });
    return elements;
}

std::int64_t TPreviewContent::SelectedCount() const { return RowCountOf(SelectedRowRanges(Selection().selection())); }

void TPreviewContent::ListViewClick() {
    const std::vector<RowRange> ranges = SelectedRowRanges(Selection().selection());
    const std::int64_t count = RowCountOf(ranges);
    previewButton_->setEnabled(count == 1);
    recoverButton_->setEnabled(count > 0);
    informationButton_->setEnabled(count == 1);
    // The short cuts follow the buttons; the popup sets them again when it opens.
    Action(PreviewAction::Preview)->setEnabled(count == 1);
    Action(PreviewAction::Recover)->setEnabled(count > 0);
    Action(PreviewAction::Information)->setEnabled(count == 1);
    if (count != 1 || panel_->isHidden()) return;
    if (TBaseElement* element = model_->ElementAt(ranges.front().first)) panel_->ShowElement(*element);
}

void TPreviewContent::PopupMenuPopup() {
    const std::int64_t count = SelectedCount();
    Action(PreviewAction::Preview)->setEnabled(previewButton_->isEnabled());
    Action(PreviewAction::Recover)->setEnabled(count > 0);
    Action(PreviewAction::Information)->setEnabled(count == 1);
    Action(PreviewAction::PreviewPanel)->setChecked(!panel_->isHidden());
    Action(PreviewAction::ViewAsList)->setChecked(!inThumbnailView_);
    Action(PreviewAction::ViewAsThumbnails)->setChecked(inThumbnailView_);
    for (std::size_t column = 0; column < sortByActions_.size(); ++column) {
        sortByActions_[column]->setChecked(static_cast<int>(column) == SortColumnSetting());
    }
    sortOrderAZ_->setChecked(SortOrderSetting());
    sortOrderZA_->setChecked(!SortOrderSetting());
}

void TPreviewContent::MiPreviewClick() {
    const std::vector<TBaseElement*> selected = SelectedElements();
    if (!selected.empty()) PreviewElement(*selected.front());
}

void TPreviewContent::OpenViewer(TBaseElement& element) {
    if (element.Record().Size == kUnknownSize) {
        promptService().ask({TranslateString(QStringLiteral("The size of this file is unknown, and its type gives "
                                                            "no default size, so it cannot be previewed. Recover "
                                                            "it to give it a size."),
                                             QStringLiteral("strPreviewUnknownSize")),
                             TranslateString(QStringLiteral("Information"), QStringLiteral("strInformation")),
                             PromptButtons::Ok, PromptIcon::Information, window()});
        return;
    }
    // The viewer hands its copy to the desktop's opener; a viewer of the user's own
    // (UNDELETE_VIEWER) may show it another way.
    if (qEnvironmentVariableIsEmpty("UNDELETE_VIEWER") && !shellService().hasOpener()) {
        ReportProgramNotStarted(kDesktopOpener);
        return;
    }
    engine().FileOpenViewer(element.EngineRecord());
}

void TPreviewContent::MiInformationClick() {
    const std::vector<TBaseElement*> selected = SelectedElements();
    if (!selected.empty()) ShowFileProperties(*selected.front(), window());
}

int& TPreviewContent::SortColumnSetting() const { return Settings().*spec_.sortColumn; }

bool& TPreviewContent::SortOrderSetting() const { return Settings().*spec_.sortOrderAZ; }

bool TPreviewContent::HasColumn(int column) const { return IsFoundListColumn(spec_.kind, column); }

void TPreviewContent::ListViewColumnClick(int column) {
    if (HasColumn(sortGfxColumn_)) model_->SetHeaderImage(sortGfxColumn_, -1);
    bool& ascending = SortOrderSetting();
    ascending = !ascending;
    SortColumnSetting() = column;
    if (column != sortGfxColumn_) ascending = true;
    if (HasColumn(column)) {
        model_->SetHeaderImage(column,
                               ascending ? TPreviewImageLists::kAscendingMark : TPreviewImageLists::kDescendingMark);
    }
    sortGfxColumn_ = column;
    ChangeSortOrder(SortCodeOfColumn(spec_.kind, column), ascending);
    reportView_->viewport()->update();
}

void TPreviewContent::MiSortByClick(int column) {
    SortColumnSetting() = column;
    ChangeSortOrder(SortCodeOfColumn(spec_.kind, column), SortOrderSetting());
    SetSortGfx();
}

void TPreviewContent::MiSortOrderClick(bool ascending) {
    SortOrderSetting() = ascending;
    ChangeSortOrderAZ(ascending);
    SetSortGfx();
}

void TPreviewContent::SetSortGfx() {
    if (HasColumn(sortGfxColumn_)) model_->SetHeaderImage(sortGfxColumn_, -1);
    const int column = SortColumnSetting();
    if (HasColumn(column)) {
        model_->SetHeaderImage(
            column, SortOrderSetting() ? TPreviewImageLists::kAscendingMark : TPreviewImageLists::kDescendingMark);
    }
    sortGfxColumn_ = column;
    reportView_->viewport()->update();
}

void TPreviewContent::ChangeSortOrder(std::uint8_t sortCode, bool ascending) {
    const WaitScope wait(window(), SortingText());
    list_.SetSort(sortCode, ascending);
}

void TPreviewContent::ChangeSortOrderAZ(bool ascending) {
    const WaitScope wait(window(), SortingText());
    list_.SetAscending(ascending);
}

void TPreviewContent::MiSelectAllClick() {
    const WaitScope wait(window());
    reportView_->selectAll();
}

void TPreviewContent::MiInvertSelectionClick() {
    const std::vector<RowRange> inverse =
        ComplementRanges(SelectedRowRanges(Selection().selection()), model_->rowCount());
    // Cleared first: the selection model compares a replaced selection with the old one
    // range by range, which takes the square of their counts (as the Rows flag would:
    // the ranges span their rows already).
    Selection().clearSelection();
    Selection().select(SelectionOfRows(*model_, inverse), QItemSelectionModel::Select);
}

void TPreviewContent::MiPreviewPanelClick() {
    panel_->setVisible(panel_->isHidden());
    // Opened, it shows the file that is selected, not what it showed before.
    if (!panel_->isHidden()) ListViewClick();
}

void TPreviewContent::MiViewAsListClick() {
    inThumbnailView_ = false;
    views_->setCurrentWidget(reportView_);
    SetThumbnailButtons();
}

void TPreviewContent::MiViewAsTrumbnailsClick() {
    if (BusyScope::held()) return;  // no worker starts inside a wait
    inThumbnailView_ = true;
    views_->setCurrentWidget(thumbnailView_);
    thumbnailView_->viewport()->update();
    StopThumbnails();
    thumbnailsButton_->setEnabled(false);
    reportButton_->setEnabled(false);
    sortByMenu_->menuAction()->setEnabled(false);
    const std::uint64_t run = ++thumbnailRun_;
    StartThumbnails(ElementsWithoutThumbnail(list_), model_->Generation(), [this, run](TThumbnailsThread& worker) {
        connect(&worker, &TThumbnailsThread::ThumbnailMade, model_, &TFoundFilesModel::ApplyThumbnail);
        connect(&worker, &QThread::finished, this, [this, run] {
            if (run == thumbnailRun_) ThumbnailsDone();
        });
    });
}

void TPreviewContent::ThumbnailsDone() {
    SetThumbnailButtons();
    sortByMenu_->menuAction()->setEnabled(true);
}

// "Thumbnails" leads to the thumbnail view and "Report" back: each is enabled where it
// leads elsewhere.
void TPreviewContent::SetThumbnailButtons() {
    thumbnailsButton_->setEnabled(!inThumbnailView_);
    reportButton_->setEnabled(inThumbnailView_);
}

void TPreviewContent::TabSheetShow() {
    // The sector scan searches the file-system list by position, which leaves it in
    // that order: the sort mark would lie.
    const std::uint8_t sortCode = SortCodeOfColumn(spec_.kind, SortColumnSetting());
    if (!list_.InOrder(sortCode, SortOrderSetting())) ChangeSortOrder(sortCode, SortOrderSetting());
    model_->SyncRowCount();
    ListViewClick();
    if (inThumbnailView_) MiViewAsTrumbnailsClick();
}
