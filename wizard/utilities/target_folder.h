#pragma once
// The check of a recovery destination folder. Destinations are absolute POSIX paths.

#include <QString>

// Whether `path` names a drive root that exists. The form "X:\" names a drive by its
// letter, and no folder of this system is reached that way, so it gives false; every
// other path gives true.
bool IsExistingDriveRoot(const QString& path);

// Whether `folder` can name a destination as typed: it is not empty, it is absolute, and
// it holds no NUL, "\", "//" nor any of * ? " < > |. Whether it can be made is found out
// when files are written.
bool IsUsableTargetText(const QString& folder);

// What keeps a folder from being a destination, as far as can be told before anything is
// made.
enum class TargetFault {
    None,
    Text,          // IsUsableTargetText is false
    SystemFolder,  // the root folder or a kernel file system (see system_folder.h)
    NotAFolder,    // it exists and is not a folder
};
TargetFault TargetFaultOf(const QString& folder);

// `folder` with a trailing delimiter, added when missing; an empty text stays empty, since
// "/" would name the system's root folder.
QString WithTargetDelimiter(const QString& folder);

// False when TargetFaultOf finds a fault. Otherwise, with `create`, the folder and its missing
// parents are made first; the answer is whether the folder then exists as a folder. The
// caller reports a refusal.
bool IsValidTargetFolder(const QString& folder, bool create);
