#pragma once
// Small helpers for forms built in code: components named for translation and tests,
// labels that never read markup, and the Help buttons' F1.

#include <QString>
#include <QWidget>

#include <functional>

class QDialog;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;

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

// A dialog's page control "MainPageControl", whose tabs all stay in view, and its pages.
QTabWidget* AddPageControl(QDialog* dialog);
QWidget* AddTabPage(QTabWidget* pages, const char* name, const QString& caption);

struct DialogButtonNames {
    const char* ok;
    const char* cancel;
    const char* help;
};

// Lays the dialog out as its pages above "&OK" (the default: accepts), "&Cancel" (rejects)
// and "&Help" (runs `help`) at the bottom right. Returns the OK button.
QPushButton* LayOutPagesAndButtons(QDialog* dialog, QTabWidget* pages, DialogButtonNames names,
                                   std::function<void()> help);

// The bottom row of a dialog without pages, at the right: an OK button (the default;
// accepts the dialog) and a Help button (posts F1 to the dialog).
struct DialogButton {
    const char* name;
    QString caption;
};
QHBoxLayout* AddOkHelpRow(QDialog* dialog, const DialogButton& ok, const DialogButton& help);
