#pragma once
// The main window's handlers of the messages that reach it during the scans, declared on
// its message window with the payload each carries (the window frees every payload after
// the handler; handlers never do):
//   WM_ENGINE_FILE_FOUND (a hit; one block in both parameters)  WMFileFound
//   WM_ENGINE_SEARCH_PROGRESS (counts in the settings record)   WMSearchProgress
//   WM_ENGINE_IO_ERROR (the report in lParam)                   WMIoErrorReport
//   kWmSearchLogText (a UTF-16 text in wParam, or 0)             WMSearchLogText
//   kWmShowAbout                                                 WMShowAbout
// WM_ENGINE_INIT_FAILED is left unhandled: the scans read DriveInitialize's answer.
//
// While the sector scan's stop is requested, each of the three engine messages stops the
// engine's search if it still runs. A read error while no scan runs (the recovery's copy
// reads the drive too) is counted for whoever asks. No handler runs an event loop of its own: the scan's
// wait serves posted messages between two hits.

#include <cstdint>

#include "platform/win_types.h"
#include "wizard/scans/drive_sectors_scan.h"
#include "wizard/scans/scan_context.h"
#include "wizard/scans/scan_pages.h"

// A text for the sector scan's log; no sender in either deliverable.
inline constexpr UINT kWmSearchLogText = WM_USER + 1;
// Shows the About box.
inline constexpr UINT kWmShowAbout = WM_USER + 60;

class ScanMessageHandlers {
public:
    ScanMessageHandlers(ScanContext& context, DriveSectorsScan& sectorScan,
                        TScanFileSystemPage& fileSystemPage, TScanDriveSectorsPage& sectorsPage);

    // Declares the five messages on the context's window.
    void Install();

    LRESULT WMFileFound(LPARAM hit);
    LRESULT WMSearchProgress();
    LRESULT WMIoErrorReport(LPARAM report);
    LRESULT WMSearchLogText(WPARAM text);
    LRESULT WMShowAbout();

    // The read errors reported while no scan ran, in the order handled.
    std::uint64_t ReadErrorsOutsideScans() const { return readErrorsOutsideScans_; }

private:
    // True (and a running search told to stop) while the sector scan's stop is requested.
    bool StopIfRequested();
    void CountReadError(TWorkHalfState& half, TScanPageBase& page, const IoErrorReport& report);

    ScanContext& context_;
    DriveSectorsScan& sectorScan_;
    TScanFileSystemPage& fileSystemPage_;
    TScanDriveSectorsPage& sectorsPage_;
    std::uint64_t readErrorsOutsideScans_ = 0;
};
