#pragma once
// Asks the user for a folder, starting at `start` when it is not empty; nothing when the
// user cancels.

#include <QString>

#include <optional>

class QWidget;

std::optional<QString> BrowseForFolder(QWidget* parent, const QString& start);
