#pragma once
// Loading the settings at start-up and saving them at the end.

#include "wizard/settings/settings_values.h"

// Reads every setting of the table. Never fails: a value that is missing, of another type
// or unreadable gets its default; a number outside its range is brought to the nearest
// bound, a code outside its list gets its default; a date-time that is not 8 bytes, not a
// number or outside the years 1..9999 leaves the current value. The sub-keys exist
// afterwards.
void LoadSettings(SettingsValues& values);
void LoadSettings();  // into Settings()

// Writes every setting, one file replacement per sub-key. A sub-key that cannot be
// written is logged and gives false; the other is still written, and nothing throws, so
// the program's exit always completes.
bool SaveSettings(const SettingsValues& values);
bool SaveSettings();  // from Settings()
