#pragma once
// Runs several bodies on threads of their own behind one platform thread handle, which is
// signalled when all have ended: the shape of an engine operation that a pumping wait
// waits for.

#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/handles.h"

using ThreadBodies = std::vector<std::function<void()>>;

// Null when the thread cannot start; the caller closes the handle.
inline HANDLE startThreadGroup(ThreadBodies bodies) {
    auto* owned = new ThreadBodies(std::move(bodies));
    HANDLE group = CreateThread(
        nullptr, 0,
        [](void* parameter) -> DWORD {
            auto* bodies = static_cast<ThreadBodies*>(parameter);
            std::vector<std::thread> threads;
            for (auto& body : *bodies) {
                threads.emplace_back(body);
            }
            for (std::thread& thread : threads) {
                thread.join();
            }
            delete bodies;
            return 0;
        },
        owned, 0, nullptr);
    if (!group) {
        delete owned;
    }
    return group;
}
