#pragma once
// A dialog with a help topic: F1 opens the topic through the help service, and its Help
// button presses F1, as every Help button of the program does. Escape and the close box
// end it with the result of its Cancel button.

#include <QDialog>
#include <QString>

class THelpKeywordDialog : public QDialog {
    Q_OBJECT

public:
    // Modal results of the program's dialogs.
    static constexpr int kResultOk = 1;
    static constexpr int kResultCancel = 2;

    THelpKeywordDialog(QString helpKeyword, QWidget* parent, Qt::WindowFlags flags = {});

    const QString& HelpKeyword() const { return helpKeyword_; }
    void reject() override;

protected:
    // One F1 key-down for this dialog.
    void PressHelpKey();
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString helpKeyword_;
};
