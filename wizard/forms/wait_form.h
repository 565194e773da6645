#pragma once
// The wait window: a small frameless panel on top of the main window while the program
// is busy in the interface thread ("Loading file list... Please wait..." unless the
// caller names its own, translated text).
//
// Callers use one scope around the work:
//
//     { const WaitScope wait(mainWindow, TranslateString(...)); sortTheList(); }
//
// The outermost scope disables the main window, shows the wait window and paints it
// before the work starts; on exit, also by an exception, it frees the window and gives the
// main window back its earlier enabled state. An inner scope reuses the window, shows its
// own text and puts the outer text back when it ends.

#include <QDialog>
#include <QPointer>
#include <QString>

class QLabel;

class TWaitForm : public QDialog {
    Q_OBJECT

public:
    explicit TWaitForm(QWidget* mainWindow);

    QString caption() const;
    void setCaption(const QString& text);

    // Shows the window and paints it now.
    void showPainted();

private:
    QLabel* panel_ = nullptr;
};

// The wait window of the moment, or null.
TWaitForm* WaitForm();

class WaitScope {
public:
    // `caption` empty: the window's own text (the outer scope's, when nested).
    explicit WaitScope(QWidget* mainWindow, const QString& caption = QString());
    ~WaitScope();
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;

private:
    bool outermost_;
    QString outerCaption_;
    QPointer<QWidget> mainWindow_;
    bool mainWindowWasEnabled_ = true;
    // Disabling the window takes the focus away; it goes back when the window is enabled
    // again, so that the keys reach the same control afterwards.
    QPointer<QWidget> focus_;
};
