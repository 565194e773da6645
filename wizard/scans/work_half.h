#pragma once
// The wizard's work for one drive comes in two halves: the file-system scan with its list
// and preview, and the sector scan with its own. Each half keeps the same state.

#include <cstdint>
#include <set>

enum class WorkHalf { FileSystem, DriveSectors };

struct TWorkHalfState {
    bool ScanRunning = false;
    bool ScanDone = false;             // a scan has run for the selected drive
    bool StopRequested = false;        // Stop asked for, or an auto-pilot recovery fell short
    bool RecoverPressed = false;       // the user recovered from this half's list
    bool AutoRecoveryRunning = false;
    bool AutoRecoveryDone = false;     // the auto-pilot has recovered this half for the drive
    // The serials of the files of this half's list that a recovery wrote: a file
    // recovered again counts once.
    std::set<std::int64_t> RecoveredFiles;
    int ReadErrors = 0;

    // Back to a drive on which nothing has run yet.
    void Clear() { *this = TWorkHalfState(); }
    bool Busy() const { return ScanRunning || AutoRecoveryRunning; }
    int Recovered() const { return static_cast<int>(RecoveredFiles.size()); }
};
