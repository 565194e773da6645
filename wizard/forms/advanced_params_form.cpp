#include "wizard/forms/advanced_params_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>

#include "wizard/forms/widgets/form_widgets.h"
#include "wizard/help/help_service.h"
#include "wizard/settings/settings_values.h"
#include "wizard/translation/language_folder.h"
#include "wizard/translation/translate_form.h"
#include "wizard/translation/translation.h"

namespace {

// By page index.
const std::array<QString, 4> kPageTopics = {
    QStringLiteral("/files/params.html"),
    QStringLiteral("/files/params.driveaccess.html"),
    QStringLiteral("/files/params.html"),
    QStringLiteral("/files/params.language.html"),
};

// The page last confirmed with OK during this run.
int rememberedPage = 0;

struct NumberRow {
    QLabel* label;
    QSpinBox* edit;
    QLabel* unit;  // null without one
};

// Label, spin box, optional unit, optional note below them.
NumberRow AddNumberRow(QGridLayout* grid, QWidget* page, const char* labelName,
                       const QString& label, const char* editName, int minimum, int maximum,
                       const char* unitName = nullptr, const QString& unit = {},
                       const char* noteName = nullptr, const QString& note = {}) {
    const int row = grid->rowCount();
    NumberRow added{NamedLabel(page, labelName, label),
                    NamedSpinBox(page, editName, minimum, maximum), nullptr};
    added.label->setBuddy(added.edit);
    grid->addWidget(added.label, row, 0);
    grid->addWidget(added.edit, row, 1);
    if (unitName != nullptr) {
        added.unit = NamedLabel(page, unitName, unit);
        grid->addWidget(added.unit, row, 2);
    }
    if (noteName != nullptr) {
        grid->addWidget(NamedNote(page, noteName, note), row + 1, 0, 1, 4);
    }
    return added;
}

QCheckBox* AddCheckBox(QVBoxLayout* column, QWidget* page, const char* name,
                       const QString& text) {
    auto* checkBox = Named(new QCheckBox(text, page), name);
    column->addWidget(checkBox);
    return checkBox;
}

}  // namespace

TAdvancedParamsForm::TAdvancedParamsForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AdvancedParamsForm"));
    buildLayout();
    FormCreate();
}

void TAdvancedParamsForm::buildLayout() {
    setWindowTitle(QStringLiteral("Preferences"));
    pages_ = AddPageControl(this);

    QWidget* common = AddTabPage(pages_, "CommonTabSheet", QStringLiteral("Common Settings"));
    auto* commonGrid = new QGridLayout(common);
    commonGrid->addWidget(NamedLabel(common, "CommonOnStartupLabel", QStringLiteral("On startup:")),
                          0, 0, 1, 4);
    commonSplashCheckBox_ = Named(new QCheckBox(QStringLiteral("Show Splash screen"), common),
                                  "CommonSplashCheckBox");
    commonGrid->addWidget(commonSplashCheckBox_, 1, 0, 1, 4);
    const NumberRow splash = AddNumberRow(commonGrid, common, "CommonSplashLabel",
                                          QStringLiteral("Stay after last found drive:"),
                                          "CommonSplashEdit", 0, 20, "CommonSplashUnitLabel",
                                          QStringLiteral("seconds"));
    commonSplashLabel_ = splash.label;
    commonSplashEdit_ = splash.edit;
    commonSplashUnitLabel_ = splash.unit;
    connect(commonSplashCheckBox_, &QCheckBox::toggled, this,
            [this] { CommonSplashCheckBoxClick(); });

    QWidget* drive = AddTabPage(pages_, "DriveTabSheet", QStringLiteral("&Drive Access"));
    auto* driveGrid = new QGridLayout(drive);
    driveRetryCountEdit_ =
        AddNumberRow(driveGrid, drive, "DriveRetryCountLabel", QStringLiteral("Retry attempts:"),
                     "DriveRetryCountEdit", 1, 32767, nullptr, {}, "DriveRetryCountNoteLabel",
                     QStringLiteral("Increase if your medium is physically damaged. ")).edit;
    driveRetryPauseEdit_ = AddNumberRow(
        driveGrid, drive, "DriveRetryPauseLabel", QStringLiteral("Pause between retry attempts:"),
        "DriveRetryPauseEdit", 0, 32767, "DriveRetryPauseUnitLabel", QStringLiteral("ms"),
        "DriveRetryPauseNoteLabel",
        QStringLiteral("Use a pause between retries for some old/unstable reading devices.")).edit;
    driveBufferEdit_ = AddNumberRow(
        driveGrid, drive, "DriveBufferLabel", QStringLiteral("Read/Write buffer size:"),
        "DriveBufferEdit", 1, 10000, "DriveBufferUnitLabel", QStringLiteral("KB"),
        "DriveBufferNoteLabel",
        QStringLiteral("Increase this number for better performance (up to 10 MB per thread).")).edit;
    driveThreadsEdit_ = AddNumberRow(
        driveGrid, drive, "DriveThreadsLabel", QStringLiteral("Threads for a cluster search:"),
        "DriveThreadsEdit", 1, 99, nullptr, {}, "DriveThreadsNoteLabel",
        QStringLiteral("Set the number of data analyzing threads.")).edit;

    QWidget* confirmations =
        AddTabPage(pages_, "ConfirmationsTabSheet", QStringLiteral("Confirmations"));
    auto* confirmationsColumn = new QVBoxLayout(confirmations);
    confirmationsShutdownCheckBox_ =
        AddCheckBox(confirmationsColumn, confirmations, "ConfirmationsShutdownCheckBox",
                    QStringLiteral("Confirm the application shutdown"));
    confirmationsScanAbortCheckBox_ =
        AddCheckBox(confirmationsColumn, confirmations, "ConfirmationsScanAbortCheckBox",
                    QStringLiteral("Confirm the scan abort"));
    confirmationsRecoveryAbortCheckBox_ =
        AddCheckBox(confirmationsColumn, confirmations, "ConfirmationsRecoveryAbortCheckBox",
                    QStringLiteral("Confirm the recovery abort"));
    confirmationsFileOverwriteCheckBox_ =
        AddCheckBox(confirmationsColumn, confirmations, "ConfirmationsFileOverwriteCheckBox",
                    QStringLiteral("Confirm the file overwrite"));
    confirmationsColumn->addStretch();

    QWidget* language = AddTabPage(pages_, "LanguageTabSheet", QStringLiteral("Interface &Language"));
    auto* languageColumn = new QVBoxLayout(language);
    QLabel* languageLabel = NamedLabel(language, "LanguageSelectLabel", QStringLiteral("Language:"));
    languageSelectComboBox_ = Named(new QComboBox(language), "LanguageSelectComboBox");
    languageLabel->setBuddy(languageSelectComboBox_);
    languageColumn->addWidget(languageLabel);
    languageColumn->addWidget(languageSelectComboBox_);
    languageColumn->addWidget(NamedNote(
        language, "LanguageNoteLabel1",
        QStringLiteral("NOTE: After you have changed the interface language, the program must be "
                       "restarted.")));
    languageColumn->addWidget(NamedNote(
        language, "LanguageNoteLabel2",
        QStringLiteral("Please press F1 to get more information about the localization of your "
                       "program copy.")));
    languageColumn->addStretch();

    for (QGridLayout* grid : {commonGrid, driveGrid}) {
        grid->setColumnStretch(3, 1);
        grid->setRowStretch(grid->rowCount(), 1);
    }

    LayOutPagesAndButtons(this, pages_, {"ButtonOK", "ButtonCancel", "ButtonHelp"},
                          [this] { ButtonHelpClick(); });
}

void TAdvancedParamsForm::FormCreate() {
    TranslateForm({this});
    const SettingsValues& settings = Settings();
    commonSplashCheckBox_->setChecked(settings.GlobalSplashShow);
    commonSplashEdit_->setValue(settings.GlobalSplashDelay);
    CommonSplashCheckBoxClick();
    driveRetryCountEdit_->setValue(settings.RecoveryRetryCount);
    driveRetryPauseEdit_->setValue(settings.RecoveryRetryPause);
    driveBufferEdit_->setValue(settings.RecoverySectorsToRead);
    driveThreadsEdit_->setValue(settings.RecoveryThreadsCount);
    confirmationsShutdownCheckBox_->setChecked(settings.ConfirmationsShutdown);
    confirmationsScanAbortCheckBox_->setChecked(settings.ConfirmationsScanAbort);
    confirmationsRecoveryAbortCheckBox_->setChecked(settings.ConfirmationsRecoveryAbort);
    confirmationsFileOverwriteCheckBox_->setChecked(settings.ConfirmationsFileOverwrite);
    fillLanguages();
}

// "English (Default)", then the folder's translation files; the stored language (as a
// file name, in any case) is selected, else English.
void TAdvancedParamsForm::fillLanguages() {
    languageSelectComboBox_->addItem(kEnglishDefault);
    const QString& stored = Settings().GlobalLanguage;
    int selected = 0;
    for (const QString& fileName : ListLanguageFiles(LanguageFolder())) {
        const QString caption = LanguageCaption(fileName);
        languageSelectComboBox_->addItem(caption);
        if (selected == 0 && !stored.isEmpty() &&
            LanguageFileNameForCaption(caption).compare(stored, Qt::CaseInsensitive) == 0) {
            selected = languageSelectComboBox_->count() - 1;
        }
    }
    languageSelectComboBox_->setCurrentIndex(selected);
    languageIndexAtOpening_ = selected;
}

void TAdvancedParamsForm::apply() {
    SettingsValues& settings = Settings();
    // Typed digits count even when a spin box has not taken them yet.
    for (QSpinBox* edit :
         {commonSplashEdit_, driveRetryCountEdit_, driveRetryPauseEdit_, driveBufferEdit_,
          driveThreadsEdit_}) {
        edit->interpretText();
    }
    settings.GlobalSplashShow = commonSplashCheckBox_->isChecked();
    settings.GlobalSplashDelay = commonSplashEdit_->value();
    settings.RecoveryRetryCount = driveRetryCountEdit_->value();
    settings.RecoveryRetryPause = driveRetryPauseEdit_->value();
    settings.RecoverySectorsToRead = driveBufferEdit_->value();
    settings.RecoveryThreadsCount = driveThreadsEdit_->value();
    settings.ConfirmationsShutdown = confirmationsShutdownCheckBox_->isChecked();
    settings.ConfirmationsScanAbort = confirmationsScanAbortCheckBox_->isChecked();
    settings.ConfirmationsRecoveryAbort = confirmationsRecoveryAbortCheckBox_->isChecked();
    settings.ConfirmationsFileOverwrite = confirmationsFileOverwriteCheckBox_->isChecked();

    const int language = languageSelectComboBox_->currentIndex();
    if (language == languageIndexAtOpening_) {
        return;
    }
    settings.GlobalLanguage =
        language > 0 ? LanguageFileNameForCaption(languageSelectComboBox_->currentText()) : QString();
    UseLanguageFile(settings.GlobalLanguage);
}

int TAdvancedParamsForm::activePage() const {
    return pages_->currentIndex();
}

void TAdvancedParamsForm::setActivePage(int page) {
    pages_->setCurrentIndex(page);
}

QString TAdvancedParamsForm::helpTopic() const {
    const int page = activePage();
    return page >= 0 && page < static_cast<int>(kPageTopics.size()) ? kPageTopics[page]
                                                                      : kPageTopics[0];
}

// The delay and its labels count only while the splash is shown; the value stays.
void TAdvancedParamsForm::CommonSplashCheckBoxClick() {
    const bool shown = commonSplashCheckBox_->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(commonSplashLabel_),
                             static_cast<QWidget*>(commonSplashEdit_),
                             static_cast<QWidget*>(commonSplashUnitLabel_)}) {
        control->setEnabled(shown);
    }
}

void TAdvancedParamsForm::ButtonHelpClick() {
    PostHelpKey(this);
}

void TAdvancedParamsForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        helpService().ShowHelpTopic(helpTopic());
        return;
    }
    QDialog::keyPressEvent(event);
}

bool ShowPreferences(int page, QWidget* parent) {
    TAdvancedParamsForm form(parent);
    form.setActivePage(page == -1 ? rememberedPage : page);
    if (form.exec() != QDialog::Accepted) {
        return false;
    }
    form.apply();
    rememberedPage = form.activePage();
    return true;
}
