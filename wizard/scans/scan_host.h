#pragma once
// What the two scans take from the main window that hosts them: the selected drive, the
// two found-file lists, the flags and counters of each half, and the calls into the page
// driver and the thumbnail worker.

#include <memory>

#include "wizard/model/found_files/base_sorted_list.h"
#include "wizard/model/recovery_drive.h"
#include "wizard/scans/work_half.h"

class QWidget;

class ScanHost {
public:
    // None while no drive is selected.
    virtual std::shared_ptr<const TRecoveryDrive> SelectedDrive() const = 0;
    virtual TBaseSortedList& FileSystemList() = 0;
    virtual TBaseSortedList& DriveSectorsList() = 0;
    virtual TWorkHalfState& FileSystemHalf() = 0;
    virtual TWorkHalfState& DriveSectorsHalf() = 0;
    // The recovery's answer to an existing target file, reset when a scan starts.
    virtual void SetFileExistsAnswer(int answer) = 0;

    // Sets up the active page.
    virtual void CheckState() = 0;
    // Asks the page driver to move the wizard to the next page once the running handler
    // has returned (the auto-pilot's step after a scan).
    virtual void RequestAdvance() = 0;
    // A Stop ends the auto-pilot: its setting and its box on the auto-pilot page, so that
    // walking back over that page does not turn it on again.
    virtual void TurnAutoPilotOff() = 0;
    // Stops the thumbnail workers; they read elements of the lists and the engine's drive.
    // A scan calls it before it takes the busy gate, and again inside it, where no worker
    // can have started since.
    virtual void StopThumbnails() = 0;
    virtual void ShowAbout() = 0;
    // The owner of the scans' message boxes.
    virtual QWidget* PromptOwner() = 0;

protected:
    ~ScanHost() = default;
};
