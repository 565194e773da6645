#pragma once
// Folders the program finds for itself: its own, the user's special folders and the
// default recovery destination.

#include <QString>

// The shell's number of the user's personal documents folder.
inline constexpr int CSIDL_PERSONAL = 5;

// The folder of the program file, ending in "/".
QString GetProgramFolder();

// The user's special folder of that shell number; empty for a number this platform has
// no folder for, or when no folder can be found.
QString GetSpecialFolderPath(int csidl);

// The documents folder followed by "/Recovered Files/"; empty when there is no documents
// folder (rather than a folder at the root of the file system).
QString DefaultTargetFolder();
