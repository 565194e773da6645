#pragma once
// Pieces that the program's dialogs share.

#include <QString>

class QDialog;
class QHBoxLayout;
class QLabel;
class QWidget;

// A label named `name` that shows `text` as plain text.
QLabel* AddLabel(QWidget* owner, const char* name, const QString& text);

// The bottom row of a dialog, right-aligned: an OK button (the default; accepts the
// dialog) and a Help button (posts F1 to the dialog, which opens its help keyword).
struct DialogButton {
    const char* name;
    QString caption;
};
QHBoxLayout* AddOkHelpRow(QDialog* dialog, const DialogButton& ok, const DialogButton& help);
