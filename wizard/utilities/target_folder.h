#pragma once
// The check of a recovery destination folder. Destinations are absolute POSIX paths.

#include <QString>

// Whether `path` names a drive root that exists. The form "X:\" names a drive by its
// letter, and no folder of this system is reached that way, so it gives false; every
// other path gives true.
bool IsExistingDriveRoot(const QString& path);

// False for an empty or relative path and for one holding a NUL, "\", "//" or any of
// * ? " < > |. Otherwise, with `create`, the folder and its missing parents are made
// first; the answer is whether the folder then exists as a folder. The caller reports a
// refusal.
bool IsValidTargetFolder(const QString& folder, bool create);
