#pragma once
// The About box: the program's name, description and version with its build, the legal
// notice and links to the maker's web and support pages.

#include <QDialog>
#include <QString>

#include "wizard/utilities/version_strings.h"

class QLabel;

class TAboutForm : public QDialog {
    Q_OBJECT

public:
    static inline const QString kHelpKeyword = QStringLiteral("/files/about.html");

    // Centred on `mainWindow`; shows `version` (the program's own by default).
    explicit TAboutForm(QWidget* mainWindow,
                        const VersionStrings& version = ProgramVersionStrings());

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void FormCreate(const VersionStrings& version);

    QLabel* labelProgramName_ = nullptr;
    QLabel* labelProgramDescription_ = nullptr;
    QLabel* labelProgramVersion_ = nullptr;
    QLabel* labelUrl_ = nullptr;
    QLabel* labelSupport_ = nullptr;
    QLabel* iconImage_ = nullptr;
};
