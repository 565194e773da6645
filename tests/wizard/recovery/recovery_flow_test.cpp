// Whole recovery runs: destinations, folders, names taken and the answers about them.

#include <sys/stat.h>

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "wizard/forms/recovery/recover_form.h"
#include "wizard/recovery/recovery_flow_fixture.h"
#include "wizard/support/modal_dialog_driver.h"

namespace fs = std::filesystem;

namespace {

void Click(QWidget* dialog, const char* button) {
    auto* found = dialog->findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(found, nullptr) << button;
    found->click();
}

TEST_F(RecoveryFlowTest, TheDestinationDialogStoresTheFolderWithItsDelimiter) {
    AddFile(u"a.txt", u"C:\\Docs\\", 10);
    UseTarget(false, false);
    answerNextModalDialog([](QWidget* dialog) { Click(dialog, "ButtonCancel"); });
    EXPECT_FALSE(flow->DoRealRecovery(true));
    EXPECT_EQ(flow->ProgressWindow(), nullptr);

    const QString chosen = QString::fromStdString((workFolder() / "chosen").string());
    answerNextModalDialog([&](QWidget* dialog) {
        auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("CheckBoxKeepFolderStructure"));
        EXPECT_TRUE(box->isVisibleTo(dialog));
        box->setChecked(true);
        dialog->findChild<QLineEdit*>(QStringLiteral("DestinationFolderEdit"))->setText(chosen);
        Click(dialog, "ButtonOk");
    });
    EXPECT_TRUE(flow->DoRealRecovery(true));
    EXPECT_EQ(Settings().RecoveryTargetFolder, chosen + u'/');
    EXPECT_TRUE(Settings().RecoveryKeepFolderStructure);
    EXPECT_TRUE(HoldsPattern(workFolder() / "chosen" / "Docs" / "a.txt", 1, 10));
    EXPECT_EQ(host.recovered[0], 1);

    // The sector list has no such box: the stored choice comes back unchanged.
    answerNextModalDialog([](QWidget* dialog) {
        EXPECT_FALSE(dialog->findChild<QCheckBox*>(QStringLiteral("CheckBoxKeepFolderStructure"))->isVisibleTo(dialog));
        Click(dialog, "ButtonOk");
    });
    answerNextModalDialog([](QWidget* dialog) { Click(dialog, "YesButton"); });
    EXPECT_TRUE(flow->DoRealRecovery(false));
    EXPECT_TRUE(Settings().RecoveryKeepFolderStructure);
    EXPECT_EQ(host.recovered[1], 1);
}

TEST_F(RecoveryFlowTest, AnEmptySelectionMakesNothingAndAnUncreatableTargetEndsTheRun) {
    UseTarget();
    EXPECT_TRUE(flow->DoRealRecovery(false));
    EXPECT_EQ(LogLines(), QStringList({"Recovery started.", "Recovery finished.", "Files recovered: 0 of 0."}));
    EXPECT_FALSE(fs::exists(target()));
    EXPECT_FALSE(host.lastListAsked);

    // Every file of the run counts, not only the one that found the folder missing.
    Write(target(), "a file, not a folder");
    AddFile(u"a.txt", u"C:\\", 10);
    AddFile(u"b.txt", u"C:\\", 10);
    EXPECT_FALSE(flow->DoRealRecovery(true));
    const QStringList expected{QStringLiteral("Recovery started."),
                               "Can't create folder " + Settings().RecoveryTargetFolder,
                               QStringLiteral("Recovery aborted!"),
                               QStringLiteral("Files recovered: 0 of 2. "
                                              "Could not be written: 2 (folder can't be created).")};
    EXPECT_EQ(LogLines(), expected);
}

TEST_F(RecoveryFlowTest, HostilePathsAndNamesStayInsideTheTarget) {
    UseTarget(true, true);
    AddFile(u"a/b", u"C:\\..\\..\\etc\\", 5);
    AddFile(u"a:b", u"C:\\x\\", 7);
    AddFile(u"a_b", u"C:\\x\\", 8);
    EXPECT_TRUE(flow->DoRealRecovery(true));
    EXPECT_TRUE(HoldsPattern(target() / "_" / "_" / "etc" / "a_b", 1, 5));
    EXPECT_TRUE(HoldsPattern(target() / "x" / "a_b", 2, 7));
    // Both survive: the second takes a numbered name.
    EXPECT_TRUE(HoldsPattern(target() / "x" / "a_b_1", 3, 8));
    EXPECT_EQ(host.recovered[0], 3);
    const QString real = QString::fromStdString(fs::canonical(target()).string());
    EXPECT_TRUE(Logged("Recovering file: a:b (from C:\\x\\ to " + real + "/x/)"));
    EXPECT_TRUE(Logged("WARNING: Auto-rename file to: " + real + "/x/a_b_1"));
}

TEST_F(RecoveryFlowTest, PlantedLinksAreNeverWrittenThrough) {
    UseTarget(true, true);
    const fs::path outside = workFolder() / "outside";
    fs::create_directories(outside);
    fs::create_directories(target());
    fs::create_directory_symlink(outside, target() / "Linked");
    fs::create_symlink(outside / "victim", target() / "link.txt");
    AddFile(u"in-link.txt", u"C:\\Linked\\", 4);
    AddFile(u"link.txt", u"C:\\", 5);
    EXPECT_TRUE(flow->DoRealRecovery(true));
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_TRUE(Logged("Can't create folder " + Settings().RecoveryTargetFolder + "Linked/"));
    // Dangling links and fifos are names taken too: the placement's own test.
    EXPECT_TRUE(HoldsPattern(target() / "link_1.txt", 2, 5));
    EXPECT_EQ(host.recovered[0], 1);
}

TEST_F(RecoveryFlowTest, WithoutConfirmationEarlierFilesAreOverwrittenButNotFilesOfTheRun) {
    UseTarget();
    Settings().ConfirmationsFileOverwrite = false;
    Write(target() / "IMG_0001.JPG", "earlier");
    AddFile(u"IMG_0001.JPG", u"C:\\DCIM\\", 100);
    AddFile(u"IMG_0001.JPG", u"C:\\DCIM\\", 200);
    EXPECT_TRUE(flow->DoRealRecovery(true));
    EXPECT_TRUE(HoldsPattern(target() / "IMG_0001.JPG", 1, 100));
    EXPECT_TRUE(HoldsPattern(target() / "IMG_0001_1.JPG", 2, 200));
    const QString real = QString::fromStdString(fs::canonical(target()).string());
    EXPECT_TRUE(Logged("WARNING: Overwriting file: " + real + "/IMG_0001.JPG"));
    EXPECT_EQ(host.fileExistsAnswer, 10);

    // A rerun overwrites the earlier file again; the second file's numbered name is taken
    // by a file from before the rerun, so it takes the next one.
    elements.front()->SetSize(50);
    EXPECT_TRUE(flow->DoRealRecovery(true));
    EXPECT_TRUE(HoldsPattern(target() / "IMG_0001.JPG", 1, 50));
    EXPECT_TRUE(HoldsPattern(target() / "IMG_0001_1.JPG", 2, 200));
    EXPECT_TRUE(HoldsPattern(target() / "IMG_0001_2.JPG", 2, 200));
}

TEST_F(RecoveryFlowTest, TheFileExistsAnswersLastAsLongAsTheySay) {
    UseTarget();
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) Write(target() / name, "old");
    AddFile(u"a.txt", u"C:\\", 1);
    AddFile(u"b.txt", u"C:\\", 2);
    AddFile(u"c.txt", u"C:\\", 3);

    // Yes asks again, Yes to all no more.
    answerNextModalDialog([](QWidget* dialog) { Click(dialog, "YesButton"); });
    answerNextModalDialog([](QWidget* dialog) { Click(dialog, "YesToAllButton"); });
    EXPECT_TRUE(flow->DoRealRecovery(true));
    EXPECT_TRUE(HoldsPattern(target() / "c.txt", 3, 3));

    // OK in rename mode renames this and every later file without asking.
    answerNextModalDialog([](QWidget* dialog) {
        dialog->findChild<QCheckBox*>(QStringLiteral("RenameCheckBox"))->setChecked(true);
        Click(dialog, "OkButton");
    });
    EXPECT_TRUE(flow->DoRealRecovery(true));
    EXPECT_TRUE(HoldsPattern(target() / "a_1.txt", 1, 1));
    EXPECT_TRUE(HoldsPattern(target() / "c_1.txt", 3, 3));

    // Cancel ends the run.
    answerNextModalDialog([](QWidget* dialog) { Click(dialog, "CancelButton"); });
    EXPECT_FALSE(flow->DoRealRecovery(true));
    EXPECT_TRUE(Logged("Recovery aborted!"));
    EXPECT_EQ(engine->Calls().size(), 6u);
}

TEST_F(RecoveryFlowTest, NoToAllOpensTheSaveDialogWhichRefusesLinksAndAsksBeforeReplacing) {
    UseTarget();
    Write(target() / "a.txt", "old a");
    Write(target() / "b.txt", "old b");
    Write(target() / "other.txt", "old other");
    fs::create_symlink(workFolder() / "victim", target() / "link.txt");
    AddFile(u"a.txt", u"C:\\", 11);
    AddFile(u"b.txt", u"C:\\", 12);
    const auto save = [](const fs::path& file) {
        return [file](QWidget* dialog) {
            auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
            ASSERT_NE(fileDialog, nullptr);
            fileDialog->selectFile(QString::fromStdString(file.string()));
            static_cast<QDialog*>(fileDialog)->accept();
        };
    };
    answerNextModalDialog([](QWidget* dialog) { Click(dialog, "NoToAllButton"); });
    answerNextModalDialog(save(target() / "link.txt"));
    prompts.expect(QString::fromStdString((target() / "link.txt").string()) +
                       " can't be written: it is a link, a folder, a device or a file of this recovery. Please "
                       "choose another name.",
                   kPromptOk);
    answerNextModalDialog(save(target() / "new-a.txt"));
    // The second file opens the save dialog at once; replacing asks first.
    answerNextModalDialog(save(target() / "other.txt"));
    prompts.expect(QString::fromStdString((target() / "other.txt").string()) +
                       " already exists.\nDo you want to replace it?",
                   kPromptYes);
    EXPECT_TRUE(flow->DoRealRecovery(true));
    EXPECT_TRUE(HoldsPattern(target() / "new-a.txt", 1, 11));
    EXPECT_TRUE(HoldsPattern(target() / "other.txt", 2, 12));
    EXPECT_EQ(Read(target() / "a.txt"), "old a");
    EXPECT_FALSE(fs::exists(workFolder() / "victim"));
    EXPECT_EQ(host.fileExistsAnswer, 9);

    // A cancelled save dialog ends the run.
    answerNextModalDialog([](QWidget* dialog) { Click(dialog, "NoButton"); });
    answerNextModalDialog([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_FALSE(flow->DoRealRecovery(true));
    EXPECT_TRUE(Logged("Recovery aborted!"));
}

TEST_F(RecoveryFlowTest, TheSourceDriveIsRefusedAsTarget) {
    fs::create_directories(target());
    struct stat targetStatus {};
    ASSERT_EQ(::stat(target().c_str(), &targetStatus), 0);
    host.onSource = [&](const struct stat& status) { return status.st_dev == targetStatus.st_dev; };
    AddFile(u"a.txt", u"C:\\", 1);

    // The auto-pilot logs the refusal and the run ends.
    UseTarget(true);
    EXPECT_FALSE(flow->DoRealRecovery(true));
    EXPECT_TRUE(Logged("The destination folder is on the same drive with the source. You should change the "
                       "destination location for recovered files."));
    EXPECT_TRUE(engine->Calls().empty());

    // The destination dialog stays open, also for a folder not made yet.
    UseTarget(false);
    Settings().RecoveryTargetFolder = QString::fromStdString((target() / "not" / "yet").string());
    prompts.expect("The destination folder is on the same drive with the source. You should change the "
                   "destination location for recovered files.",
                   kPromptOk);
    answerNextModalDialog([](QWidget* dialog) {
        Click(dialog, "ButtonOk");
        EXPECT_TRUE(dialog->isVisible());
        Click(dialog, "ButtonCancel");
    });
    EXPECT_FALSE(flow->DoRealRecovery(true));
    EXPECT_FALSE(fs::exists(target() / "not"));
}

TEST_F(RecoveryFlowTest, ANullThreadHandleEndsTheWaitAtOnceAndLeavesNoFile) {
    UseTarget();
    engine->refuseToStart = true;
    Settings().ConfirmationsFileOverwrite = false;
    Write(target() / "b.txt", "0123456789");
    AddFile(u"a.txt", u"C:\\", 10);
    AddFile(u"b.txt", u"C:\\", 10);
    AddFile(u"c.txt", u"C:\\", kUnknownSize);
    EXPECT_TRUE(flow->DoRealRecovery(true));
    EXPECT_FALSE(fs::exists(target() / "a.txt"));
    // An earlier file of the same size taken over for overwriting is no recovered file.
    EXPECT_EQ(Read(target() / "b.txt"), "0123456789");
    const QString real = QString::fromStdString(fs::canonical(target()).string());
    EXPECT_TRUE(Logged("ERROR: File " + real + "/a.txt was not recovered"));
    EXPECT_EQ(host.recovered[0], 0);
    EXPECT_EQ(LogLines().mid(LogLines().size() - 2),
              QStringList({"Recovery finished.", "Files recovered: 0 of 3. Could not be written: 3 "
                                                 "(nothing could be written: 2, size unknown: 1)."}));
}

}  // namespace
