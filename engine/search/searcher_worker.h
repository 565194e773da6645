#pragma once
// The search's worker thread and its block buffers. The searcher reads the next blocks
// into free buffers while the worker parses the oldest one, so reading and matching
// overlap, and a pause of either (a slow read, a thread waking late) is taken up by the
// buffers in between rather than stalling the other.
// Buffers are handed over in turn through a pair of events each: the searcher fills a
// buffer only after its done event, the worker touches it only between its request event
// and its done event. The worker is asked to stop and joined, never killed.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

#include "engine/search/block_buffer.h"
#include "engine/search/searcher_blocks.h"
#include "platform/handles.h"

// Owns one platform handle.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(HANDLE handle = nullptr) {
        if (handle_) CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

// One block buffer and its hand-off events.
struct SearchSlot {
    CBlockBuffer buffer;
    SearchBlock block;              // the block in `buffer`; the rest of `buffer` is stale
    ScopedHandle request;           // manual reset: the buffer holds a block to parse
    ScopedHandle done;              // auto reset: the worker has parsed the block
    bool handedOver = false;        // searcher's own note: parsing or waiting to be parsed
};

class CSearchWorker {
public:
    static constexpr std::size_t kSlots = 4;
    using Parser = std::function<void(SearchSlot&)>;

    // Buffers of `slotBytes` bytes each; `parse` runs on the worker thread.
    CSearchWorker(std::size_t slotBytes, Parser parse);
    // Waits for the block being parsed, then stops and joins the thread.
    ~CSearchWorker();
    CSearchWorker(const CSearchWorker&) = delete;
    CSearchWorker& operator=(const CSearchWorker&) = delete;

    // Starts the thread at the lowest priority; false when it, an event or a buffer cannot
    // be made.
    bool Start();

    // Searcher side. The slot to fill next, in turn.
    SearchSlot& NextSlot() { return slots_[next_]; }
    // Waits until the next slot may be refilled; false on time-out or a failed wait.
    bool WaitNextSlot(DWORD milliseconds);
    // Hands the next slot, now filled, to the worker and moves on to the other one.
    void HandOver();
    // Waits until every handed-over block has been parsed.
    void WaitIdle();

private:
    static DWORD threadMain(void* worker);
    void run();

    std::size_t slotBytes_;
    Parser parse_;
    std::array<SearchSlot, kSlots> slots_;
    std::size_t next_ = 0;
    std::atomic<bool> stopping_{false};
    ScopedHandle thread_;
};
