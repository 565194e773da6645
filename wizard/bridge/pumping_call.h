#pragma once
// An engine call that can take long (a failing card answers each read after minutes of
// retries), made on a thread of its own while the GUI thread waits for it with events
// handled. The thread is always waited for to its end: a call that changes the engine's
// state is never abandoned half way.

#include <functional>

class BusyScope;

// Runs `call` on a new thread and waits for it under the caller's busy gate `held`; what
// `call` throws is thrown here. Throws std::logic_error when `held` did not take the gate
// and std::system_error when no thread starts.
void pumpingCall(const std::function<void()>& call, const BusyScope& held);
