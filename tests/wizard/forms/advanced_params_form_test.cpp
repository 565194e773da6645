#include "wizard/forms/advanced_params_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "wizard/settings/settings_store.h"
#include "wizard/support/dialog_controls.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/wizard_test.h"
#include "wizard/translation/language_folder.h"
#include "wizard/translation/translation.h"

namespace {

class PreferencesTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        ASSERT_TRUE(languages_.isValid());
        SetLanguageFolder(languages_.path());
        SetCurrentTranslation(nullptr);
        Settings() = SettingsValues{};
        LoadSettings();
    }
    void TearDown() override {
        UseLanguageFile(QString());
        SetLanguageFolder(QString());
        WizardTest::TearDown();
    }

    void addLanguageFile(const QString& name, const QByteArray& text = "[Misc]\nstrYes=Ja\n") {
        QFile file(languages_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // ShowPreferences while `answer` works the dialog.
    bool show(int page, std::function<void(QWidget*)> answer) {
        answerNextModalDialog(std::move(answer));
        return ShowPreferences(page);
    }

    QTemporaryDir languages_;
};

// Unchecking the splash disables its delay, which is still saved.
TEST_F(PreferencesTest, OpensOnThePageAskedAndOkStoresEveryPage) {
    Settings().GlobalSplashDelay = 7;
    int opened = -1;
    EXPECT_TRUE(show(1, [&](QWidget* dialog) {
        opened = CurrentPage(dialog);
        const char* delayControls[] = {"CommonSplashLabel", "CommonSplashEdit", "CommonSplashUnitLabel"};
        for (const char* name : delayControls) EXPECT_TRUE(FindControl<QWidget>(dialog, name)->isEnabled()) << name;
        QTest::keyClick(FindControl<QCheckBox>(dialog, "CommonSplashCheckBox"), Qt::Key_Space);
        for (const char* name : delayControls) EXPECT_FALSE(FindControl<QWidget>(dialog, name)->isEnabled()) << name;
        auto* retries = FindControl<QSpinBox>(dialog, "DriveRetryCountEdit");
        retries->selectAll();
        QTest::keyClicks(retries, QStringLiteral("3"));
        FindControl<QSpinBox>(dialog, "DriveRetryPauseEdit")->setValue(250);
        FindControl<QSpinBox>(dialog, "DriveBufferEdit")->setValue(64);
        FindControl<QSpinBox>(dialog, "DriveThreadsEdit")->setValue(4);
        FindControl<QCheckBox>(dialog, "ConfirmationsShutdownCheckBox")->setChecked(false);
        FindControl<QCheckBox>(dialog, "ConfirmationsFileOverwriteCheckBox")->setChecked(false);
        PressButton(dialog, "ButtonOK");
    }));
    EXPECT_EQ(opened, 1);
    const SettingsValues& settings = Settings();
    EXPECT_FALSE(settings.GlobalSplashShow);
    EXPECT_EQ(settings.GlobalSplashDelay, 7);
    EXPECT_EQ(settings.RecoveryRetryCount, 3);
    EXPECT_EQ(settings.RecoveryRetryPause, 250);
    EXPECT_EQ(settings.RecoverySectorsToRead, 64);
    EXPECT_EQ(settings.RecoveryThreadsCount, 4);
    EXPECT_FALSE(settings.ConfirmationsShutdown);
    EXPECT_TRUE(settings.ConfirmationsScanAbort);
    EXPECT_TRUE(settings.ConfirmationsRecoveryAbort);
    EXPECT_FALSE(settings.ConfirmationsFileOverwrite);
}

TEST_F(PreferencesTest, TheRangesClampStoredValues) {
    Settings().GlobalSplashDelay = 25;
    Settings().RecoveryRetryCount = 0;
    Settings().RecoverySectorsToRead = 20000;
    Settings().RecoveryThreadsCount = 500;
    show(0, [](QWidget* dialog) {
        EXPECT_EQ(FindControl<QSpinBox>(dialog, "CommonSplashEdit")->value(), 20);
        EXPECT_EQ(FindControl<QSpinBox>(dialog, "DriveRetryCountEdit")->value(), 1);
        EXPECT_EQ(FindControl<QSpinBox>(dialog, "DriveBufferEdit")->value(), 10000);
        PressButton(dialog, "ButtonOK");
    });
    EXPECT_EQ(Settings().GlobalSplashDelay, 20);
    EXPECT_EQ(Settings().RecoveryRetryCount, 1);
    EXPECT_EQ(Settings().RecoverySectorsToRead, 10000);
    EXPECT_EQ(Settings().RecoveryThreadsCount, 99);
}

TEST_F(PreferencesTest, CancelChangesNothing) {
    const SettingsValues before = Settings();
    addLanguageFile(QStringLiteral("Deutsch.lng"));
    EXPECT_FALSE(show(2, [](QWidget* dialog) {
        for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
            box->toggle();
        }
        for (QSpinBox* edit : dialog->findChildren<QSpinBox*>()) {
            edit->setValue(edit->value() + 1);
        }
        FindControl<QComboBox>(dialog, "LanguageSelectComboBox")->setCurrentIndex(1);
        PressButton(dialog, "ButtonCancel");
    }));
    EXPECT_EQ(Settings().GlobalSplashShow, before.GlobalSplashShow);
    EXPECT_EQ(Settings().RecoveryRetryCount, before.RecoveryRetryCount);
    EXPECT_EQ(Settings().ConfirmationsScanAbort, before.ConfirmationsScanAbort);
    EXPECT_EQ(Settings().GlobalLanguage, before.GlobalLanguage);
    EXPECT_EQ(CurrentTranslation(), nullptr);
}

TEST_F(PreferencesTest, MinusOneOpensThePageOfTheLastOk) {
    int opened = -1;
    const auto note = [&](QWidget* dialog) {
        opened = CurrentPage(dialog);
        PressButton(dialog, "ButtonCancel");
    };
    show(0, CloseOnPage(2, "ButtonOK"));
    show(0, CloseOnPage(3, "ButtonCancel"));
    show(-1, note);
    EXPECT_EQ(opened, 2);
}

TEST_F(PreferencesTest, ChoosingALanguageStoresItsFileNameAndLoadsIt) {
    addLanguageFile(QStringLiteral("DEUTSCH.LNG"));
    show(3, [](QWidget* dialog) {
        FindControl<QComboBox>(dialog, "LanguageSelectComboBox")->setCurrentIndex(1);
        PressButton(dialog, "ButtonOK");
    });
    EXPECT_EQ(Settings().GlobalLanguage, QStringLiteral("Deutsch.lng"));
    const Translation loaded = CurrentTranslation();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(TranslateString(QStringLiteral("Yes"), QStringLiteral("strYes")),
              QStringLiteral("Ja"));

    // The same language again reloads nothing.
    int selected = -1;
    show(3, [&](QWidget* dialog) {
        selected = FindControl<QComboBox>(dialog, "LanguageSelectComboBox")->currentIndex();
        PressButton(dialog, "ButtonOK");
    });
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(CurrentTranslation(), loaded);

    // English drops the translation.
    show(3, [](QWidget* dialog) {
        FindControl<QComboBox>(dialog, "LanguageSelectComboBox")->setCurrentIndex(0);
        PressButton(dialog, "ButtonOK");
    });
    EXPECT_TRUE(Settings().GlobalLanguage.isEmpty());
    EXPECT_EQ(CurrentTranslation(), nullptr);
}

}  // namespace
