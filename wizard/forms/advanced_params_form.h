#pragma once
// "Preferences": the splash screen, the engine's drive-access values, the four
// confirmations and the interface language, on four pages. The dialog reads the
// preferences when it opens and writes them back on OK only; the settings store saves
// them when the program ends. Each number is a spin box whose range clamps the stored
// value it shows.

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class QTabWidget;

class TAdvancedParamsForm : public QDialog {
    Q_OBJECT

public:
    static inline const QString kEnglishDefault = QStringLiteral("English (Default)");

    explicit TAdvancedParamsForm(QWidget* parent = nullptr);

    // The preferences into the controls, on OK.
    void apply();

    int activePage() const;
    void setActivePage(int page);
    // The help topic of the active page.
    QString helpTopic() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildLayout();
    void FormCreate();
    void CommonSplashCheckBoxClick();
    void ButtonHelpClick();
    void fillLanguages();

    QTabWidget* pages_ = nullptr;
    QCheckBox* commonSplashCheckBox_ = nullptr;
    QLabel* commonSplashLabel_ = nullptr;
    QSpinBox* commonSplashEdit_ = nullptr;
    QLabel* commonSplashUnitLabel_ = nullptr;
    QSpinBox* driveRetryCountEdit_ = nullptr;
    QSpinBox* driveRetryPauseEdit_ = nullptr;
    QSpinBox* driveBufferEdit_ = nullptr;
    QSpinBox* driveThreadsEdit_ = nullptr;
    QCheckBox* confirmationsShutdownCheckBox_ = nullptr;
    QCheckBox* confirmationsScanAbortCheckBox_ = nullptr;
    QCheckBox* confirmationsRecoveryAbortCheckBox_ = nullptr;
    QCheckBox* confirmationsFileOverwriteCheckBox_ = nullptr;
    QComboBox* languageSelectComboBox_ = nullptr;
    int languageIndexAtOpening_ = 0;
};

// Shows the dialog modally on `page` (0..3; -1: the page last confirmed with OK in this
// run). On OK the preferences take the dialog's values, a changed language is loaded (or
// dropped for English), and true is returned; otherwise nothing changes.
bool ShowPreferences(int page, QWidget* parent = nullptr);
