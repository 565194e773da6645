#pragma once
// Long actions of the main window (sorting or selecting a long list) run with the window
// disabled and the wait window shown, both undone when the action ends, also by an
// exception.

#include <QString>

#include <functional>

class QWidget;

// Runs `work` as a long action of `window`'s top-level window. `text` is the wait
// window's text; empty keeps its own.
void RunWithWaitForm(QWidget* window, const QString& text, const std::function<void()>& work);
