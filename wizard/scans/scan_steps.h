#pragma once
// The steps that both scans begin and end with.

#include <QString>

#include "wizard/scans/scan_context.h"
#include "wizard/scans/scan_pages.h"

class BusyScope;

// The first log lines, shown with pending events handled; the thumbnail workers stopped
// and `list` emptied; the page and `half` running; then the page driver.
void BeginScanSteps(ScanContext& context, TScanPageBase& page, TWorkHalfState& half, TBaseSortedList& list,
                    const QString& startedLine, const QString& modeLine);

// Opens `drive` through the context's open drive (its answer), with events handled under
// `held` until the engine answers. A stop asked meanwhile is told in the log at once; the
// open still runs to its end, since it changes the engine's current drive.
int OpenScannedDrive(ScanContext& context, TScanPageBase& page, const TWorkHalfState& half,
                     const TRecoveryDrive& drive, const BusyScope& held);

// On every way out of a scan: the engine's queued reports handled while the scan still
// counts them, `lastLine` and an empty line logged, the page and `half` idle.
void EndScanSteps(ScanContext& context, TScanPageBase& page, TWorkHalfState& half, const QString& lastLine);
