#pragma once
// The wizard's main window. For now the window with its name, caption and translation;
// the pages come with the wizard's forms.

#include <QMainWindow>

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);

    // Loads the chosen translation file (when one is chosen) and translates the window.
    void UpdateInterfaceLanguage();
};
