#pragma once
// The engine's settings record for the whole run, and how each scan fills it.
//
// The engine keeps the address given to DriveInitialize and reads and writes through it
// during every later read, search and recovery, so there is exactly one record, at one
// address, until the program ends. Refill it only while no engine thread works on it.

#include <cstdint>

#include "engine/records.h"
#include "platform/win_types.h"

EngineSettings& RunEngineSettings();

// Zeroes the record, then: run flag 1, the drive, the window that hears the engine, reads
// and block size from the settings (the block from RecoverySectorsToRead KB, 1 to 10000),
// free clusters only unless RecoverySearchExisting, and a selection byte for each searched
// format whose id lies in 0..1023. No found-file callback: the sector search runs on the
// engine's own thread and reports each hit by message.
void DoInitializeParams(EngineSettings& settings, std::int32_t driveNumber, HWND notifyWindow);
