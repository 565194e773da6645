// Where the main window hands over to the scans, the recovery and the thumbnail worker.
#include <QDialog>
#include <QScopedValueRollback>

#include "wizard/forms/main/main_form.h"
#include "wizard/forms/main/main_form_hosts.h"
#include "wizard/forms/preview/thumbnails_thread.h"
#include "wizard/recovery/recovery_flow.h"
#include "wizard/scans/engine_params.h"
#include "wizard/scans/scan_controller.h"

void TMainForm::CreateWorkers() {
    scanHost_ = std::make_unique<MainFormScanHost>(*this);
    scans_ = std::make_unique<ScanController>(*scanHost_, *ScanFileSystemPage, *ScanDriveSectorsPage,
                                              *engineWindow_);
    recoveryHost_ = std::make_unique<MainFormRecoveryHost>(*this, *scans_);
    recovery_ = std::make_unique<RecoveryFlow>(*recoveryHost_);
}

void TMainForm::StartScanFileSystem() { scans_->ScanFileSystemButtonStartClick(); }

void TMainForm::StartScanDriveSectors() { scans_->ScanDriveSectorsButtonStartClick(); }

bool TMainForm::DoRealRecovery(WorkHalf half) {
    // The engine copies from the drive it has open, which the scans chose by this index.
    if (!ChosenDriveInPlace()) return false;
    bool completed = false;
    {
        // From its destination dialog on: a reload could take the run's drive away.
        const QScopedValueRollback running(recoveryRunning_, true);
        completed = recovery_->DoRealRecovery(half == WorkHalf::FileSystem);
    }
    // A reload held back goes on once the run's window has closed.
    if (QDialog* progress = OpenRecoveryWindow()) {
        connect(progress, &QDialog::finished, this, [this] { AfterStateChange(); }, Qt::SingleShotConnection);
    } else {
        AfterStateChange();
    }
    return completed;
}

QDialog* TMainForm::OpenRecoveryWindow() const {
    QDialog* progress = recovery_->ProgressWindow();
    return progress && progress->isVisible() ? progress : nullptr;
}

void TMainForm::StopScanForClose(WorkHalf half) {
    // Unlike the scan's Stop, the auto-pilot setting stays as the user chose it.
    StateOf(half).StopRequested = true;
    ScanPageOf(half)->ShowRunning(true, true);
    StopEngineSearch(RunEngineSettings());
}

void TMainForm::StopThumbnails() { ::StopThumbnails(); }
