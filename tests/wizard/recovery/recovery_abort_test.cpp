// Abort during a run: the copy stops after its piece, the next file is not started.

#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>

#include "wizard/recovery/recovery_flow_fixture.h"

namespace fs = std::filesystem;

namespace {

class RecoveryAbortTest : public RecoveryFlowTest {
protected:
    void SetUp() override {
        RecoveryFlowTest::SetUp();
        UseTarget();
        engine->pieceSize = 1000;
        engine->holdBeforePiece = 2;
    }
    // While the run waits for the held copy: presses Abort, records the work flag right
    // after, and lets the copy go on.
    void AbortWhileHeld() {
        QTimer::singleShot(0, [this] {
            ASSERT_TRUE(engine->WaitUntilHeld());
            flow->ProgressWindow()->findChild<QPushButton*>(QStringLiteral("AbortButton"))->click();
            workFlagAfterAbort = std::atomic_ref<std::int32_t>(host.settings.WorkFlag).load();
            engine->Release();
        });
    }
    bool OkShown() const {
        const auto* window = flow->ProgressWindow();
        return window->findChild<QPushButton*>(QStringLiteral("OkButton"))->isVisibleTo(window) &&
               !window->findChild<QPushButton*>(QStringLiteral("AbortButton"))->isVisibleTo(window);
    }

    std::int32_t workFlagAfterAbort = -1;
};

const QString kStopQuestion = QStringLiteral("Are you sure you want to stop recovery?");

TEST_F(RecoveryAbortTest, ConfirmedAbortStopsTheCopyAfterItsPieceAndTheRun) {
    AddFile(u"big.bin", u"C:\\", 10000);
    AddFile(u"next.bin", u"C:\\", 10);
    prompts.expect(kStopQuestion, kPromptYes);
    AbortWhileHeld();
    EXPECT_FALSE(flow->DoRealRecovery(true));
    EXPECT_EQ(workFlagAfterAbort, 0);
    // Pieces 0 and 1 before the hold, piece 2 under way when the flag was read.
    EXPECT_EQ(fs::file_size(target() / "big.bin"), 3000u);
    const QString real = QString::fromStdString(fs::canonical(target()).string());
    EXPECT_TRUE(Logged("WARNING: File " + real + "/big.bin is incomplete: recovery was aborted"));
    EXPECT_TRUE(Logged("Recovery aborted!"));
    EXPECT_FALSE(fs::exists(target() / "next.bin"));
    EXPECT_EQ(engine->Calls().size(), 1u);
    EXPECT_EQ(host.recovered[0], 0);
    EXPECT_TRUE(OkShown());
    EXPECT_EQ(prompts.shown().front().caption, QStringLiteral("Confirmation"));
}

TEST_F(RecoveryAbortTest, AbortAnsweredNoChangesNothing) {
    AddFile(u"big.bin", u"C:\\", 10000);
    prompts.expect(kStopQuestion, kPromptNo);
    AbortWhileHeld();
    EXPECT_TRUE(flow->DoRealRecovery(true));
    EXPECT_EQ(workFlagAfterAbort, 1);
    EXPECT_TRUE(HoldsPattern(target() / "big.bin", 1, 10000));
    EXPECT_EQ(host.recovered[0], 1);
}

TEST_F(RecoveryAbortTest, UnconfirmedAbortOnTheLastFileFinishesTheRun) {
    Settings().ConfirmationsRecoveryAbort = false;
    Settings().ConfirmationsFileOverwrite = false;
    AddFile(u"last.bin", u"C:\\", 10000);
    AbortWhileHeld();
    EXPECT_TRUE(flow->DoRealRecovery(true));
    EXPECT_EQ(workFlagAfterAbort, 0);
    EXPECT_EQ(LogLines().mid(LogLines().size() - 2),
              QStringList({"Recovery finished.",
                           "Files recovered: 0 of 1. Could not be written: 1 (recovery aborted)."}));
    EXPECT_TRUE(OkShown());
    // The auto-pilot closes the window after a run that wrote every file only.
    EXPECT_TRUE(flow->ProgressWindow()->isVisible());
    AddFile(u"next.bin", u"C:\\", 10);
    AbortWhileHeld();
    EXPECT_FALSE(flow->DoRealRecovery(true));
    EXPECT_TRUE(flow->ProgressWindow()->isVisible());
}

}  // namespace
