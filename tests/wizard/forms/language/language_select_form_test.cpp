#include "wizard/forms/language/language_select_form.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "tests/wizard/support/language_folder_fixture.h"
#include "tests/wizard/support/scripted_prompts.h"
#include "wizard/help/help_file.h"
#include "wizard/help/help_service.h"

namespace {

class LanguageSelectFormTest : public LanguageFolderTest {
protected:
    void SetUp() override {
        LanguageFolderTest::SetUp();
        info_.productName = QStringLiteral("Pramblex Pro");
        info_.productVersion = QStringLiteral("1.2.3");
        info_.build = QStringLiteral("77");
    }

    // The folder of the language files: real ones in any case, and what must not be listed.
    void writeLanguageFolder() {
        writeProgramFile(QStringLiteral("DEUTSCH.LNG"), "[Misc]\nstrYes=Ja\n");
        writeProgramFile(QStringLiteral("pt.br.lng"), "[Misc]\nstrYes=Sim\n");
        writeProgramFile(QStringLiteral(".x.lng"), "[Misc]\nstrYes=hidden\n");
        writeProgramFile(QStringLiteral("notes.txt"), "");
        ASSERT_TRUE(QDir(programFile(QString())).mkdir(QStringLiteral("x.lng")));
    }

    static QStringList Captions(const TLanguageSelectForm& form) {
        const auto* list = form.findChild<QListWidget*>(QStringLiteral("LanguageListView"));
        QStringList captions;
        for (int i = 0; i < list->count(); ++i) {
            captions.append(list->item(i)->text());
        }
        return captions;
    }

    static QListWidgetItem* Entry(TLanguageSelectForm& form, const QString& caption) {
        const auto items = form.findChild<QListWidget*>(QStringLiteral("LanguageListView"))
                               ->findItems(caption, Qt::MatchExactly);
        return items.isEmpty() ? nullptr : items.first();
    }

    // Runs SelectLanguage; `drive` acts on the form once it is shown modally.
    void selectLanguage(QString& globalLanguage, std::function<void(TLanguageSelectForm&)> drive) {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TLanguageSelectForm*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            driven = true;
            drive(*form);
        });
        SelectLanguage(globalLanguage, info_);
        EXPECT_TRUE(driven);
    }

    LanguageFormInfo info_;
};

TEST_F(LanguageSelectFormTest, ListsVisibleLanguageFilesSortedWithEnglishSelected) {
    writeLanguageFolder();
    writeProgramFile(QStringLiteral(u"čeština.lng"), "");
    const QLocale savedLocale;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TLanguageSelectForm form(info_);
    QLocale::setDefault(savedLocale);

    // In text order, not code order: "Č" sorts with "C".
    EXPECT_EQ(Captions(form),
              (QStringList{QStringLiteral(u"Čeština"), QStringLiteral("Deutsch"),
                           QStringLiteral("English (Default)"), QStringLiteral("Pt.br")}));
    EXPECT_TRUE(Entry(form, QStringLiteral("English (Default)"))->isSelected());
    EXPECT_EQ(form.selectedLanguageFile(), QString());
}

TEST_F(LanguageSelectFormTest, TheLinkReportsAMissingHelpFolderWhileF1StaysSilent) {
    ScriptedPrompts prompts;
    const ScopedPromptService promptsInstalled(prompts);
    const ScopedHelpService realHelp(HelpService::standard());
    const QString missing = programFile(QStringLiteral("PramblexPro.help"));
    SetApplicationHelpFile(missing);
    TLanguageSelectForm form(info_);

    QTest::keyClick(&form, Qt::Key_F1);
    EXPECT_TRUE(prompts.shown().empty());
    prompts.expect(QStringLiteral("Can't open help file (%1).").arg(missing), kPromptOk);
    QTest::mouseClick(form.findChild<QLabel*>(QStringLiteral("AddNewLabel")), Qt::LeftButton);
    prompts.verifyAllShown();
    SetApplicationHelpFile(QString());
}

TEST_F(LanguageSelectFormTest, TheVersionTakesTheTranslatedBuild) {
    useTranslation("[Misc]\nstrBuild=Bau\n");
    TLanguageSelectForm form(info_);
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("ProgramVersionLabel"))->text(), QStringLiteral("1.2.3 (Bau 77)"));
}

TEST_F(LanguageSelectFormTest, ChoosingAFileStoresItsCaptionAndLoadsIt) {
    writeLanguageFolder();
    QString globalLanguage;
    selectLanguage(globalLanguage, [](TLanguageSelectForm& form) {
        Entry(form, QStringLiteral("Pt.br"))->setSelected(true);
        form.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    EXPECT_EQ(globalLanguage, QStringLiteral("Pt.br.lng"));
    EXPECT_EQ(TranslateString(QStringLiteral("Yes"), QStringLiteral("strYes")),
              QStringLiteral("Sim"));
}

TEST_F(LanguageSelectFormTest, EnglishOrNoSelectionClearsTheChoice) {
    writeLanguageFolder();
    for (const bool deselect : {false, true}) {
        useTranslation("[Misc]\nstrYes=Ja\n");
        QString globalLanguage = QStringLiteral("Deutsch.lng");
        selectLanguage(globalLanguage, [deselect](TLanguageSelectForm& form) {
            if (deselect) {
                form.findChild<QListWidget*>(QStringLiteral("LanguageListView"))->clearSelection();
            }
            form.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
        });
        EXPECT_EQ(globalLanguage, QString()) << deselect;
        EXPECT_EQ(CurrentTranslation(), nullptr) << deselect;
    }
}

TEST_F(LanguageSelectFormTest, CancelChangesNothingAndDoubleClickConfirms) {
    writeLanguageFolder();
    useTranslation("[Misc]\nstrYes=Test\n");
    QString globalLanguage = QStringLiteral("Test.lng");
    selectLanguage(globalLanguage, [](TLanguageSelectForm& form) {
        Entry(form, QStringLiteral("Deutsch"))->setSelected(true);
        form.reject();
    });
    EXPECT_EQ(globalLanguage, QStringLiteral("Test.lng"));
    EXPECT_EQ(TranslateString(QStringLiteral("Yes"), QStringLiteral("strYes")),
              QStringLiteral("Test"));

    selectLanguage(globalLanguage, [](TLanguageSelectForm& form) {
        auto* list = form.findChild<QListWidget*>(QStringLiteral("LanguageListView"));
        QListWidgetItem* deutsch = Entry(form, QStringLiteral("Deutsch"));
        list->setCurrentItem(deutsch);
        emit list->itemDoubleClicked(deutsch);
    });
    EXPECT_EQ(globalLanguage, QStringLiteral("Deutsch.lng"));
}

}  // namespace
