#pragma once
// Opening folders, files and web addresses with the desktop's programs.

#include <QString>

// "explorer.exe" with a folder as `parameters` opens the folder in the file manager; any
// other `fileName` (a web address, a file) is opened with its default program, and
// `parameters` is not used. On failure the user is told "Unable to execute external
// program <fileName>." (for the file manager, the desktop's opener xdg-open) and the
// answer is false.
bool ExecuteProgram(const QString& fileName, const QString& parameters);

// "Unable to execute external program <program>." in an error box.
void ReportProgramNotStarted(const QString& program);
