#include <QCheckBox>
#include <QSignalSpy>
#include <QTimer>

#include <functional>
#include <stdexcept>

#include "engine/messages.h"
#include "platform/handles.h"
#include "wizard/bridge/message_window.h"
#include "wizard/bridge/pumping_wait.h"
#include "wizard/forms/main/main_form_fixture.h"
#include "wizard/scans/engine_params.h"
#include "wizard/settings/settings_values.h"
#include "wizard/support/wait_until.h"

namespace {

// The main window with a recovery that answers as the test says, and a sector-style scan
// of the file system that runs on the scripted engine until it is stopped.
class StandInForm : public TMainForm {
public:
    using TMainForm::TMainForm;

    std::function<bool(WorkHalf)> recover = [](WorkHalf) { return true; };
    std::vector<WorkHalf> recovered;
    std::vector<int> depths;
    bool searchEngine = false;
    QStringList log;

protected:
    bool DoRealRecovery(WorkHalf half) override {
        recovered.push_back(half);
        depths.push_back(CheckStateDepth());
        return recover(half);
    }

    void StartScanFileSystem() override {
        if (!searchEngine) {
            TMainForm::StartScanFileSystem();
            return;
        }
        FileSystem.StopRequested = false;
        FileSystem.ScanRunning = true;
        CheckState();
        EngineSettings& settings = RunEngineSettings();
        settings = EngineSettings{};
        settings.Run = 1;
        settings.NotifyWindow = EngineWindow().handle();
        engine().DriveInitialize(&settings);
        if (const HANDLE search = engine().DriveSearchSignatures()) {
            pumpingWait(search);
            CloseHandle(search);
        }
        log.append(FileSystem.StopRequested ? QStringLiteral("Search cancelled")
                                            : QStringLiteral("Search finished"));
        FileSystem.ScanRunning = false;
        FileSystem.ScanDone = true;
        CheckState();
    }
};

class MainFormAutopilotTest : public MainFormTest {
protected:
    void start(EngineScript script = {}) {
        script.drives = {ScriptedVolume(2, 'C', 1, 0xFFFF00FFu)};
        engine = std::make_unique<ScriptedEngine>(std::move(script));
        startUnits();
        standIn = &createForm<StandInForm>();
    }

    void switchAutopilotOn() {
        walkTo(TMainForm::kAutopilotPage);
        child<QCheckBox>("AutopilotCheckBox")->setChecked(true);
    }

    StandInForm* standIn = nullptr;
};

TEST_F(MainFormAutopilotTest, ACompletedRecoveryMovesOnToTheFinishUnattended) {
    start();
    switchAutopilotOn();
    clickNext();
    EXPECT_EQ(form->ActivePage(), TMainForm::kFinishPage);
    EXPECT_EQ(standIn->recovered, (std::vector{WorkHalf::FileSystem, WorkHalf::DriveSectors}));
    EXPECT_EQ(standIn->depths, (std::vector{1, 1})) << "the driver never calls itself";
    EXPECT_FALSE(button("BottomButtonNext")->isEnabled()) << "the finish page's buttons";
    EXPECT_TRUE(button("BottomButtonBack")->isEnabled());
    EXPECT_TRUE(form->FileSystem.AutoRecoveryDone && form->DriveSectors.AutoRecoveryDone);
}

TEST_F(MainFormAutopilotTest, ARecoveryFallingShortStopsTheAutopilotForGood) {
    start();
    standIn->recover = [](WorkHalf) { return false; };
    switchAutopilotOn();
    clickNext();
    ASSERT_EQ(form->ActivePage(), TMainForm::kPreviewFileSystemPage);
    EXPECT_FALSE(Settings().RecoveryAutoPilot);
    EXPECT_TRUE(form->FileSystem.StopRequested);
    EXPECT_TRUE(form->centralWidget()->isEnabled());

    clickBack();
    clickNext();
    EXPECT_EQ(form->ActivePage(), TMainForm::kPreviewFileSystemPage) << "no advance by itself";
    EXPECT_FALSE(Settings().RecoveryAutoPilot) << "a page refresh does not turn it on again";
    EXPECT_EQ(standIn->recovered.size(), 1u);
    clickBack();
    clickBack();
    EXPECT_FALSE(child<QCheckBox>("AutopilotCheckBox")->isChecked());
}

TEST_F(MainFormAutopilotTest, ARecoveryFailureIsReportedAndTheStepFinished) {
    start();
    standIn->recover = [](WorkHalf) -> bool { throw std::runtime_error("target folder vanished"); };
    switchAutopilotOn();
    prompts.expect(QStringLiteral("target folder vanished"), kPromptOk);
    clickNext();
    EXPECT_EQ(form->ActivePage(), TMainForm::kPreviewFileSystemPage);
    EXPECT_FALSE(form->FileSystem.AutoRecoveryRunning);
    EXPECT_TRUE(form->FileSystem.AutoRecoveryDone);
    EXPECT_TRUE(form->centralWidget()->isEnabled());
    EXPECT_EQ(form->CheckStateDepth(), 0);
}

TEST_F(MainFormAutopilotTest, AStopDuringAScanUnticksTheAutopilotSoThatItStaysOff) {
    EngineScript script;
    script.hits.resize(50);
    start(std::move(script));
    standIn->searchEngine = true;
    form->EngineWindow().setHandler(WM_ENGINE_FILE_FOUND, PayloadKind::SameBlockInBoth, [&](WPARAM, LPARAM) {
        if (!form->FileSystem.StopRequested) button("ScanFileSystemButtonStop")->click();
        return LRESULT{0};
    });
    prompts.expect(QStringLiteral("Are you sure you want to stop scan?"), kPromptYes);
    switchAutopilotOn();
    clickNext();
    ASSERT_TRUE(form->FileSystem.ScanDone);
    EXPECT_EQ(form->ActivePage(), TMainForm::kScanFileSystemPage) << "no advance after a Stop";
    EXPECT_FALSE(Settings().RecoveryAutoPilot);
    EXPECT_FALSE(child<QCheckBox>("AutopilotCheckBox")->isChecked());

    clickBack();
    clickNext();
    EXPECT_FALSE(Settings().RecoveryAutoPilot) << "walking over its page again";
    EXPECT_TRUE(standIn->recovered.empty());
}

TEST_F(MainFormAutopilotTest, ACloseDuringAScanStopsItAndHappensWhenItEnds) {
    EngineScript script;
    script.hits.resize(200000);
    start(std::move(script));
    standIn->searchEngine = true;
    int hits = 0;
    form->EngineWindow().setHandler(WM_ENGINE_FILE_FOUND, PayloadKind::SameBlockInBoth,
                                    [&](WPARAM, LPARAM) {
                                        ++hits;
                                        return LRESULT{0};
                                    });
    QSignalSpy closed(form.get(), &TMainForm::FormClosed);
    prompts.expect(QStringLiteral("Are you sure you want to exit application?"), kPromptYes);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (hits > 20 && form->FileSystem.ScanRunning) {
            closer.stop();
            EXPECT_FALSE(form->close()) << "not while the scan runs";
        }
    });
    switchAutopilotOn();
    closer.start(5);
    clickNext();

    ASSERT_TRUE(waitUntil([&] { return closed.count() == 1; }));
    EXPECT_EQ(standIn->log, QStringList{QStringLiteral("Search cancelled")});
    EXPECT_LT(hits, 200000);
    EXPECT_EQ(RunEngineSettings().Run, 0);
    EXPECT_TRUE(Settings().RecoveryAutoPilot) << "the user's setting stays";
}

}  // namespace
