// The recovery dialogs: texts, button sets, results, help, progress and Abort.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <functional>

#include "engine/messages.h"
#include "platform/messages.h"
#include "wizard/forms/folder_browser/pb_folder_dialog.h"
#include "wizard/forms/recovery/probable_file_size_form.h"
#include "wizard/forms/recovery/recover_form.h"
#include "wizard/forms/recovery/recovering_files_form.h"
#include "wizard/forms/recovery/recovery_file_exists_form.h"
#include "wizard/settings/settings_store.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/target_folder_answers.h"
#include "wizard/support/wait_until.h"
#include "wizard/support/wizard_test.h"
#include "wizard/translation/translation.h"

namespace {

template <typename Widget = QPushButton>
Widget* Child(const QObject* parent, const char* name) {
    auto* found = parent->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class RecoveryDialogsTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        LoadSettings();
    }
    void TearDown() override {
        SetCurrentTranslation(nullptr);
        WizardTest::TearDown();
    }
    static void Translate(const QString& text) {
        SetCurrentTranslation(std::make_shared<const LanguageFile>(LanguageFile::parse(text)));
    }
};

TEST_F(RecoveryDialogsTest, TheDestinationBrowserStartsAtTheEditedFolderOnly) {
    TRecoverForm form;
    TPBFolderDialog* browser = form.BrowseForFolder();
    browser->SetFolder(QStringLiteral("/earlier"));
    answerNextModalDialog([](QWidget* dialog) { Child(dialog, "CancelButton")->click(); });
    Child(&form, "DestinationFolderBrowse")->click();
    EXPECT_EQ(browser->Folder(), QStringLiteral("/earlier"));
    EXPECT_TRUE(Child<QLineEdit>(&form, "DestinationFolderEdit")->text().isEmpty());

    const QString folder = QString::fromStdString(workFolder().string());
    form.SetDestinationFolder(folder);
    answerNextModalDialog([](QWidget* dialog) { Child(dialog, "OkButton")->click(); });
    Child(&form, "DestinationFolderBrowse")->click();
    EXPECT_EQ(form.DestinationFolder(), folder);

    const int heightWithout = form.height();
    form.ShowKeepFolderStructure();
    EXPECT_TRUE(Child<QCheckBox>(&form, "CheckBoxKeepFolderStructure")->isVisibleTo(&form));
    EXPECT_GT(form.height(), heightWithout);
    Child(&form, "ButtonHelp")->click();
    EXPECT_EQ(help.topics, QStringList{QStringLiteral("/files/recovery.recover.html")});
}

TEST_F(RecoveryDialogsTest, OkWantsAFullPathAndABrowserWithoutAFolderChangesNothing) {
    const QString folder = QString::fromStdString(workFolder().string());
    TRecoverForm form;
    form.SetDestinationFolder(folder);
    answerNextModalDialog([&](QWidget* dialog) {
        auto* edit = Child<QLineEdit>(dialog, "DestinationFolderEdit");
        answerNextModalDialog(ChooseComputerItem);
        Child(dialog, "DestinationFolderBrowse")->click();
        EXPECT_EQ(edit->text(), folder);

        // The first item below Computer is the root folder: one click puts it in the edit.
        answerNextModalDialog(ChooseRootFolderItem);
        Child(dialog, "DestinationFolderBrowse")->click();
        EXPECT_EQ(edit->text(), QStringLiteral("/"));

        const QString file = folder + QStringLiteral("/plain");
        std::ofstream(file.toStdString()) << "x";
        const std::pair<QString, QString> refused[] = {
            {QStringLiteral("/"), SystemFolderRefusal(QStringLiteral("/"))}, {QString(), kTargetFolderRefusal},
            {QStringLiteral("Recovered Files"), kTargetFolderRefusal},      {file, NotAFolderRefusal(file)},
            {folder + QStringLiteral("//sub"), kTargetFolderRefusal}};
        for (const auto& [text, refusal] : refused) {
            edit->setText(text);
            Child(dialog, "ButtonCancel")->setFocus();
            prompts.expect(refusal, kPromptOk);
            Child(dialog, "ButtonOk")->click();
            EXPECT_TRUE(dialog->isVisible()) << text.toStdString();
            EXPECT_EQ(dialog->focusWidget(), edit) << text.toStdString();
            EXPECT_EQ(edit->selectedText(), text) << "to be typed over";
        }
        edit->setText(folder);
        Child(dialog, "ButtonOk")->click();
    });
    EXPECT_EQ(form.exec(), TRecoverForm::kResultOk);
    EXPECT_EQ(form.DestinationFolder(), folder);
    ASSERT_EQ(prompts.shown().size(), 5u);
    EXPECT_EQ(prompts.shown().front().icon, PromptIcon::Warning);
}

TEST_F(RecoveryDialogsTest, TheRenameBoxSwapsTheButtonSetsAndEachButtonGivesItsResult) {
    const struct {
        const char* button;
        bool rename;
        int result;
    } cases[] = {
        {"YesButton", false, 6}, {"YesToAllButton", false, 10}, {"NoButton", false, 7},
        {"NoToAllButton", false, 9}, {"CancelButton", false, 2}, {"OkButton", true, 1},
    };
    for (const auto& c : cases) {
        answerNextModalDialog([c](QWidget* dialog) {
            auto* rename = Child<QCheckBox>(dialog, "RenameCheckBox");
            rename->setChecked(true);
            EXPECT_FALSE(Child(dialog, "YesButton")->isVisible());
            EXPECT_TRUE(Child(dialog, "OkButton")->isVisible());
            EXPECT_TRUE(Child(dialog, "CancelButton")->isVisible());
            rename->setChecked(c.rename);
            EXPECT_EQ(Child(dialog, "NoToAllButton")->isVisible(), !c.rename);
            Child(dialog, c.button)->click();
        });
        EXPECT_EQ(ShowFileExistsDialog(QStringLiteral("/t/a.txt")), c.result) << c.button;
    }
    answerNextModalDialog([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_EQ(ShowFileExistsDialog(QStringLiteral("/t/a.txt")), 2);
}

TEST_F(RecoveryDialogsTest, FileExistsTextsTakeTheNameAndPathAndSurviveHostileTranslations) {
    TRecoveryFileExistsForm plain;
    plain.ShowPath(QStringLiteral("/target/%s photo.jpg"));
    EXPECT_EQ(plain.windowTitle(), QStringLiteral("[%s photo.jpg] File Exists"));
    EXPECT_EQ(Child<QLabel>(&plain, "FilenameLabel")->text(),
              QStringLiteral("File \"/target/%s photo.jpg\" already exists. Do you want to overwrite it?"));
    EXPECT_EQ(Child<QLabel>(&plain, "FilenameLabel")->textFormat(), Qt::PlainText);
    // Plain quotes around the example names, as a person writes them.
    EXPECT_TRUE(Child<QLabel>(&plain, "RenameNoteLabel")
                    ->text()
                    .contains(QStringLiteral(" \"filename.ext\" will be renamed to \"filename_1.ext\", ")));

    Translate(QStringLiteral("[RecoveryFileExistsForm]\nRecoveryFileExistsForm.Caption=[%s%s%n] File Exists\n"
                             "RecoveryFileExistsForm.FilenameLabel.Caption=Datei \"%s\" gibt es schon.\n"));
    TRecoveryFileExistsForm translated;
    translated.ShowPath(QStringLiteral("/target/a.txt"));
    EXPECT_EQ(translated.windowTitle(), QStringLiteral("[a.txt] File Exists"));
    EXPECT_EQ(Child<QLabel>(&translated, "FilenameLabel")->text(), QStringLiteral("Datei \"/target/a.txt\" gibt es schon."));
}

TEST_F(RecoveryDialogsTest, TheProbableSizeDialogShowsTheFileAndReadsWholeKilobytes) {
    const struct {
        const char* text;
        std::optional<std::int32_t> kb;
    } sizes[] = {{"12", 12}, {" 7 ", 7}, {"2147483647", 2147483647}, {"0", {}}, {"-5", {}},
                 {"abc", {}}, {"2147483648", {}}, {"1.5", {}}, {"", {}}};
    for (const auto& size : sizes) EXPECT_EQ(ParseSizeKb(QString::fromLatin1(size.text)), size.kb) << size.text;

    TProbableFileSizeForm form;
    form.Fill({QStringLiteral("JPEG Image"), 4711, QStringLiteral("image_3.jpg"), QStringLiteral("Deleted "), 3072});
    EXPECT_TRUE(Child<QLabel>(&form, "LabelTop")->text().startsWith(QStringLiteral("The file of the 'JPEG Image' type")));
    EXPECT_EQ(Child<QLabel>(&form, "LabelDefaultProbableSize")->text(), QStringLiteral("3072"));
    EXPECT_EQ(form.NewSizeKb(), 3072);
    EXPECT_EQ(form.SelectedUse(), TProbableFileSizeForm::UseFor::AllFilesInSession);
    Child(&form, "BottomButtonHelp")->click();
    EXPECT_EQ(help.topics, QStringList{QStringLiteral("/files/recovery.probablesize.html")});
}

TEST_F(RecoveryDialogsTest, ProgressMessagesMoveTheBarAndRepeatAStopAskedFor) {
    std::int32_t workFlag = 1;
    TRecoveringFilesForm window(&workFlag);
    window.show();
    auto* bar = Child<QProgressBar>(&window, "FileProgressBar");
    ASSERT_TRUE(PostMessageW(window.ProgressWindow(), WM_ENGINE_RECOVERY_PROGRESS, 0, 40));
    ASSERT_TRUE(waitUntil([&] { return bar->value() == 40; }));
    EXPECT_EQ(workFlag, 1);

    prompts.expect(QStringLiteral("Are you sure you want to stop recovery?"), kPromptNo);
    Child(&window, "AbortButton")->click();
    EXPECT_FALSE(window.AbortRequested());
    Settings().ConfirmationsRecoveryAbort = false;
    Child(&window, "AbortButton")->click();
    EXPECT_TRUE(window.AbortRequested());
    EXPECT_EQ(workFlag, 0);
    // The engine sets the flag again when its next file starts; the next message clears it.
    std::atomic_ref<std::int32_t>(workFlag).store(1);
    ASSERT_TRUE(PostMessageW(window.ProgressWindow(), WM_ENGINE_RECOVERY_PROGRESS, 0, 60));
    ASSERT_TRUE(waitUntil([&] { return bar->value() == 60; }));
    EXPECT_EQ(workFlag, 0);

    window.ShowOkButton();
    Child(&window, "OkButton")->click();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(RecoveryDialogsTest, ReturnTakesEachDialogsDefaultAndEscCancels) {
    // Return on the recover form and on the finished progress: the keyboard run of the
    // main form.
    const auto recover = [] {
        TRecoverForm form;
        return form.exec();
    };
    const auto probableSize = [] {
        TProbableFileSizeForm form;
        form.Fill({QStringLiteral("JPEG Image"), 1, QStringLiteral("a.jpg"), QStringLiteral("Deleted"), 64});
        return form.exec();
    };
    const auto fileExists = [] { return ShowFileExistsDialog(QStringLiteral("/t/a.txt")); };
    const struct {
        const char* dialog;
        std::function<int()> run;
        Qt::Key key;
        int result;
    } cases[] = {
        {"recover", recover, Qt::Key_Escape, TRecoverForm::kResultCancel},
        {"probable size", probableSize, Qt::Key_Return, TProbableFileSizeForm::kResultOk},
        {"probable size", probableSize, Qt::Key_Escape, TProbableFileSizeForm::kResultCancel},
        {"file exists", fileExists, Qt::Key_Return, TRecoveryFileExistsForm::kResultNo},
    };
    for (const auto& c : cases) {
        // On whatever the dialog gave the focus, as a user would press it.
        answerNextModalDialog([key = c.key](QWidget* dialog) {
            QWidget* focus = dialog->focusWidget();
            QTest::keyClick(focus ? focus : dialog, key);
        });
        EXPECT_EQ(c.run(), c.result) << c.dialog << " " << QKeySequence(c.key).toString().toStdString();
    }

    std::int32_t workFlag = 1;
    TRecoveringFilesForm window(&workFlag);
    window.show();
    window.ShowOkButton();
    QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible()) << "the finished progress closes by its OK";
    EXPECT_EQ(workFlag, 1);
}

TEST_F(RecoveryDialogsTest, ProgressTextsAndSizeLimits) {
    EXPECT_EQ(MinimumProgressSize(120), QSize(500, 375));

    Translate(QStringLiteral("[RecoveringFilesForm]\nRecoveringFilesForm.TotalPercentLabel.Caption=%d of %d of %s\n"
                             "RecoveringFilesForm.FilenameLabel.Caption=%s: %s Bytes\n"));
    std::int32_t workFlag = 1;
    TRecoveringFilesForm window(&workFlag);
    window.SetFileCount(3);
    window.ShowTotal(0, 3);
    window.ShowFile(QStringLiteral("%n.txt"), QStringLiteral("1,024"));
    EXPECT_EQ(Child<QLabel>(&window, "TotalPercentLabel")->text(), QStringLiteral("1 of 3"));
    EXPECT_EQ(Child<QLabel>(&window, "FilenameLabel")->text(), QStringLiteral("%n.txt: 1,024 Bytes"));
    window.Log(QStringLiteral("<b>not bold</b>"));
    EXPECT_EQ(window.LogMemo()->toPlainText(), QStringLiteral("<b>not bold</b>"));
}

}  // namespace
