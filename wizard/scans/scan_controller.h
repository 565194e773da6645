#pragma once
// The two scans as the main window runs them: their Start and Stop buttons, their start
// on entering a scan page, and the engine's messages on the window the engine reports to.

#include <QObject>

#include "wizard/bridge/message_window.h"
#include "wizard/scans/drive_sectors_scan.h"
#include "wizard/scans/file_system_scan.h"
#include "wizard/scans/scan_context.h"
#include "wizard/scans/scan_message_handlers.h"
#include "wizard/scans/scan_pages.h"

class ScanController : public QObject {
    Q_OBJECT

public:
    // Connects the pages' buttons and declares the scans' messages on `window`, the
    // window named to the engine. Everything given must outlive the controller.
    ScanController(ScanHost& host, TScanFileSystemPage& fileSystemPage,
                   TScanDriveSectorsPage& sectorsPage, MessageWindow& window);

    // A scan, then the page driver; a failure that ends the scan is reported in a box.
    void ScanFileSystemButtonStartClick();
    void ScanDriveSectorsButtonStartClick();
    // Asks when ConfirmationsScanAbort is on; unless the answer is No, the half's stop is
    // requested, its page shows the scan stopping, and the auto-pilot is turned off. The
    // sector search stops at the next message from the engine.
    void ScanFileSystemButtonStopClick();
    void ScanDriveSectorsButtonStopClick();

    // The read errors the engine has reported while no scan ran, those still queued
    // handled first.
    std::uint64_t ReadErrorsOutsideScans();

private:
    template <typename Scan>
    void RunReported(Scan& scan);
    void RequestStop(TWorkHalfState& half, TScanPageBase& page);

    TScanFileSystemPage& fileSystemPage_;
    TScanDriveSectorsPage& sectorsPage_;
    ScanContext context_;
    FileSystemScan fileSystemScan_;
    DriveSectorsScan sectorScan_;
    ScanMessageHandlers handlers_;
};
