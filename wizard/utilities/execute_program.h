#pragma once
// Opening folders, files and web addresses with the desktop's programs.

#include <QString>
#include <QUrl>

#include <functional>

// Hands an address to the desktop; true when it was taken.
using ShellOpenHook = std::function<bool(const QUrl&)>;

// Replaces the hook through which every open goes (the default opens with
// QDesktopServices); an empty hook restores the default. Returns the previous hook.
ShellOpenHook SetShellOpenHook(ShellOpenHook hook);

// "explorer.exe" with a folder as `parameters` opens the folder in the file manager; any
// other `fileName` (a web address, a file) is opened with its default program, and
// `parameters` is not used. On failure the user is told "Unable to execute external
// program <fileName>." and the answer is false.
bool ExecuteProgram(const QString& fileName, const QString& parameters);
