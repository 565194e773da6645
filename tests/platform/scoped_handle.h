#pragma once
// Closes a kernel object handle when a test leaves its scope, also on a failed assertion.

#include <memory>
#include <type_traits>

#include "platform/handles.h"

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using ScopedHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

inline ScopedHandle makeEvent(bool manualReset, bool initialState = false) {
    return ScopedHandle(CreateEventW(nullptr, manualReset, initialState, nullptr));
}

inline ScopedHandle startThread(LPTHREAD_START_ROUTINE function, void* parameter,
                                std::size_t stackSize = 0) {
    return ScopedHandle(CreateThread(nullptr, stackSize, function, parameter, 0, nullptr));
}
