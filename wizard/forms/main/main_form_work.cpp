// Where the main window hands over to the scans, the recovery and the thumbnail worker.
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
    return recovery_->DoRealRecovery(half == WorkHalf::FileSystem);
}

QWidget* TMainForm::OpenRecoveryWindow() const {
    QWidget* progress = recovery_->ProgressWindow();
    return progress && progress->isVisible() ? progress : nullptr;
}

void TMainForm::StopScanForClose(WorkHalf half) {
    // Unlike the scan's Stop, the auto-pilot setting stays as the user chose it.
    StateOf(half).StopRequested = true;
    ScanPageOf(half)->ShowRunning(true, true);
    StopEngineSearch(RunEngineSettings());
}

void TMainForm::StopThumbnails() { ::StopThumbnails(); }
