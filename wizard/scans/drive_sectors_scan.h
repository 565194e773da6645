#pragma once
// The sector scan: the engine reads the selected drive on its own threads and reports
// every unit that matches a known file type. Each hit becomes an element of the host's
// sector list unless the file-system list already holds a file at its position or its
// type is not searched; afterwards every hit of unknown size gets one.
//
// The scan waits for the engine's thread on the GUI thread, handling events, and the
// engine's hits and progress reach FileFound and SearchProgress from there.

#include <memory>
#include <vector>

#include "wizard/bridge/busy_gate.h"
#include "wizard/scans/scan_context.h"
#include "wizard/scans/scan_pages.h"
#include "wizard/scans/update_throttle.h"

class DriveSectorsScan {
public:
    DriveSectorsScan(ScanContext& context, TScanDriveSectorsPage& page);

    // Runs one scan to its end; nothing while another long action holds the busy gate or
    // no drive is selected. A drive that cannot be opened or a search that does not start
    // ends the scan with its fatal line; any other failure ends it likewise and is then
    // thrown on. A stop asked while the drive opens ends it, cancelled, before the search.
    void Run();

    // A hit of the running search (the record is the engine's, valid during the call).
    void FileFound(const FoundFileRecord& hit);
    // The search wrote new counts into the settings record; shown at most every 20 ms.
    void SearchProgress();
    // Tells the engine's search to stop while it runs; a search that has ended already is
    // left as it ended, so that a stop answered after its end cancels nothing.
    void StopSearch();

private:
    void Begin(const TRecoveryDrive& drive, TWorkHalfState& half);
    // The settings refilled and the drive open; false when it cannot be opened.
    bool Prepare(const TRecoveryDrive& drive, const TWorkHalfState& half, const BusyScope& held);
    // The engine's search, waited for under `held`; false when it did not start.
    bool Search(const BusyScope& held);
    void FillSizes();
    // The engine's counts; after a search through the whole drive (`whole`) the current
    // cluster is the last.
    void ShowSearchCounters(bool whole);
    void Finish(TWorkHalfState& half);

    ScanContext& context_;
    TScanDriveSectorsPage& page_;
    std::shared_ptr<const TRecoveryDrive> drive_;
    // Searched format ids, indexed by a hit's type code; built when a scan starts.
    std::vector<bool> searchedTypes_;
    QString fileFound_;
    QString alreadyFound_;
    UpdateThrottle counters_;
    bool progressShown_ = false;
    bool fatal_ = false;
    HANDLE searchThread_ = nullptr;  // the engine's search, while it is waited for
    bool searchCut_ = false;         // the search was stopped before its end
};
