#pragma once
// Drive parts of the engine's folder paths, which are written the Windows way:
// "C:\Docs\Old\", "\\server\share\Docs\", or "lost_folder_17\Docs\" for a folder whose
// chain of parents is broken.

#include <QString>

// The path below its drive: "C:\Docs\Old\" gives "Docs\Old\", "\\srv\data\Docs\" gives
// "Docs\". A drive with nothing below it ("C:\", "C:", "C:Docs", "\\srv") gives an empty
// text. A path without a drive part is kept whole, so that a lost folder's files keep
// their folders when the folder structure is recreated.
QString StripDrivePrefix(const QString& path);
