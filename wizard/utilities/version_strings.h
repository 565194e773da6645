#pragma once
// The program's version strings, read once at start-up and read-only afterwards. Shown by
// the about box, the welcome page and the language form.

#include <QString>

#include "wizard/utilities/text/date_time.h"

struct VersionStrings {
    QString FileDescription;
    QString ProductName;
    QString ProductVersion;
    QString FileVersion;
    // What follows the third "." of FileVersion (all of it when it has fewer dots).
    QString Build;
    // When the program file was last written, local time to two seconds; 0.0 when unknown.
    TDateTime ReleaseDate = 0.0;
};

// Fills the strings; the utilities' start-up step.
void GetVersionInfoStrings();

const VersionStrings& ProgramVersionStrings();
