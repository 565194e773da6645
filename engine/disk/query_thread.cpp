#include "engine/disk/query_thread.h"

#include "platform/handles.h"

namespace engine::disk {

QueryThread::~QueryThread() {
    std::unique_lock guard(lock_);
    done_.wait(guard, [this] { return !running_; });
}

HANDLE QueryThread::start() {
    std::lock_guard guard(lock_);
    if (running_) return nullptr;
    HANDLE thread = CreateThread(nullptr, 0, &QueryThread::threadMain, this, 0, nullptr);
    running_ = thread != nullptr;
    return thread;
}

bool QueryThread::running() const {
    std::lock_guard guard(lock_);
    return running_;
}

DWORD QueryThread::threadMain(void* parameter) {
    auto* self = static_cast<QueryThread*>(parameter);
    self->query_();
    // Last touch of the owner: its destruction waits for this.
    std::lock_guard guard(self->lock_);
    self->running_ = false;
    self->done_.notify_all();
    return 0;
}

}  // namespace engine::disk
