#pragma once
// The format list's place in the program's start-up and exit.

// Creates DataStorage and loads it from the registry.
void FormatsUnitInit();
// Saves DataStorage when it was modified, then frees it with all its formats. False when
// the registry refused the list.
bool FormatsUnitDone();
