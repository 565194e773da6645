// Waiting for an engine thread on the GUI thread while its messages keep arriving.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/handles.h"
#include "platform/messages.h"
#include "wizard/bridge/busy_gate.h"
#include "wizard/bridge/message_window.h"
#include "wizard/bridge/pumping_wait.h"
#include "wizard/support/thread_group.h"

namespace {

constexpr UINT kStep = WM_APP + 10;

TEST(PumpingWait, HandlesTheThreadsSendsUntilItEndsAndHoldsTheGateMeanwhile) {
    MessageWindow window;
    int steps = 0;
    bool gateHeldDuringWait = true;
    window.setHandler(kStep, PayloadKind::None, [&](WPARAM, LPARAM) {
        gateHeldDuringWait &= BusyScope::held();
        return ++steps;
    });
    // Each send blocks until the GUI thread has handled it: only a pumping wait ends.
    HANDLE worker = startThreadGroup({[&] {
        for (int i = 0; i < 50; ++i) {
            SendMessageW(window.handle(), kStep, 0, 0);
        }
    }});
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(pumpingWait(worker), PumpingWaitResult::Finished);
    CloseHandle(worker);

    EXPECT_EQ(steps, 50);
    EXPECT_TRUE(gateHeldDuringWait);
    EXPECT_FALSE(BusyScope::held());
    // A thread that has already ended is waited for at once.
    HANDLE ended = startThreadGroup({});
    ASSERT_EQ(WaitForSingleObject(ended, 20000), WAIT_OBJECT_0);
    EXPECT_EQ(pumpingWait(ended), PumpingWaitResult::Finished);
    CloseHandle(ended);
}

TEST(PumpingWait, ASecondWaitOrBusyActionInsideAWaitIsRefused) {
    MessageWindow window;
    std::atomic<bool> release{false};
    PumpingWaitResult innerWait = PumpingWaitResult::Finished;
    bool innerScopeEntered = true;
    window.setHandler(kStep, PayloadKind::None, [&](WPARAM, LPARAM) {
        HANDLE second = startThreadGroup({});
        innerWait = pumpingWait(second);
        WaitForSingleObject(second, 20000);
        CloseHandle(second);
        const BusyScope action;
        innerScopeEntered = action.entered();
        release = true;
        return 0;
    });
    HANDLE worker = startThreadGroup({[&] {
        PostMessageW(window.handle(), kStep, 0, 0);
        while (!release) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }});
    EXPECT_EQ(pumpingWait(worker), PumpingWaitResult::Finished);
    CloseHandle(worker);

    EXPECT_EQ(innerWait, PumpingWaitResult::Refused);
    EXPECT_FALSE(innerScopeEntered);
    // Once the wait is over the gate is free again.
    const BusyScope after;
    EXPECT_TRUE(after.entered());
    EXPECT_TRUE(BusyScope::held());
}

TEST(PumpingWait, ANullHandleEndsAtOnceAndAWaitIsRefusedWhileALongActionHoldsTheGate) {
    EXPECT_EQ(pumpingWait(nullptr), PumpingWaitResult::NoThread);
    EXPECT_FALSE(BusyScope::held());
    const BusyScope action;
    ASSERT_TRUE(action.entered());
    HANDLE thread = startThreadGroup({});
    EXPECT_EQ(pumpingWait(thread), PumpingWaitResult::Refused);
    WaitForSingleObject(thread, 20000);
    CloseHandle(thread);
}

}  // namespace
