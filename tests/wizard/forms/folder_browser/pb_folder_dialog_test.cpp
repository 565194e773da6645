// The folder browser: captions by language, status texts, the Computer item and New folder.

#include <QDialog>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "wizard/forms/folder_browser/folder_dialog_captions.h"
#include "wizard/forms/folder_browser/folder_dialog_paths.h"
#include "wizard/forms/folder_browser/folder_tree_model.h"
#include "wizard/forms/folder_browser/pb_folder_dialog.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/wizard_test.h"
#include "wizard/translation/translation.h"

namespace fs = std::filesystem;

namespace {

TEST(FolderDialogCaptions, TheSystemLanguagePicksTheTexts) {
    const struct {
        QLocale locale;
        const char* key;
        const char* newFolder;
        const char* title;
    } cases[] = {
        {QLocale(QLocale::German, QLocale::Germany), "0407", "Neuer Ordner", "Ausgewählter Ordner:"},
        {QLocale(QLocale::French, QLocale::Canada), "0C0C", "Nouveau Dossier", "Dossier Courant:"},
        {QLocale(QLocale::Zulu, QLocale::SouthAfrica), "0000", "New folder", "Current folder:"},
    };
    const QLocale saved;
    for (const auto& c : cases) {
        QLocale::setDefault(c.locale);
        const TPBFolderDialog dialog;
        EXPECT_EQ(dialog.LanguageKey(), QString::fromLatin1(c.key));
        EXPECT_EQ(dialog.NewFolderCaption(), QString::fromUtf8(c.newFolder)) << c.key;
        EXPECT_EQ(dialog.TitleText(), QString::fromUtf8(c.title)) << c.key;
    }
    QLocale::setDefault(saved);
}

TEST(FolderDialogCaptions, AnEntryOfTheKeyElseDefaultElseTheFirst) {
    const QStringList list{"0407=Deutsch", "DEFAULT=Standard", "0c0c=Canadien"};
    EXPECT_EQ(PickCaption(list, "0C0C"), "Canadien");
    EXPECT_EQ(PickCaption(list, "0419"), "Standard");
    EXPECT_EQ(PickCaption({"0407=Deutsch", "0409=English"}, "0419"), "Deutsch");
    EXPECT_EQ(PickCaption({}, "0407"), "");
    EXPECT_EQ(PickCaption({"0407=a=b"}, "0407"), "a=b");
}

TEST(FolderDialogPaths, LongPathsKeepTheirRootAndLastFolders) {
    const QString fifty = "/" + QString(49, 'a');
    const struct {
        QString path;
        QString shown;
    } cases[] = {
        {"/home/user/Documents", "/home/user/Documents"},
        {fifty, fifty},
        {"/home/user/Documents/Recovered Files/2023/photos/album",
         "/.../Documents/Recovered Files/2023/photos/album"},
        {"/" + QString(60, 'x'), "/" + QString(49, 'x')},
        {"/a/" + QString(60, 'x'), "/a/" + QString(47, 'x')},
        {"/a/b/" + QString(60, 'x'), "/.../" + QString(60, 'x').left(42) + "..."},
    };
    for (const auto& c : cases) EXPECT_EQ(ShortenStatusPath(c.path), c.shown) << c.path.toStdString();
    EXPECT_EQ(ShortenStatusPath("/a/b/c/d", 5), "/a/b/");
}

TEST(FolderDialogPaths, NewFoldersJoinWithOneDelimiter) {
    EXPECT_EQ(JoinNewFolderPath("/data", "new"), "/data/new");
    EXPECT_EQ(JoinNewFolderPath("/data", "/new"), "/data/new");
    EXPECT_EQ(JoinNewFolderPath("/", "new"), "/new");
}

class FolderDialogTest : public WizardTest {
protected:
    // Runs `action` with each browser window as it opens, counting from 1, once its modal
    // loop runs.
    void OnEachOpen(TPBFolderDialog& dialog, std::function<void(QDialog*, int)> action) {
        QObject::connect(&dialog, &TPBFolderDialog::Initialized, &dialog, [this, action](QDialog* window) {
            const int count = ++opened;
            QTimer::singleShot(0, window, [action, window, count] { action(window, count); });
        });
    }
    static QString Current(QDialog* window) {
        auto* tree = window->findChild<QTreeView*>(QStringLiteral("FolderTree"));
        return static_cast<FolderTreeModel*>(tree->model())->Path(tree->currentIndex());
    }
    static void NewFolder(QDialog* window, const QString& name) {
        answerNextModalDialog([name](QWidget* input) {
            auto* box = qobject_cast<QInputDialog*>(input);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("New folder"));
            box->setTextValue(name);
            box->accept();
        });
        window->findChild<QPushButton*>(QStringLiteral("NewFolderButton"))->click();
    }
    QString Work(const char* below = nullptr) const {
        return QString::fromStdString((below ? workFolder() / below : workFolder()).string());
    }

    int opened = 0;
};

// Even Cancel keeps the folder made, and names it.
TEST_F(FolderDialogTest, ANewFolderIsMadeWithItsParentsAndSelectedWhenTheBrowserReopens) {
    for (const bool ok : {true, false}) {
        const char* made = ok ? "made/deeper" : "fresh";
        TPBFolderDialog dialog;
        dialog.SetFolder(Work());
        opened = 0;
        OnEachOpen(dialog, [this, ok, made](QDialog* window, int count) {
            if (count == 1) {
                EXPECT_EQ(Current(window), Work());
                EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("StatusLabel"))->text(), ShortenStatusPath(Work()));
                NewFolder(window, made);
            } else {
                EXPECT_EQ(Current(window), Work(made));
                window->findChild<QPushButton*>(QString::fromLatin1(ok ? "OkButton" : "CancelButton"))->click();
            }
        });
        EXPECT_EQ(dialog.Execute(), ok);
        EXPECT_EQ(opened, 2);
        EXPECT_EQ(dialog.Folder(), Work(made));
        EXPECT_TRUE(fs::is_directory(workFolder() / made));
    }
}

TEST_F(FolderDialogTest, AFolderThatCannotBeMadeIsReportedAndTheBrowserReopensWhereItWas) {
    std::ofstream(workFolder() / "blocker") << "a file";
    prompts.expect(QString::fromStdString(std::make_error_code(std::errc::not_a_directory).message()), kPromptOk);
    TPBFolderDialog dialog;
    dialog.SetFolder(Work());
    OnEachOpen(dialog, [this](QDialog* window, int count) {
        if (count == 1) {
            NewFolder(window, "blocker/new");
        } else {
            EXPECT_EQ(Current(window), Work());
            window->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
        }
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(prompts.shown().front().caption, QStringLiteral("New folder"));
    EXPECT_EQ(dialog.Folder(), Work());
}

TEST_F(FolderDialogTest, TheComputerItemHasANameButNoPath) {
    for (const bool onlyFileSystem : {false, true}) {
        TPBFolderDialog dialog;
        dialog.SetRootFolder(TSHFolders::foMyComputer);
        dialog.SetFlags(onlyFileSystem ? BrowseInfoFlag::ShowPath | BrowseInfoFlag::OnlyFileSystem
                                       : TBrowseInfoFlags(BrowseInfoFlag::ShowPath));
        QString selected = QStringLiteral("unset");
        QObject::connect(&dialog, &TPBFolderDialog::SelectionChanged, &dialog,
                         [&](QDialog*, const QString& folder) { selected = folder; });
        OnEachOpen(dialog, [&](QDialog* window, int) {
            EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("StatusLabel"))->text(), QStringLiteral("Computer"));
            EXPECT_FALSE(window->findChild<QPushButton*>(QStringLiteral("NewFolderButton"))->isEnabled());
            auto* ok = window->findChild<QPushButton*>(QStringLiteral("OkButton"));
            EXPECT_EQ(ok->isEnabled(), !onlyFileSystem);
            window->findChild<QPushButton*>(QString::fromLatin1(onlyFileSystem ? "CancelButton" : "OkButton"))->click();
        });
        EXPECT_EQ(dialog.Execute(), !onlyFileSystem);
        EXPECT_TRUE(selected.isEmpty());
        opened = 0;
    }
}

TEST_F(FolderDialogTest, TheBrowsersOwnCaptionsFollowTheTranslation) {
    SetCurrentTranslation(std::make_shared<const LanguageFile>(LanguageFile::parse(QStringLiteral(
        "[Misc]\nstrBrowseForFolder=Ordner auswählen\nstrOK=Übernehmen\nstrCancel=Abbrechen\n"
        "strComputer=Rechner\n"))));
    TPBFolderDialog dialog;
    dialog.SetRootFolder(TSHFolders::foMyComputer);
    QStringList shown;
    OnEachOpen(dialog, [&](QDialog* window, int) {
        auto* tree = window->findChild<QTreeView*>(QStringLiteral("FolderTree"));
        shown << window->windowTitle() << window->findChild<QPushButton*>(QStringLiteral("OkButton"))->text()
              << window->findChild<QPushButton*>(QStringLiteral("CancelButton"))->text()
              << tree->model()->index(0, 0).data().toString()
              << window->findChild<QLabel*>(QStringLiteral("StatusLabel"))->text();
        window->reject();
    });
    EXPECT_FALSE(dialog.Execute());
    SetCurrentTranslation(nullptr);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Ordner auswählen"), QStringLiteral("Übernehmen"),
                                  QStringLiteral("Abbrechen"), QStringLiteral("Rechner"),
                                  QStringLiteral("Rechner")}));
}

TEST_F(FolderDialogTest, TheButtonFollowsItsPropertiesWhileOpen) {
    TPBFolderDialog dialog;
    OnEachOpen(dialog, [&](QDialog* window, int) {
        auto* button = window->findChild<QPushButton*>(QStringLiteral("NewFolderButton"));
        dialog.SetNewFolderCaptions({"Default=Make one"});
        dialog.SetNewFolderVisible(false);
        EXPECT_EQ(button->text(), QStringLiteral("Make one"));
        EXPECT_FALSE(button->isVisible());
        window->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    });
    EXPECT_FALSE(dialog.Execute());
}

}  // namespace
