// The drive page: the list from the engine's rescan, the selection, device arrival.
#include <QApplication>
#include <QFileIconProvider>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "platform/handles.h"
#include "wizard/bridge/device_monitor.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/bridge/pumping_wait.h"
#include "wizard/forms/drive_properties_form.h"
#include "wizard/forms/main/main_form.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/forms/splash_form.h"
#include "wizard/scans/scan_pages.h"
#include "wizard/services/prompt_service.h"
#include "wizard/translation/translation.h"

namespace {

void Warn(QWidget* owner, const QString& text) {
    promptService().ask({text, TranslateString(QStringLiteral("Warning"), QStringLiteral("strWarning")),
                         PromptButtons::Ok, PromptIcon::Warning, owner});
}

// The wait cursor and a list that does not repaint half-filled, undone on every way out.
class ListRebuild {
public:
    explicit ListRebuild(QWidget* list) : list_(list) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        list_->setUpdatesEnabled(false);
    }
    ~ListRebuild() {
        list_->setUpdatesEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    ListRebuild(const ListRebuild&) = delete;
    ListRebuild& operator=(const ListRebuild&) = delete;

private:
    QWidget* list_;
};

}  // namespace

bool TMainForm::ReloadWaits() const { return Busy() || OpenRecoveryWindow(); }

void TMainForm::LoadDrivesList() {
    // A rescan never runs inside a scan, a recovery (until its window closes) or another
    // rescan: once they end.
    if (ReloadWaits()) {
        reloadPending_ = true;
        return;
    }
    QTreeWidget* list = drives_.DriveSelectListViewDrives;
    const std::shared_ptr<const TRecoveryDrive> chosen = SelectedDrive;
    bool lost = false;
    {
        const ListRebuild rebuild(list);
        const QSignalBlocker noSelectionEvents(list);
        list->clear();
        listedDrives_.clear();
        if (const HANDLE rescan = engine().DrivesRescan(splash_ ? splash_->DriveFoundWindow() : 0)) {
            pumpingWait(rescan);
            CloseHandle(rescan);
        }
        if (splash_) {
            splash_->TakeQueuedReports();
            splash_->StartCloseTimer();
        }
        FillDriveList();
        lost = chosen && !RestoreSelection(IdentityOf(chosen->Info()));
    }
    if (lost) {
        // Its old index may now open another drive: nothing may use it any more.
        SelectedDrive = nullptr;
        if (ActivePage() > kDriveSelectPage) {
            ReturnForLostDrive(*chosen);
            return;
        }
    }
    if (ActivePage() == kDriveSelectPage) {
        DriveSelectListViewDrivesClick();
    } else {
        CheckState();
    }
}

void TMainForm::FillDriveList() {
    QTreeWidget* list = drives_.DriveSelectListViewDrives;
    const QIcon driveIcon = QFileIconProvider().icon(QFileIconProvider::Drive);
    const int count = engine().DriveGetCount();
    for (int index = 0; index < count; ++index) {
        const _LDRIVE* record = engine().DriveGetInformation(index);
        if (!record || !IsListedDrive(*record)) continue;
        // The engine's record may change with the next call: copy it at once.
        auto drive = std::make_shared<const TRecoveryDrive>(*record);
        const DriveItemTexts texts = DriveItemTextsOf(drive->Info());
        auto* item = new QTreeWidgetItem(
            list, {texts.caption, texts.type, texts.totalSpace, texts.serial, texts.status});
        item->setTextAlignment(kDriveColumnTotalSpace, Qt::AlignRight | Qt::AlignVCenter);
        item->setIcon(kDriveColumnDrive, driveIcon);
        listedDrives_.push_back(std::move(drive));
    }
}

bool TMainForm::RestoreSelection(const DriveIdentity& selected) {
    for (std::size_t row = 0; row < listedDrives_.size(); ++row) {
        if (IdentityOf(listedDrives_[row]->Info()) != selected) continue;
        // The same drive: its fresh record (its index may have moved), nothing reset.
        SelectedDrive = listedDrives_[row];
        QTreeWidget* list = drives_.DriveSelectListViewDrives;
        list->setCurrentItem(list->topLevelItem(static_cast<int>(row)));
        return true;
    }
    return false;
}

void TMainForm::ReturnForLostDrive(const TRecoveryDrive& lost) {
    TurnAutoPilotOff();
    // Showing the drive page takes its (empty) selection and sets the page up.
    SetActivePage(kDriveSelectPage);
    Warn(this, TranslateFormat(QStringLiteral("strSelectedDriveGone"),
                               QStringLiteral("Drive %s is no longer in the drive list. Please select a "
                                              "drive again."),
                               QString::fromStdString(lost.DisplayName())));
}

bool TMainForm::ChosenDriveInPlace() {
    if (!SelectedDrive) return false;
    if (EngineListsDriveAt(SelectedDrive->DriveNumber(), SelectedDrive->Info())) return true;
    Warn(this, DriveMovedText(*SelectedDrive));
    return false;
}

void TMainForm::DriveSelectListViewDrivesClick() {
    QTreeWidget* list = drives_.DriveSelectListViewDrives;
    const QList<QTreeWidgetItem*> items = list->selectedItems();
    const int row = items.isEmpty() ? -1 : list->indexOfTopLevelItem(items.first());
    SelectedDrive = row >= 0 && static_cast<std::size_t>(row) < listedDrives_.size()
                        ? listedDrives_[static_cast<std::size_t>(row)]
                        : nullptr;
    // The found files belong to a drive: only another drive starts afresh.
    if (SelectedDrive && IdentityOf(SelectedDrive->Info()) != workDrive_) {
        workDrive_ = IdentityOf(SelectedDrive->Info());
        DriveSelectDriveChanged();
    }
    CheckState();
}

void TMainForm::DriveSelectTabSheetShow() { DriveSelectListViewDrivesClick(); }

void TMainForm::DriveSelectDriveChanged() {
    if (!SelectedDrive) return;
    // The thumbnail worker reads the elements about to be freed.
    StopThumbnails();
    for (WorkHalf half : {WorkHalf::FileSystem, WorkHalf::DriveSectors}) {
        StateOf(half).Clear();
        PreviewPageOf(half)->Reset();
        ScanPageOf(half)->Reset(QString::fromStdString(SelectedDrive->DisplayName()));
    }
    if (FileSystemList) FileSystemList->Clear();
    if (DriveSectorsList) DriveSectorsList->Clear();
}

void TMainForm::DriveSelectPopupMiPropertiesClick() {
    if (ChosenDriveInPlace()) ShowDriveProperties(SelectedDrive->DriveNumber(), this);
}

void TMainForm::DriveSelectPopupMiRescanClick() { LoadDrivesList(); }

void TMainForm::WMDeviceChange(unsigned event) {
    if (event != kDeviceArrival && event != kDeviceRemoveComplete) return;
    // Started only when idle: a burst of events gives one reload after the first.
    if (!DeviceArrivalTimer.isActive()) DeviceArrivalTimer.start();
}

void TMainForm::DeviceArrivalTimerTimer() {
    DeviceArrivalTimer.stop();
    LoadDrivesList();
}
