#pragma once
// The folder edit of a recovery destination and its Browse button, as the destination
// dialog and the auto-pilot page both have them: one rule for what the browser may put
// into the edit and for what the edit may hold when the user goes on.

#include <QString>

#include <optional>

class QLineEdit;
class QWidget;
class TPBFolderDialog;

// Runs `browser`, starting at `start` when it is not empty; the folder chosen, or nothing
// when the user cancels or chooses an item without a path (the Computer item).
std::optional<QString> BrowseForFolder(TPBFolderDialog& browser, const QString& start);
// The same with a browser of its own, rooted at the Computer item.
std::optional<QString> BrowseForFolder(QWidget* parent, const QString& start);

// Whether the edit's text can name a destination (TargetFaultOf). When it cannot, a
// message says why (what a destination looks like, a folder of the system, a file) and
// the focus goes to the edit, its text selected, for the user to mend it.
bool AcceptsTargetFolder(QLineEdit& edit);
