#pragma once
// The save dialog of a recovered file whose name is taken: the user picks another name.

#include <QString>

#include <optional>

class QWidget;

// Opens in `folder` with `name` filled in, any file type shown ("*.*"). The chosen path,
// or nothing when the user cancelled. Replacing an existing file is asked by the caller,
// which knows what may be replaced.
std::optional<QString> AskSaveName(QWidget* owner, const QString& folder, const QString& name);
