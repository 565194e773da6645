#pragma once
// Waiting on the GUI thread for an engine thread while the window stays alive: Qt events
// (and with them the engine's messages) are handled during the wait.

#include "platform/win_types.h"

class BusyScope;

enum class PumpingWaitResult {
    Finished,  // the thread has ended
    NoThread,  // a null handle (the thread did not start) or not a handle to wait on
    Refused,   // another long action holds the busy gate; nothing was waited for
};

// Holds the busy gate while it waits, checking the thread every 10 ms and handling events
// as they come. The caller keeps the handle and closes it.
PumpingWaitResult pumpingWait(HANDLE thread);
// The same for a long action that holds the gate itself (`held`) and waits for an engine
// call of its own: the gate stays the action's. Refused when `held` did not take it.
PumpingWaitResult pumpingWait(HANDLE thread, const BusyScope& held);
