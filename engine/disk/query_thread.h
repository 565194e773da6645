#pragma once
// The information query of one drive or volume, run on a thread of its own. The owner
// keeps it as its last member: its destruction waits for a query still running, so the
// thread never outlives the object it fills.

#include <condition_variable>
#include <functional>
#include <mutex>

#include "platform/win_types.h"

namespace engine::disk {

class QueryThread {
public:
    explicit QueryThread(std::function<void()> query) : query_(std::move(query)) {}
    ~QueryThread();
    QueryThread(const QueryThread&) = delete;
    QueryThread& operator=(const QueryThread&) = delete;

    // Starts the query and returns the thread's handle, which the caller waits on and
    // closes; null when a query still runs or the thread cannot start.
    HANDLE start();
    bool running() const;

private:
    static DWORD threadMain(void* self);

    std::function<void()> query_;
    mutable std::mutex lock_;
    std::condition_variable done_;
    bool running_ = false;
};

}  // namespace engine::disk
