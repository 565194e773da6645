// The translation file we ship: it reads as UTF-8, keeps every format's conversions so that
// no German text falls back to English, and covers every fixed text of the forms; Qt's own
// buttons and dialogs follow it. Its access keys, as the English ones, never clash.

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "tests/wizard/support/language_folder_fixture.h"
#include "wizard/forms/about_form.h"
#include "wizard/forms/advanced_params_form.h"
#include "wizard/forms/drive_properties_form.h"
#include "wizard/forms/folder_browser/pb_folder_dialog.h"
#include "wizard/forms/language/language_select_form.h"
#include "wizard/forms/main/main_form_fixture.h"
#include "wizard/forms/preview/properties_form.h"
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
#include "wizard/settings/settings_values.h"
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

// Every window of the program but the main window and the folder browser, made in the
// current language.
std::vector<std::unique_ptr<QWidget>> MakeForms() {
    std::vector<std::unique_ptr<QWidget>> forms;
    for (QWidget* form : std::initializer_list<QWidget*>{
             new TAboutForm(nullptr), new TProbableFileSizeForm, new TFormatPropForm, new TAdvancedParamsForm,
             new TWaitForm(nullptr), new TDrivePropertiesForm, new THelpForm, new TRecoverForm,
             new TRecoveryFileExistsForm, new TRecoveringFilesForm(nullptr),
             new TLanguageSelectForm(LanguageFormInfo{}), new TPropertiesForm}) {
        forms.emplace_back(form);
    }
    return forms;
}

TEST_F(ShippedLanguageTest, EveryFixedTextOfEveryFormHasItsKey) {
    FormatsUnitInit();
    auto mainForm = std::make_unique<QWidget>();
    mainForm->setObjectName(QStringLiteral("MainForm"));
    new TTypesPanel(mainForm.get());
    // Besides the filled texts, the properties form's "..." button has no words to translate.
    const std::map<QString, std::set<QString>> notTranslated = {
        {QStringLiteral("AboutForm"),
         {QStringLiteral("LabelProgramName"), QStringLiteral("LabelProgramDescription"),
          QStringLiteral("LabelProgramVersion"), QStringLiteral("LabelCopyright"), QStringLiteral("LabelUrl"),
          QStringLiteral("LabelSupport")}},
        {QStringLiteral("ProbableFileSizeForm"),
         {QStringLiteral("LabelFileInfoClusterId"), QStringLiteral("LabelFileInfoName"),
          QStringLiteral("LabelFileInfoType"), QStringLiteral("LabelFileInfoCondition")}},
        {QStringLiteral("PropertiesForm"), {QStringLiteral("GeneralFileSpeedButton")}}};
    std::vector<std::unique_ptr<QWidget>> forms = MakeForms();
    forms.push_back(std::move(mainForm));
    for (const auto& form : forms) {
        const QString section = form->objectName();
        SCOPED_TRACE(section.toStdString());
        const auto filled = notTranslated.find(section);
        const std::set<QString> names =
            FixedTextComponents(*form, filled == notTranslated.end() ? std::set<QString>{} : filled->second);
        if (!form->windowTitle().isEmpty()) {  // the wait window has no title bar
            EXPECT_TRUE(CurrentTranslation()->value(section, section + QStringLiteral(".Caption")));
        }
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

TEST_F(ShippedLanguageTest, TheRecoveryDialogsSpeakGermanWithKeysOfRealComponents) {
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

// Access keys: the letter after '&' that Alt presses. Two controls a user reaches at one
// time may not share one: Alt would press the first and never the second.

// The key of a caption as Qt reads it ("Alt+W"), empty when it has none.
QString AccessKey(const QString& caption) { return QKeySequence::mnemonic(caption).toString(); }

// The captions of `widget` itself that Alt reaches, by the name of their control: a
// button's, a label's that hands the key on to its buddy, a tab's, a menu's items'.
std::vector<std::pair<QString, QString>> OwnCaptions(const QWidget& widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
        return {{widget.objectName(), button->text()}};
    if (const auto* label = qobject_cast<const QLabel*>(&widget); label && label->buddy())
        return {{widget.objectName(), label->text()}};
    std::vector<std::pair<QString, QString>> captions;
    if (const auto* tabs = qobject_cast<const QTabWidget*>(&widget)) {
        for (int tab = 0; tab < tabs->count(); ++tab)
            captions.emplace_back(tabs->widget(tab)->objectName(), tabs->tabText(tab));
    }
    if (const auto* menu = qobject_cast<const QMenu*>(&widget)) {
        for (const QAction* item : menu->actions()) {
            const QMenu* submenu = item->menu<QMenu*>();
            captions.emplace_back(submenu ? submenu->objectName() : item->objectName(), item->text());
        }
    }
    return captions;
}

// Key and control.
using Keys = std::vector<std::pair<QString, QString>>;

Keys KeysOf(const QWidget& widget) {
    Keys keys;
    for (const auto& [owner, caption] : OwnCaptions(widget))
        if (!AccessKey(caption).isEmpty()) keys.emplace_back(AccessKey(caption), owner);
    return keys;
}

// The keys Alt reaches at one time in `widget`, once for each choice of the pages its page
// stacks show. Menus and windows of their own are not among them.
std::vector<Keys> KeysTogether(const QWidget& widget) {
    QList<const QWidget*> children;
    for (const QWidget* child : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow()) children << child;
    std::vector<Keys> together;
    if (qobject_cast<const QStackedWidget*>(&widget) && !children.isEmpty()) {
        for (const QWidget* page : children) std::ranges::move(KeysTogether(*page), std::back_inserter(together));
        return together;
    }
    together.push_back(KeysOf(widget));
    for (const QWidget* child : children) {
        std::vector<Keys> combined;
        for (const Keys& these : together) {
            for (const Keys& those : KeysTogether(*child)) {
                combined.push_back(these);
                combined.back().insert(combined.back().end(), those.begin(), those.end());
            }
        }
        together = std::move(combined);
    }
    return together;
}

// "window: Alt+W: first,second" for every key that controls reached at one time share.
void AddClashes(const QString& window, const Keys& keys, std::set<QString>& clashes) {
    std::map<QString, QStringList> owners;
    for (const auto& [key, owner] : keys) owners[key] << owner;
    for (const auto& [key, names] : owners)
        if (names.size() > 1) clashes.insert(QStringList{window, key, names.join(u',')}.join(QStringLiteral(": ")));
}

// The main window on a scripted drive, and every dialog, in English and the shipped German.
class ShippedAccessKeysTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        useScriptedDrives({ScriptedVolume(2, 'C', 1)});
        startUnits();
        SetLanguageFolder(QFileInfo(ShippedFilePath()).path());
    }
    void TearDown() override {
        MainFormTest::TearDown();
        SetLanguageFolder(QString());
    }

    // Notes the clashes in `window` and in each of its menus, and the key of each of its
    // captioned controls by "window.control".
    void check(const QWidget& window, std::map<QString, QString>& keys) {
        const QString name = window.objectName();
        for (const Keys& together : KeysTogether(window)) AddClashes(name, together, clashes);
        for (const QWidget* widget : window.findChildren<QWidget*>()) {
            if (const auto* menu = qobject_cast<const QMenu*>(widget))
                AddClashes(name + u'.' + menu->objectName(), KeysOf(*menu), clashes);
            for (const auto& [owner, caption] : OwnCaptions(*widget))
                if (!owner.isEmpty()) keys[name + u'.' + owner] = AccessKey(caption);
        }
    }

    std::set<QString> clashes;
};

TEST_F(ShippedAccessKeysTest, ControlsReachedTogetherHaveDistinctKeysAndGermanKeepsEveryKey) {
    std::map<QString, QString> english;
    std::map<QString, QString> german;
    for (auto* keys : {&english, &german}) {
        const QString language = keys == &german ? QStringLiteral("Deutsch.lng") : QString();
        Settings().GlobalLanguage = language;
        UseLanguageFile(language);
        destroyForm();
        createForm();
        check(*form, *keys);
        for (const auto& dialog : MakeForms()) check(*dialog, *keys);
        answerNextModalDialog([&](QWidget* browser) {
            check(*browser, *keys);
            static_cast<QDialog*>(browser)->reject();
        });
        EXPECT_FALSE(TPBFolderDialog().Execute());
    }
    EXPECT_EQ(QStringList(clashes.begin(), clashes.end()).join(u'\n').toStdString(), "");
    QStringList lost;
    for (const auto& [control, key] : english)
        if (!key.isEmpty() && german[control].isEmpty()) lost << control;
    EXPECT_EQ(lost.join(u'\n').toStdString(), "");
}

}  // namespace
