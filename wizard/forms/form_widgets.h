#pragma once
// Small helpers for forms built in code: components named for translation and tests,
// labels that never read markup, and the Help buttons' F1.

#include <QString>
#include <QWidget>

class QLabel;
class QSpinBox;

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A plain-text label; a note wraps its words.
QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text);
QLabel* NamedNote(QWidget* parent, const char* name, const QString& text);

// An edit with its up-down control: one spin box that keeps its value within the range.
QSpinBox* NamedSpinBox(QWidget* parent, const char* name, int minimum, int maximum);

// One F1 key press for `window`, as a Help button gives it; the window's F1 handling then
// opens its topic.
void PostHelpKey(QWidget* window);
