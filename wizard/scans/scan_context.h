#pragma once
// What both scans and the engine's message handlers share: the host window's state, the
// run's engine settings record, the window the engine reports to, and the open drive.

#include <QString>

#include "engine/records.h"
#include "wizard/bridge/message_window.h"
#include "wizard/scans/open_drive.h"
#include "wizard/scans/scan_host.h"

struct ScanContext {
    ScanHost& host;
    EngineSettings& settings;
    MessageWindow& window;
    OpenDrive openDrive;
};

// Handles the engine messages already queued for the window, so that reports of the last
// reads count before a scan ends.
void HandleQueuedEngineMessages(MessageWindow& window);

// Tells the engine's search to stop; engine threads read the flag without a lock.
void StopEngineSearch(EngineSettings& settings);

// The engine's last error text ("" when there is none).
QString LastEngineError();

// The current translation of a text of the scans.
QString Tr(const char16_t* english, const char16_t* id);

// One drive letter as text.
QString DriveLetterText(const TRecoveryDrive& drive);
