// Message boxes: the platform's hook reaches the prompt service, from any thread, and the
// standard service answers with the program's numbers.

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include "platform/handles.h"
#include "platform/message_box.h"
#include "wizard/bridge/pumping_wait.h"
#include "wizard/services/prompt_box_hook.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/thread_group.h"
#include "wizard/support/wizard_test.h"

namespace {

using PromptServiceTest = WizardTest;

struct StyleCase {
    UINT style;
    PromptButtons buttons;
    PromptIcon icon;
};

TEST(PromptForMessageBox, StylesGiveButtonsAndIcons) {
    const StyleCase cases[] = {
        {0x00, PromptButtons::Ok, PromptIcon::None},
        {0x21, PromptButtons::OkCancel, PromptIcon::Question},
        {0x33, PromptButtons::YesNoCancel, PromptIcon::Warning},
        {0x44, PromptButtons::YesNo, PromptIcon::Information},
        {0x02, PromptButtons::Ok, PromptIcon::None},  // abort/retry/ignore: not ours
        {0x70, PromptButtons::Ok, PromptIcon::None},
    };
    for (const StyleCase& entry : cases) {
        SCOPED_TRACE(entry.style);
        const Prompt prompt = promptForMessageBox("Can't create viewer process!", "Viewer error",
                                                  entry.style);
        EXPECT_EQ(prompt.buttons, entry.buttons);
        EXPECT_EQ(prompt.icon, entry.icon);
    }
}

TEST_F(PromptServiceTest, PlatformBoxesReachThePromptServiceOnlyWhileTheHookLives) {
    {
        const PromptBoxHook hook;
        prompts.expect(QStringLiteral("Ünïcode text"), kPromptYes);
        EXPECT_EQ(MessageBoxA(0, "\xC3\x9Cn\xC3\xAF" "code text", "Caption", 0x24), kPromptYes);
        ASSERT_EQ(prompts.shown().size(), 1u);
        EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Question);
    }
    // The standard-error default answers OK without asking anybody.
    EXPECT_EQ(MessageBoxA(0, "after", "Caption", MB_OK), IDOK);
    EXPECT_EQ(prompts.shown().size(), 1u);
}

// Records the thread each prompt is shown on.
class ThreadRecordingPrompts final : public PromptService {
public:
    int ask(const Prompt&) override {
        shownOn = QThread::currentThread();
        return kPromptNo;
    }
    QThread* shownOn = nullptr;
};

TEST_F(PromptServiceTest, ABoxAskedForOnAnEngineThreadIsShownOnTheGuiThread) {
    ThreadRecordingPrompts recording;
    const ScopedPromptService installed(recording);
    const PromptBoxHook hook;
    int answer = 0;
    HANDLE engineThread = startThreadGroup({[&] {
        answer = MessageBoxA(0, "Can't allocate memory!", "Viewer error", MB_ICONERROR);
    }});
    ASSERT_EQ(pumpingWait(engineThread), PumpingWaitResult::Finished);
    CloseHandle(engineThread);
    EXPECT_EQ(answer, kPromptNo);
    EXPECT_EQ(recording.shownOn, QThread::currentThread());
}

struct StandardCase {
    PromptButtons buttons;
    QMessageBox::StandardButton pressed;  // NoButton: closed with Escape
    int answer;
};

TEST(StandardPromptService, AnswersWithTheProgramsNumbers) {
    const StandardCase cases[] = {
        {PromptButtons::Ok, QMessageBox::NoButton, kPromptOk},
        {PromptButtons::OkCancel, QMessageBox::NoButton, kPromptCancel},
        {PromptButtons::YesNo, QMessageBox::NoButton, kPromptNo},
        {PromptButtons::YesNoCancel, QMessageBox::No, kPromptNo},
        {PromptButtons::YesNoCancel, QMessageBox::NoButton, kPromptCancel},
    };
    for (const StandardCase& entry : cases) {
        SCOPED_TRACE(static_cast<int>(entry.pressed));
        Qt::TextFormat format = Qt::RichText;
        answerNextModalDialog([&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(box, nullptr);
            format = box->textFormat();
            if (entry.pressed == QMessageBox::NoButton) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                box->button(entry.pressed)->click();
            }
        });
        Prompt prompt;
        prompt.text = QStringLiteral("<b>not markup</b>");
        prompt.buttons = entry.buttons;
        EXPECT_EQ(PromptService::standard().ask(prompt), entry.answer);
        EXPECT_EQ(format, Qt::PlainText);
    }
}

}  // namespace
