// The translation file we ship: it reads as UTF-8, keeps every format's conversions so that
// no German text falls back to English, and covers every fixed text of the forms; Qt's own
// buttons and dialogs follow it.

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "tests/wizard/support/language_folder_fixture.h"
#include "wizard/forms/about_form.h"
#include "wizard/forms/advanced_params_form.h"
#include "wizard/forms/drive_properties_form.h"
#include "wizard/forms/language/language_select_form.h"
#include "wizard/forms/recovery/probable_file_size_form.h"
#include "wizard/forms/recovery/recover_form.h"
#include "wizard/forms/recovery/recovering_files_form.h"
#include "wizard/forms/recovery/recovery_file_exists_form.h"
#include "wizard/forms/types/format_prop_form.h"
#include "wizard/forms/types/types_panel.h"
#include "wizard/forms/wait_form.h"
#include "wizard/help/help_form.h"
#include "wizard/model/formats/builtin_formats.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/recovery/save_name_dialog.h"
#include "wizard/services/prompt_service.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/wait_until.h"

namespace {

QString ShippedFilePath() {
    return qEnvironmentVariable("UNDELETE_TEST_DATA") + QStringLiteral("/../../wizard/languages/Deutsch.lng");
}

class ShippedLanguageTest : public LanguageFolderTest {
protected:
    void SetUp() override {
        LanguageFolderTest::SetUp();
        const QString source = ShippedFilePath();
        ASSERT_TRUE(QFile::copy(source, programFile(QStringLiteral("Deutsch.lng"))))
            << source.toStdString();
        UseLanguageFile(QStringLiteral("Deutsch.lng"));
        ASSERT_NE(CurrentTranslation(), nullptr);
    }
};

TEST_F(ShippedLanguageTest, FormatsKeepTheirConversions) {
    struct Format {
        const char* id;
        QString english;
        std::vector<FormatArgument> arguments;
    };
    const QString text = QStringLiteral("T");
    const std::vector<Format> formats = {
        {"strErrorMessage", "ERROR: %s", {text}},
        {"strErrorMessageAndRetryCount",
         "Error: %s (Retry Count = %d; Current Position: %d)",
         {text, 1, 2}},
        {"strFileFormatRemove", "Do you really want to remove the \"%s\" file format?", {text}},
        {"strFileSystemSearchStarted", "Search on drive %s: started.", {text}},
        {"strMainWelcomeVersion", "%s (build %s), released on %s", {text, text, text}},
        {"strRecoveringFileFromTo", "Recovering file: %s (from %s to %s)", {text, text, text}},
        {"strRecoveryOverwriting", "WARNING: Overwriting file: %s", {text}},
        {"strRecoveryUnreadable",
         "WARNING: File %s recovered with %d unreadable sectors, filled with zeros",
         {text, 3}},
        {"strRecoverySummary", "Files recovered: %d of %d.", {1, 2}},
        {"strRecoverySummaryUnreadable", "With unreadable sectors filled with zeros: %d.", {1}},
        {"strRecoverySummaryNotWritten", "Could not be written: %d (%s).", {1, text}},
        {"strRecoverySummaryCutAtEnd", "Cut short by unreadable sectors at their end: %d.", {1}},
        {"strRecoverySummarySkipped", "Skipped: %d (%s).", {1, text}},
        {"strTargetFolderSystem",
         "%s is the system's root folder or a folder of the system's kernel: recovered files can't be saved there. "
         "Please choose another folder.",
         {text}},
        {"strRecoveryCantCreateFile", "ERROR: Can't create file %s (%s)", {text, text}},
        {"strFileSystemNoFileEntries",
         "No file entries on drive %s: the sector scan of the next step searches it for files by their "
         "contents.",
         {text}},
        {"strLogLineRepeated", "%s (%d times)", {text, 2}},
        {"strScanStopWaitingForDrive", "Stopping: waiting for drive %s to answer...", {text}},
    };
    for (const Format& format : formats) {
        const QString translated = TranslateString(format.english, QString::fromLatin1(format.id));
        EXPECT_NE(translated, format.english) << format.id;
        EXPECT_NE(SafeFormat(translated, format.english, format.arguments),
                  SafeFormat(format.english, format.english, format.arguments))
            << format.id;
    }
}

TEST_F(ShippedLanguageTest, EveryBuiltinCategoryAndDescriptionHasItsGermanText) {
    for (const BuiltinFormat& format : kBuiltinFormats) {
        for (const char* english : {format.Category, format.Description}) {
            const std::optional<QString> german =
                CurrentTranslation()->value(QStringLiteral("FileFormats"), QString::fromLatin1(english));
            EXPECT_TRUE(german && !german->trimmed().isEmpty()) << english;
        }
    }
}

// The names of the components whose text the form's layout sets: labels, buttons, actions
// and tab pages. Texts the code fills in later (`filled`) are not the translation's.
std::set<QString> FixedTextComponents(const QWidget& form, const std::set<QString>& filled) {
    std::set<QString> names;
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) names.insert(label->objectName());
    }
    for (const QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
        if (!button->text().isEmpty() && !qobject_cast<const QTabBar*>(button->parent()))
            names.insert(button->objectName());
    }
    for (const QAction* action : form.findChildren<QAction*>()) {
        if (!action->isSeparator() && !action->text().isEmpty()) names.insert(action->objectName());
    }
    for (const QTabWidget* tabs : form.findChildren<QTabWidget*>()) {
        for (int page = 0; page < tabs->count(); ++page)
            names.insert(tabs->widget(page)->objectName());
    }
    for (const QString& name : filled) names.erase(name);
    names.erase(QString());
    return names;
}

TEST_F(ShippedLanguageTest, EveryFixedTextOfEveryFormHasItsKey) {
    FormatsUnitInit();
    auto mainForm = std::make_unique<QWidget>();
    mainForm->setObjectName(QStringLiteral("MainForm"));
    new TTypesPanel(mainForm.get());
    const std::set<QString> aboutFilled = {
        QStringLiteral("LabelProgramName"), QStringLiteral("LabelProgramDescription"),
        QStringLiteral("LabelProgramVersion"), QStringLiteral("LabelCopyright"),
        QStringLiteral("LabelUrl"), QStringLiteral("LabelSupport")};
    const std::set<QString> probableFilled = {
        QStringLiteral("LabelFileInfoClusterId"), QStringLiteral("LabelFileInfoName"),
        QStringLiteral("LabelFileInfoType"), QStringLiteral("LabelFileInfoCondition")};
    std::vector<std::pair<std::unique_ptr<QWidget>, std::set<QString>>> forms;
    forms.emplace_back(std::move(mainForm), std::set<QString>{});
    forms.emplace_back(std::make_unique<TAboutForm>(nullptr), aboutFilled);
    forms.emplace_back(std::make_unique<TProbableFileSizeForm>(), probableFilled);
    for (QWidget* form : std::initializer_list<QWidget*>{
             new TFormatPropForm, new TAdvancedParamsForm, new TWaitForm(nullptr),
             new TDrivePropertiesForm, new THelpForm, new TRecoverForm, new TRecoveryFileExistsForm,
             new TRecoveringFilesForm(nullptr), new TLanguageSelectForm(LanguageFormInfo{})}) {
        forms.emplace_back(form, std::set<QString>{});
    }
    for (const auto& [form, filled] : forms) {
        const QString section = form->objectName();
        SCOPED_TRACE(section.toStdString());
        if (!form->windowTitle().isEmpty()) {  // the wait window has no title bar
            EXPECT_TRUE(CurrentTranslation()->value(section, section + QStringLiteral(".Caption")));
        }
        const std::set<QString> names = FixedTextComponents(*form, filled);
        EXPECT_FALSE(names.empty());
        for (const QString& name : names) {
            EXPECT_TRUE(CurrentTranslation()->value(
                section, section + u'.' + name + QStringLiteral(".Caption")))
                << name.toStdString();
        }
    }
    forms.clear();
    FormatsUnitDone();
}

// The letters after '&' in the captions of a form's buttons, in lower case.
QStringList MnemonicsOfButtons(const QWidget& form) {
    static const QRegularExpression mnemonic(QStringLiteral("(?<!&)&([^&])"));
    QStringList letters;
    for (const QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
        const QRegularExpressionMatch match = mnemonic.match(button->text());
        if (match.hasMatch()) letters << match.captured(1).toLower();
    }
    return letters;
}

TEST_F(ShippedLanguageTest, TheRecoveryDialogsSpeakGermanWithKeysOfRealComponentsAndDistinctMnemonics) {
    std::vector<std::unique_ptr<QWidget>> forms;
    auto* exists = new TRecoveryFileExistsForm;
    auto* probable = new TProbableFileSizeForm;
    auto* progress = new TRecoveringFilesForm(nullptr);
    forms.emplace_back(new TRecoverForm);
    forms.emplace_back(exists);
    forms.emplace_back(probable);
    forms.emplace_back(progress);

    QFile file(ShippedFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const auto& form : forms) {
        const QString section = form->objectName();
        SCOPED_TRACE(section.toStdString());
        const QRegularExpression key(QStringLiteral("^") + section + QStringLiteral("\\.([A-Za-z0-9]+)\\.Caption="),
                                     QRegularExpression::MultilineOption);
        int keys = 0;
        for (auto match = key.globalMatch(text); match.hasNext(); ++keys) {
            const QString component = match.next().captured(1);
            EXPECT_NE(form->findChild<QObject*>(component), nullptr) << component.toStdString();
        }
        EXPECT_GT(keys, 5);
        EXPECT_EQ(form->windowTitle(), CurrentTranslation()->value(section, section + QStringLiteral(".Caption")));

        QStringList mnemonics = MnemonicsOfButtons(*form);
        const qsizetype count = mnemonics.size();
        mnemonics.removeDuplicates();
        EXPECT_EQ(mnemonics.size(), count) << mnemonics.join(u',').toStdString();
    }

    // The translated formats keep their conversions, so none falls back to English.
    exists->ShowPath(QStringLiteral("/ziel/bild.jpg"));
    EXPECT_EQ(exists->windowTitle(), QStringLiteral("[bild.jpg] Datei existiert bereits"));
    EXPECT_TRUE(exists->findChild<QLabel*>(QStringLiteral("FilenameLabel"))->text().startsWith(
        QStringLiteral("Die Datei „/ziel/bild.jpg“")));
    probable->Fill({QStringLiteral("JPEG-Bild"), 7, QStringLiteral("a.jpg"), QStringLiteral("Gelöscht"), 64});
    EXPECT_TRUE(probable->findChild<QLabel*>(QStringLiteral("LabelTop"))->text().startsWith(
        QStringLiteral("Eine Datei vom Typ „JPEG-Bild“")));
    progress->SetFileCount(4);
    progress->ShowTotal(1, 4);
    progress->ShowFile(QStringLiteral("a.jpg"), QStringLiteral("1.024"));
    EXPECT_EQ(progress->findChild<QLabel*>(QStringLiteral("TotalPercentLabel"))->text(), QStringLiteral("2 von 4"));
    EXPECT_EQ(progress->findChild<QLabel*>(QStringLiteral("FilenameLabel"))->text(),
              QStringLiteral("a.jpg (1.024 Bytes)"));
    progress->ShowFile(QStringLiteral("image_0001.JPG"), QString());
    EXPECT_EQ(progress->findChild<QLabel*>(QStringLiteral("FilenameLabel"))->text(), QStringLiteral("image_0001.JPG"));
}

// Qt's own parts speak German as well: the standard buttons of a question, and the whole
// save dialog, also the size, type and date that Qt writes in the machine's locale.
TEST_F(ShippedLanguageTest, QtsButtonsAndTheSaveDialogSpeakGerman) {
    QStringList buttons;
    answerNextModalDialog([&buttons](QWidget* dialog) {
        for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) buttons << button->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(PromptService::standard().ask({QString(), QString(), PromptButtons::YesNoCancel}), kPromptCancel);
    EXPECT_EQ(buttons.join(u'|').toStdString(), "&Ja|&Nein|Abbrechen");

    ASSERT_TRUE(QDir(programFile(QString())).mkdir(QStringLiteral("ziel")));
    writeProgramFile(QStringLiteral("ziel/bild.jpg"), "0123456789");
    QStringList texts;
    QStringList row;
    answerNextModalDialog([&](QWidget* dialog) {
        texts << dialog->windowTitle();
        for (const char* label : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
            texts << dialog->findChild<QLabel*>(QString::fromLatin1(label))->text();
        }
        for (const QPushButton* button : dialog->findChildren<QPushButton*>()) texts << button->text();
        const auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        const QAbstractItemModel& files = *view->model();
        const auto cell = [&](int column) { return files.index(0, column, view->rootIndex()).data().toString(); };
        EXPECT_TRUE(waitUntil([&] { return files.rowCount(view->rootIndex()) == 1 && !cell(2).isEmpty(); }));
        for (int column = 0; column < 4; ++column) {
            texts << files.headerData(column, Qt::Horizontal).toString();
            row << cell(column);
        }
        static_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_EQ(AskSaveName(nullptr, programFile(QStringLiteral("ziel")), QStringLiteral("bild.jpg")), std::nullopt);
    EXPECT_EQ(texts.join(u'|').toStdString(), "Speichern unter|Suchen in:|Datei&name:|Dateien des Typs:|"
                                              "S&peichern|Abbrechen|Name|Größe|Typ|Änderungsdatum");
    // The date as German writes it, with no English month name.
    static const QRegularExpression german(QStringLiteral("^bild\\.jpg\\|10 Bytes\\|JPEG-Bild\\|[\\d.]{8} [\\d:]{5}$"));
    EXPECT_TRUE(german.match(row.join(u'|')).hasMatch()) << row.join(u'|').toStdString();
}

}  // namespace
