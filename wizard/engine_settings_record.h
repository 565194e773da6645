#pragma once
// The run's one engine settings record. The engine keeps its address from the first
// DriveInitialize on and reads it from its own threads, so it lives as long as the
// program and its stop flags are written atomically.

#include "engine/records.h"

EngineSettings& ProgramEngineSettings();

// Asks the engine's running search to stop (Run = 0).
void StopEngineRun();
