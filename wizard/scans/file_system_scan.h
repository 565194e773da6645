#pragma once
// The file-system scan: lists the entries of the selected drive's file system through the
// engine and keeps, in the host's file-system list, the deleted files (or all files) that
// pass the user's filters. It runs on the GUI thread, calling the engine itself, and
// handles events (the engine's read errors, the Stop button) at most every 20 ms; while
// the engine opens the drive, all the time.

#include <cstdint>
#include <memory>

#include "wizard/scans/scan_context.h"
#include "wizard/scans/scan_pages.h"

class BusyScope;

class FileSystemScan {
public:
    FileSystemScan(ScanContext& context, TScanFileSystemPage& page);

    // Runs one scan to its end; nothing while another long action holds the busy gate or
    // no drive is selected. A drive that cannot be opened ends the scan with its fatal
    // line; any other failure ends it likewise and is then thrown on. A stop asked while
    // the drive opens ends it, cancelled, once the engine has answered.
    void Run();

private:
    enum class Opening {
        Opened,         // the engine answered with a count of entries
        OpenedNothing,  // a count below 1 without an error text: the scan goes on
        Failed,         // below 1 with an error text, which is logged
        Raised,         // a failure while preparing or calling the engine
    };

    void Begin(const TRecoveryDrive& drive, TWorkHalfState& half);
    Opening Open(const TRecoveryDrive& drive, const TWorkHalfState& half, const BusyScope& held, int& count);
    void Enumerate(const std::shared_ptr<const TRecoveryDrive>& drive, const TWorkHalfState& half,
                   int count);
    // `records` of `total`, or of `records` when more came than the engine announced.
    void ShowCounters(std::int64_t records, std::int64_t total);
    void Finish(TWorkHalfState& half);

    ScanContext& context_;
    TScanFileSystemPage& page_;
    bool fatal_ = false;
};
