// Page set-up, Next and Back with their checks, the auto-pilot, the finish page.
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDateTimeEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QTreeView>
#include <QTreeWidget>

#include "wizard/bridge/busy_gate.h"
#include "wizard/bridge/handler_guard.h"
#include "wizard/forms/folder_browser/browse_folder.h"
#include "wizard/forms/main/main_form.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/forms/main/pages/types_page.h"
#include "wizard/forms/main/pages_disabled.h"
#include "wizard/forms/tree/qarn_tree_view.h"
#include "wizard/forms/types/types_panel.h"
#include "wizard/forms/wait_form.h"
#include "wizard/forms/widgets/form_widgets.h"
#include "wizard/scans/scan_pages.h"
#include "wizard/services/prompt_service.h"
#include "wizard/settings/settings_values.h"
#include "wizard/translation/translation.h"
#include "wizard/utilities/execute_program.h"
#include "wizard/utilities/maker_info.h"
#include "wizard/utilities/same_drive.h"
#include "wizard/utilities/target_folder.h"
#include "wizard/utilities/text/date_time.h"
#include "wizard/utilities/utility_messages.h"

namespace {

// Runs `finish` when the scope ends, also by an exception.
template <class Finish>
class ScopeExit {
public:
    explicit ScopeExit(Finish finish) : finish_(std::move(finish)) {}
    ~ScopeExit() { finish_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Finish finish_;
};

TDateTime PickedDate(const QDateTimeEdit* picker) {
    const QDateTime picked = picker->dateTime();
    return EncodeDateTime(picked.date(), picked.time());
}

// A click opens the menu at the mouse pointer, which is on the button; a key (Alt+M,
// Return, Space) opens it under the button, or above it where the screen ends below.
QPoint MenuPlace(const QWidget& button, const QMenu& menu) {
    const QPoint pointer = QCursor::pos();
    if (button.rect().contains(button.mapFromGlobal(pointer))) return pointer;
    const int height = menu.sizeHint().height();
    const QPoint below = button.mapToGlobal(QPoint(0, button.height()));
    const QScreen* screen = button.screen();
    if (screen && below.y() + height > screen->availableGeometry().bottom() + 1) {
        return button.mapToGlobal(QPoint(0, -height));
    }
    return below;
}

int Warn(QWidget* owner, const QString& text, PromptButtons buttons) {
    return promptService().ask({text, TranslateString(QStringLiteral("Warning"), QStringLiteral("strWarning")),
                                buttons, PromptIcon::Warning, owner});
}

}  // namespace

int TMainForm::ActivePage() const { return PageControlMain->currentIndex(); }

void TMainForm::SetActivePage(int page) { PageControlMain->setCurrentIndex(page); }

bool TMainForm::Busy() const {
    return FileSystem.Busy() || DriveSectors.Busy() || recoveryRunning_ || BusyScope::held();
}

TWorkHalfState& TMainForm::StateOf(WorkHalf half) {
    return half == WorkHalf::FileSystem ? FileSystem : DriveSectors;
}

TBaseSortedList& TMainForm::ListOf(WorkHalf half) {
    return half == WorkHalf::FileSystem ? *FileSystemList : *DriveSectorsList;
}

TScanPageBase* TMainForm::ScanPageOf(WorkHalf half) const {
    if (half == WorkHalf::FileSystem) return ScanFileSystemPage;
    return ScanDriveSectorsPage;
}

TPreviewPage* TMainForm::PreviewPageOf(WorkHalf half) const {
    return half == WorkHalf::FileSystem ? PreviewFileSystemPage : PreviewDriveSectorsPage;
}

void TMainForm::CheckState() {
    ++checkStateDepth_;
    const ScopeExit leave([this] { --checkStateDepth_; });
    UpdatePageControls();
    // Called from inside the driver (a scan starting or ending): the driver goes on.
    if (checkStateDepth_ > 1) return;
    do {
        RunPageActions();
        UpdatePageControls();
    } while (TakeAdvance());
    AfterStateChange();
}

void TMainForm::RequestAdvance() { advanceFrom_ = ActivePage(); }

bool TMainForm::TakeAdvance() {
    const int from = std::exchange(advanceFrom_, -1);
    if (from < 0 || from != ActivePage() || from == kFinishPage) return false;
    SetActivePage(from + 1);
    UpdatePageControls();
    return true;
}

void TMainForm::RunPageActions() {
    // Nothing starts inside another long action; its end runs CheckState again.
    if (Busy()) return;
    switch (ActivePage()) {
    case kScanFileSystemPage:
    case kScanDriveSectorsPage: {
        const WorkHalf half =
            ActivePage() == kScanFileSystemPage ? WorkHalf::FileSystem : WorkHalf::DriveSectors;
        const TWorkHalfState& state = StateOf(half);
        if (!state.ScanDone && !state.ScanRunning) StartScan(half);
        break;
    }
    case kPreviewFileSystemPage:
        AutoPilotStep(WorkHalf::FileSystem);
        break;
    case kPreviewDriveSectorsPage:
        AutoPilotStep(WorkHalf::DriveSectors);
        break;
    default:
        break;
    }
}

void TMainForm::AfterStateChange() {
    if (Busy()) return;
    if (closePending_) {
        QTimer::singleShot(0, this, [this] { close(); });
    } else if (!ReloadWaits() && std::exchange(reloadPending_, false)) {
        QTimer::singleShot(0, this, [this] { RunGuarded([this] { LoadDrivesList(); }); });
    }
}

void TMainForm::UpdatePageControls() {
    UpdateTypesFilters();
    bool back = true;
    bool next = true;
    bool close = true;
    switch (ActivePage()) {
    case kWelcomePage:
        back = false;
        break;
    case kDriveSelectPage:
        next = SelectedDrive != nullptr;
        break;
    case kAutopilotPage:
        autopilot_.AutopilotCheckBox->setEnabled(true);
        break;
    case kScanFileSystemPage:
    case kScanDriveSectorsPage: {
        ScanDriveSectorsPage->ShowFreeSectors(!Settings().RecoverySearchExisting);
        const WorkHalf half =
            ActivePage() == kScanFileSystemPage ? WorkHalf::FileSystem : WorkHalf::DriveSectors;
        const TWorkHalfState& state = StateOf(half);
        ScanPageOf(half)->ShowRunning(state.ScanRunning, state.StopRequested);
        back = close = !state.ScanRunning;
        next = !state.ScanRunning && state.ScanDone;
        break;
    }
    case kFinishPage: {
        const std::size_t found = FileSystemList->Count() + DriveSectorsList->Count();
        const int recovered = FileSystem.Recovered() + DriveSectors.Recovered();
        finish_.FinishFoundFilesLabel->setText(QString::number(found));
        finish_.FinishRecoveredFilesLabel->setText(QString::number(recovered));
        finish_.FinishExploreButton->setEnabled(recovered > 0);
        next = false;
        break;
    }
    default:
        break;
    }
    BottomButtonBack->setEnabled(back);
    BottomButtonNext->setEnabled(next);
    BottomButtonClose->setEnabled(close);
}

void TMainForm::UpdateTypesFilters() {
    const TTypesSheet& t = *types_;
    t.TypesPanel->filenameEdit()->setEnabled(t.TypesPanel->filenameCheckBox()->isChecked());
    const bool created = t.TypesCreatedBetweenCheckBox->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(t.TypesCreatedStartDateTimePicker),
                             static_cast<QWidget*>(t.TypesCreatedEndDateTimePicker),
                             static_cast<QWidget*>(t.TypesCreatedLabel)}) {
        control->setEnabled(created);
    }
    const bool age = t.TypesAgeCheckBox->isChecked();
    t.TypesAgeEditUpDown->setEnabled(age);
    t.TypesAgeComboBox->setEnabled(age);
    const bool size = t.TypesSizeCheckBox->isChecked();
    t.TypesSizeSignComboBox->setEnabled(size);
    t.TypesSizeValueEditUpDown->setEnabled(size);
    t.TypesSizeUnitComboBox->setEnabled(size);
}

void TMainForm::StartScan(WorkHalf half) {
    if (half == WorkHalf::FileSystem) {
        StartScanFileSystem();
    } else {
        StartScanDriveSectors();
    }
}

void TMainForm::PreviewMiRecoverClick(WorkHalf half) {
    StateOf(half).RecoverPressed = true;
    // No wait window over the pages: the recovery's own dialogs are the window's children.
    const PagesDisabled disabled(*this);
    DoRealRecovery(half);
}

void TMainForm::AutoPilotStep(WorkHalf half) {
    SettingsValues& settings = Settings();
    TWorkHalfState& state = StateOf(half);
    if (!settings.RecoveryAutoPilot || state.AutoRecoveryDone || state.AutoRecoveryRunning) return;
    state.AutoRecoveryRunning = true;
    {
        const PagesDisabled disabled(*this);
        const ScopeExit finish([&] {
            state.AutoRecoveryRunning = false;
            state.AutoRecoveryDone = true;
        });
        {
            const WaitScope wait(this);
            PreviewPageOf(half)->SelectAll();
        }
        const bool completed = DoRealRecovery(half);
        state.StopRequested = !completed;
        if (!completed) TurnAutoPilotOff();
    }
    if (settings.RecoveryAutoPilot && !state.StopRequested) RequestAdvance();
}

void TMainForm::TurnAutoPilotOff() {
    Settings().RecoveryAutoPilot = false;
    autopilot_.AutopilotCheckBox->setChecked(false);
}

void TMainForm::BottomButtonNextClick() {
    if (OpenRecoveryWindow()) return;
    if (Busy()) {
        CheckState();
        return;
    }
    const int page = ActivePage();
    // The list's double click and its menu's Select come here with Next disabled too.
    if (page == kDriveSelectPage && !SelectedDrive) return;
    if (!LeavePage(page)) return;
    if (page < kFinishPage) SetActivePage(page + 1);
    CheckState();
}

void TMainForm::BottomButtonBackClick() {
    if (OpenRecoveryWindow()) return;
    if (!Busy() && ActivePage() > kWelcomePage) SetActivePage(ActivePage() - 1);
    CheckState();
}

bool TMainForm::LeavePage(int page) {
    switch (page) {
    case kTypesPage:
        if (!TypesPageAllowsLeaving()) return false;
        StoreTypesPage();
        return true;
    case kModePage:
        Settings().RecoverySearchExisting = mode_.ModeCorruptedRadioButton->isChecked();
        return true;
    case kAutopilotPage:
        if (!AutopilotPageAllowsLeaving()) return false;
        // The target folder is stored as it is typed, by the edit's change handler.
        Settings().RecoveryAutoPilot = autopilot_.AutopilotCheckBox->isChecked();
        Settings().RecoveryKeepFolderStructure =
            autopilot_.AutopilotKeepFolderStructureCheckBox->isChecked();
        return true;
    case kPreviewFileSystemPage:
        return PreviewPageAllowsLeaving(WorkHalf::FileSystem);
    case kPreviewDriveSectorsPage:
        return PreviewPageAllowsLeaving(WorkHalf::DriveSectors);
    default:
        return true;
    }
}

bool TMainForm::TypesPageAllowsLeaving() {
    const TTypesPanel& panel = *types_->TypesPanel;
    const bool nameFilter = panel.filenameCheckBox()->isChecked() && !panel.filenameEdit()->text().isEmpty();
    if (nameFilter || (DataStorage && !DataStorage->NoFormatSelected())) return true;
    promptService().ask(
        {TranslateString(QStringLiteral("No file type is selected, please select at least one file "
                                        "type for recovery."),
                         QStringLiteral("strMainTypesNoSelection")),
         TranslateString(QStringLiteral("Information"), QStringLiteral("strInformation")),
         PromptButtons::Ok, PromptIcon::Information});
    return false;
}

bool TMainForm::AutopilotPageAllowsLeaving() {
    // Without the auto-pilot the folder only fills the destination dialog, which checks it.
    if (autopilot_.AutopilotCheckBox->isChecked() && !AcceptsTargetFolder(*autopilot_.AutopilotFolderEdit)) {
        return false;
    }
    if (!SelectedDrive) return true;
    const QByteArray target = QFile::encodeName(Settings().RecoveryTargetFolder);
    if (!TargetOnSource(SourceOf(SelectedDrive->Info()), target.toStdString())) return true;
    Warn(this, SameDriveRefusal(), PromptButtons::Ok);
    return false;
}

bool TMainForm::PreviewPageAllowsLeaving(WorkHalf half) {
    // Files the auto-pilot recovered from this list count as restored: the question would
    // tell the user otherwise.
    const TWorkHalfState& state = StateOf(half);
    const bool autoRecovered = state.AutoRecoveryDone && state.Recovered() > 0;
    if (ListOf(half).Count() == 0 || state.RecoverPressed || autoRecovered) return true;
    const QString text =
        half == WorkHalf::FileSystem
            ? TranslateString(
                  QStringLiteral("You haven't restored any of the files. Please make sure that you "
                                 "have marked all required files and pressed the \"Recover\" button "
                                 "in the current dialogue before you move on to the next step of "
                                 "the recovery process. Do you want to move on to the next step?"),
                  QStringLiteral("strNoFilesRestored1"))
            : TranslateString(
                  QStringLiteral("You haven't restored any of the files. Please make sure that you "
                                 "have marked all required files and pressed the \"Recover\" button "
                                 "in the current dialogue. Do you want to move on to the next step?"),
                  QStringLiteral("strNoFilesRestored2"));
    return Warn(this, text, PromptButtons::YesNo) != kPromptNo;
}

void TMainForm::StoreTypesPage() {
    SettingsValues& settings = Settings();
    const TTypesSheet& t = *types_;
    settings.RecoveryFilesNameUse = t.TypesPanel->filenameCheckBox()->isChecked();
    settings.RecoveryFilesName = t.TypesPanel->filenameEdit()->text();
    settings.RecoveryFilesCreatedDateUse = t.TypesCreatedBetweenCheckBox->isChecked();
    settings.RecoveryFilesCreatedDateFrom = PickedDate(t.TypesCreatedStartDateTimePicker);
    settings.RecoveryFilesCreatedDateTo = PickedDate(t.TypesCreatedEndDateTimePicker);
    settings.RecoveryFilesAgeUse = t.TypesAgeCheckBox->isChecked();
    settings.RecoveryFilesAgeCount = t.TypesAgeEditUpDown->value();
    settings.RecoveryFilesAgeType = t.TypesAgeComboBox->currentIndex();
    settings.RecoveryFilesSizeUse = t.TypesSizeCheckBox->isChecked();
    settings.RecoveryFilesSizeSign = t.TypesSizeSignComboBox->currentIndex();
    settings.RecoveryFilesSizeCount = t.TypesSizeValueEditUpDown->value();
    settings.RecoveryFilesSizeType = t.TypesSizeUnitComboBox->currentIndex();
}

void TMainForm::PageShown(int page) {
    if (page == kDriveSelectPage) DriveSelectTabSheetShow();
    if (page == kPreviewFileSystemPage || page == kPreviewDriveSectorsPage) {
        PreviewPageOf(page == kPreviewFileSystemPage ? WorkHalf::FileSystem : WorkHalf::DriveSectors)
            ->TabSheetShow();
    }
    if (QWidget* control = MainControlOf(page)) control->setFocus(Qt::OtherFocusReason);
}

QWidget* TMainForm::MainControlOf(int page) const {
    switch (page) {
    case kWelcomePage:
        return BottomButtonNext;
    case kDriveSelectPage:
        return drives_.DriveSelectListViewDrives;
    case kTypesPage:
        return types_->TypesPanel->treeView();
    case kModePage:
        return mode_.ModeCorruptedRadioButton->isChecked() ? mode_.ModeCorruptedRadioButton
                                                           : mode_.ModeDeletedRadioButton;
    case kAutopilotPage:
        return autopilot_.AutopilotCheckBox;
    case kScanFileSystemPage:
    case kScanDriveSectorsPage:
        return ScanPageOf(page == kScanFileSystemPage ? WorkHalf::FileSystem : WorkHalf::DriveSectors)
            ->MainControl();
    case kPreviewFileSystemPage:
    case kPreviewDriveSectorsPage:
        return PreviewPageOf(page == kPreviewFileSystemPage ? WorkHalf::FileSystem
                                                            : WorkHalf::DriveSectors)
            ->ListView;
    case kFinishPage:
        return FileSystem.Recovered() + DriveSectors.Recovered() > 0 ? finish_.FinishExploreButton
                                                                 : finish_.FinishNewButton;
    default:
        return nullptr;
    }
}

void TMainForm::BottomButtonCloseClick() { close(); }

void TMainForm::BottomButtonHelpClick() { PostHelpKey(this); }

void TMainForm::BottomButtonMenuClick() {
    // The menu's dialogs give the focus back where it was before the Menu, so that Return
    // means Next again and does not open the menu once more.
    QWidget* before = focusWidget();
    focusBeforeMenu_ = before && before != BottomButtonMenu ? before : MainControlOf(ActivePage());
    MainMenu->popup(MenuPlace(*BottomButtonMenu, *MainMenu));
}

void TMainForm::RestoreFocusAfterMenu() {
    if (focusBeforeMenu_ && focusBeforeMenu_->isEnabled()) focusBeforeMenu_->setFocus(Qt::OtherFocusReason);
    focusBeforeMenu_ = nullptr;
}

void TMainForm::AutopilotFolderEditChange(const QString& text) {
    Settings().RecoveryTargetFolder = WithTargetDelimiter(text);
}

void TMainForm::AutopilotFolderBrowseClick() {
    const QString text = autopilot_.AutopilotFolderEdit->text();
    if (const std::optional<QString> folder = BrowseForFolder(this, text)) {
        autopilot_.AutopilotFolderEdit->setText(*folder);
    }
}

void TMainForm::FinishExploreButtonClick() {
    ExecuteProgram(QStringLiteral("explorer.exe"), Settings().RecoveryTargetFolder);
}

void TMainForm::FinishFeedbackButtonClick() { ExecuteProgram(kMakerFeedbackPage, QString()); }

void TMainForm::FinishNewButtonClick() {
    if (OpenRecoveryWindow()) return;
    // Showing the drive page takes its selection again and sets the page up.
    SetActivePage(kDriveSelectPage);
}
