#include "engine/search/searcher_worker.h"

#include <exception>

#include "engine/exports.h"
#include "engine/log.h"

CSearchWorker::CSearchWorker(std::size_t slotBytes, Parser parse) : slotBytes_(slotBytes), parse_(std::move(parse)) {}

CSearchWorker::~CSearchWorker() {
    if (!thread_) return;
    WaitIdle();
    stopping_.store(true);
    for (SearchSlot& slot : slots_) SetEvent(slot.request.get());
    WaitForSingleObject(thread_.get(), INFINITE);
}

bool CSearchWorker::Start() {
    for (SearchSlot& slot : slots_) {
        if (!slot.buffer.Allocate(slotBytes_)) return false;
        slot.request.reset(CreateEventW(nullptr, 1, 0, nullptr));
        slot.done.reset(CreateEventW(nullptr, 0, 0, nullptr));
        if (!slot.request || !slot.done) return false;
    }
    thread_.reset(CreateThread(nullptr, 0, &CSearchWorker::threadMain, this, 0, nullptr));
    if (!thread_) return false;
    SetThreadPriority(thread_.get(), THREAD_PRIORITY_LOWEST);
    return true;
}

bool CSearchWorker::WaitNextSlot(DWORD milliseconds) {
    SearchSlot& slot = slots_[next_];
    if (!slot.handedOver) return true;
    if (WaitForSingleObject(slot.done.get(), milliseconds) != WAIT_OBJECT_0) return false;
    slot.handedOver = false;
    return true;
}

void CSearchWorker::HandOver() {
    SearchSlot& slot = slots_[next_];
    slot.handedOver = true;
    SetEvent(slot.request.get());
    next_ = (next_ + 1) % kSlots;
}

void CSearchWorker::WaitIdle() {
    // The worker parses the slots in the order they were handed over.
    for (std::size_t i = 0; i < kSlots; ++i) {
        SearchSlot& slot = slots_[(next_ + i) % kSlots];
        if (!slot.handedOver) continue;
        WaitForSingleObject(slot.done.get(), INFINITE);
        slot.handedOver = false;
    }
}

DWORD CSearchWorker::threadMain(void* worker) {
    static_cast<CSearchWorker*>(worker)->run();
    return 0;
}

void CSearchWorker::run() {
    for (std::size_t turn = 0;; turn = (turn + 1) % kSlots) {
        SearchSlot& slot = slots_[turn];
        if (WaitForSingleObject(slot.request.get(), INFINITE) != WAIT_OBJECT_0) return;
        if (stopping_.load()) return;
        try {
            parse_(slot);
        } catch (const std::exception&) {
            Log(kLogError, "CSearcher.ParseBlock.except");
        }
        ResetEvent(slot.request.get());
        SetEvent(slot.done.get());
    }
}
