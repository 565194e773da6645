#pragma once
// The translated texts that the utilities show.

#include <QString>

// The text of `id` in the current translation (English `text` by default) with its one
// "%s" filled with `argument`.
QString UtilityMessage(const char* id, const char* text, const QString& argument);

// The warning that refuses a recovery target on the drive being recovered, wherever the
// target is chosen or opened.
QString SameDriveRefusal();
