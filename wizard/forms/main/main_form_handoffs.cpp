// Where the main window hands over to parts of the wizard built on their own: the scans,
// the recovery and the thumbnails. Until a part is in place its call point does the least
// that keeps the wizard going.
#include "wizard/engine_settings_record.h"
#include "wizard/forms/main/main_form.h"
#include "wizard/forms/thumbnails_thread.h"
#include "wizard/settings/settings_values.h"

namespace {

// A scan that finds nothing, with the flags and calls of a real one.
void RunEmptyScan(TMainForm& form, TWorkHalfState& state) {
    state.StopRequested = false;
    state.ScanRunning = true;
    form.CheckState();
    state.ScanRunning = false;
    state.ScanDone = true;
    form.CheckState();
    if (Settings().RecoveryAutoPilot && !state.StopRequested) form.RequestAdvance();
}

}  // namespace

void TMainForm::StartScanFileSystem() { RunEmptyScan(*this, FileSystem); }

void TMainForm::StartScanDriveSectors() { RunEmptyScan(*this, DriveSectors); }

bool TMainForm::DoRealRecovery(WorkHalf) { return false; }

void TMainForm::StopScanForClose(WorkHalf half) {
    // Unlike the scan's Stop, the auto-pilot setting stays as the user chose it.
    StateOf(half).StopRequested = true;
    StopEngineRun();
}

void TMainForm::StopThumbnails() { ::StopThumbnails(); }
