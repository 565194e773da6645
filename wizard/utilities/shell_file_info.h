#pragma once
// What the desktop knows about a kind of file, by the extension of its name alone: the
// file need not exist and is never opened. Answers are kept per extension.

#include <QPixmap>
#include <QString>

// The desktop's description of the name's file type ("JPEG image"). False, leaving
// `typeName` alone, when the extension names no known type. Safe on any thread.
bool GetShellFileTypeName(const QString& fileName, QString& typeName);

// The desktop's icon for the name's file type, 16 x 16 when `small`, else 32 x 32; the
// generic file icon when the type has none of its own. GUI thread only.
QPixmap GetShellFileIcon(const QString& fileName, bool small);
