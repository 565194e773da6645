#pragma once
// Components of the recovery dialogs, built in code: each named for translation and
// tests, labels never reading markup.

#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

// A plain-text label; `wrap` breaks it at word ends.
QLabel* PlainLabel(QWidget* parent, const char* name, const QString& text, bool wrap = false);
QLabel* BoldLabel(QWidget* parent, const char* name, const QString& text);

// A button that ends `dialog` with `modalResult`.
QPushButton* ResultButton(QDialog* dialog, QWidget* parent, const char* name, const QString& text,
                          int modalResult);

// `pixels` at 96 pixels per inch, scaled to the screen's.
int ScaledToScreen(int pixels);
