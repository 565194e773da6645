// What the recovery says it did: only files whose bytes were written count, each once
// however often it is recovered; a run ends with a line of what became of its files, and
// with a message when some could not be written.

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>

#include <cerrno>
#include <cstring>

#include "wizard/end_to_end/end_to_end_fixture.h"
#include "wizard/forms/recovery/recovering_files_form.h"
#include "wizard/settings/settings_values.h"
#include "wizard/support/permission_bits.h"

namespace fs = std::filesystem;

namespace {

class RecoveryCountsTest : public EndToEndTest {
protected:
    // The progress window of the last run.
    static TRecoveringFilesForm* Progress() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<TRecoveringFilesForm*>(window)) return progress;
        }
        return nullptr;
    }
    static QStringList ProgressLog() {
        const TRecoveringFilesForm* progress = Progress();
        return progress ? progress->LogMemo()->toPlainText().split(u'\n') : QStringList();
    }
    QString realTarget() const { return QString::fromStdString(fs::canonical(target()).string()); }
    void expectFinishCounts(std::size_t found, std::size_t recovered) const {
        ASSERT_EQ(form->ActivePage(), TMainForm::kFinishPage);
        EXPECT_EQ(child<QLabel>("FinishFoundFilesLabel")->text(), QString::number(found));
        EXPECT_EQ(child<QLabel>("FinishRecoveredFilesLabel")->text(), QString::number(recovered));
    }

    static ScriptedFile Deleted(const char16_t* name, std::uint64_t size, std::uint64_t number) {
        ScriptedFile file;
        file.record.Flags = kFileDeleted;
        file.record.Size = size;
        file.record.RecordNumber = number;
        file.name = name;
        file.path = u"C:\\";
        return file;
    }
};

TEST_F(RecoveryCountsTest, FilesThatCannotBeCreatedCountNothingAndTheRunSaysHowManyAndWhy) {
    start({"fat/fat32.img.gz"});
    walkToAutopilot('C', QStringLiteral("*.*"), false);
    setAutopilot(false, false);
    walkTo(TMainForm::kPreviewFileSystemPage);
    const int listed = static_cast<int>(form->FileSystemList->Count());
    ASSERT_GT(listed, 1);

    // A folder without write permission, which binds root too.
    fs::create_directories(target());
    fs::permissions(target(), fs::perms::owner_read | fs::perms::owner_exec);
    const QString why = QString::fromLocal8Bit(std::strerror(EACCES));
    const QString summary =
        QStringLiteral("Files recovered: 0 of %1. Could not be written: %1 (%2).").arg(listed).arg(why);
    prompts.expect(summary, kPromptOk);
    {
        const ScopedPermissionBits bits;
        recoverAll(false);
    }
    fs::permissions(target(), fs::perms::owner_all);
    EXPECT_EQ(prompts.shown().back().caption, QStringLiteral("Warning"));
    const QStringList lines = ProgressLog();
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{QStringLiteral("Recovery finished."), summary}));
    const QStringList notCreated = lines.filter(QStringLiteral("ERROR: Can't create file ") + realTarget());
    EXPECT_EQ(notCreated.size(), listed);
    EXPECT_EQ(notCreated.filter(QStringLiteral("(") + why + u')').size(), listed);
    EXPECT_EQ(Progress()->findChild<QProgressBar*>(QStringLiteral("FileProgressBar"))->value(), 0)
        << "a file not written does not show as done";
    EXPECT_EQ(form->FileSystem.Recovered(), 0);
    EXPECT_TRUE(FilesBelow(target()).empty());

    // Written twice, each file counts once.
    recoverAll(false);
    EXPECT_EQ(ProgressLog().last(), QStringLiteral("Files recovered: %1 of %1.").arg(listed));
    Settings().ConfirmationsFileOverwrite = false;
    recoverAll(false);
    EXPECT_EQ(form->FileSystem.Recovered(), listed);
    EXPECT_EQ(FilesBelow(target()).size(), static_cast<std::size_t>(listed));

    walkTo(TMainForm::kScanDriveSectorsPage);
    walkTo(TMainForm::kPreviewDriveSectorsPage);
    const std::size_t carved = form->DriveSectorsList->Count();
    if (carved > 0) {
        prompts.expect(QStringLiteral("You haven't restored any of the files. Please make sure that you have "
                                      "marked all required files and pressed the \"Recover\" button in the "
                                      "current dialogue. Do you want to move on to the next step?"),
                       kPromptYes);
    }
    walkTo(TMainForm::kFinishPage);
    expectFinishCounts(listed + carved, listed);
}

// A file cut short by unreadable sectors at its end holds all that could be read, as one
// with unreadable sectors written as zeros does; one whose data simply ends early does not.
TEST_F(RecoveryCountsTest, FilesWithUnreadableSectorsAreRecoveredAndToldApart) {
    EngineScript script;
    script.drives = {ScriptedVolume(2, 'C', 1)};
    script.files = {Deleted(u"whole.jpg", 5000, 1), Deleted(u"holes.jpg", 9000, 2), Deleted(u"cut.jpg", 7000, 3),
                    Deleted(u"short.jpg", 6000, 4)};
    script.unreadableSectors = {{2, 3}};
    script.shortEnds = {{3, {4, true}}, {4, {2, false}}};
    engine = std::make_unique<ScriptedEngine>(std::move(script));
    startWindow();
    walkToAutopilot('C', QStringLiteral("*.*"), false);
    setAutopilot(false, false);
    walkTo(TMainForm::kPreviewFileSystemPage);
    Settings().ConfirmationsFileOverwrite = false;
    const QString summary = QStringLiteral(
        "Files recovered: 3 of 4. With unreadable sectors filled with zeros: 1. Cut short by unreadable sectors at "
        "their end: 1. Could not be written: 1 (incomplete).");
    for (int run = 0; run < 3; ++run) {
        prompts.expect(summary, kPromptOk);
        recoverAll(false);
        const QStringList lines = ProgressLog();
        EXPECT_EQ(lines.filter(QStringLiteral("unreadable")),
                  (QStringList{"WARNING: File " + realTarget() +
                                   "/holes.jpg recovered with 3 unreadable sectors, filled with zeros",
                               "WARNING: File " + realTarget() +
                                   "/cut.jpg recovered up to the unreadable sectors at its end: 4,952 of 7,000 bytes",
                               summary}))
            << run;
        EXPECT_TRUE(lines.contains("ERROR: File " + realTarget() + "/short.jpg is incomplete: 4,976 of 6,000 bytes "
                                   "recovered"))
            << run;
    }
    EXPECT_EQ(fs::file_size(target() / "holes.jpg"), 9000u);
    EXPECT_EQ(fs::file_size(target() / "cut.jpg"), 4952u);
    EXPECT_EQ(engine->calls("FileRecovery"), 12);
    walkTo(TMainForm::kFinishPage);
    expectFinishCounts(4, 3);
}

}  // namespace
