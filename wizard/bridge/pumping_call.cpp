#include "wizard/bridge/pumping_call.h"

#include <exception>
#include <stdexcept>
#include <system_error>

#include "platform/handles.h"
#include "wizard/bridge/busy_gate.h"
#include "wizard/bridge/pumping_wait.h"

namespace {

struct Call {
    const std::function<void()>& body;
    std::exception_ptr failure;
};

DWORD RunCall(void* parameter) {
    auto* call = static_cast<Call*>(parameter);
    try {
        call->body();
    } catch (...) {
        call->failure = std::current_exception();
    }
    return 0;
}

}  // namespace

void pumpingCall(const std::function<void()>& body, const BusyScope& held) {
    // Without the gate the wait below would be refused and the join would freeze the window.
    if (!held.entered()) throw std::logic_error("an engine call waited for outside its busy gate");
    Call call{body, nullptr};
    const HANDLE thread = CreateThread(nullptr, 0, RunCall, &call, 0, nullptr);
    if (!thread) throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
    pumpingWait(thread, held);
    // Joined whatever the wait answered: `call` lives on this stack.
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    if (call.failure) std::rethrow_exception(call.failure);
}
