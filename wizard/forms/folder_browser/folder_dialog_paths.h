#pragma once
// Path texts of the folder browser.

#include <QString>

// The status line's form of a path of more than `limit` characters: its leading "/",
// "...", then as many of its last folders as fit ("/.../Photos/2023"); a path without
// two folders below its first is just cut. Paths that fit are kept whole.
QString ShortenStatusPath(const QString& path, int limit = 50);

// The path of a new folder `name` in `folder`: one "/" between them, unless the name
// begins or the folder ends with one.
QString JoinNewFolderPath(const QString& folder, const QString& name);
