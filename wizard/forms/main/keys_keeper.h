#pragma once
// Gives the keys back to the main window when another window of the program goes away
// and leaves them with none (a dialog, a wait window, the recovery's progress). A window
// manager does that by itself; on a bare display, a virtual one, the keys fall to the
// screen's root, and with no active window Alt and the mnemonics do nothing.

#include <QObject>

class QWidget;

class KeysKeeper final : public QObject {
public:
    // Lives as the main window's child.
    explicit KeysKeeper(QWidget* mainWindow);
    ~KeysKeeper() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Reclaim();

    QWidget* mainWindow_;
};
