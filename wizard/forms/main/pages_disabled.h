#pragma once
// Disables the main window's pages and buttons, not the window, while a recovery runs: its
// own dialogs are the window's children. The focus goes back where it was afterwards, as
// disabling took it away.

#include <QPointer>

class QMainWindow;
class QWidget;

class PagesDisabled {
public:
    explicit PagesDisabled(QMainWindow& window);
    ~PagesDisabled();
    PagesDisabled(const PagesDisabled&) = delete;
    PagesDisabled& operator=(const PagesDisabled&) = delete;

private:
    QMainWindow& window_;
    QPointer<QWidget> focus_;
};
