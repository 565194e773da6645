#include "engine/disk/sector_reader.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "engine/engine_state.h"
#include "engine/messages.h"
#include "platform/local_heap.h"
#include "platform/messages.h"

namespace engine::disk {

namespace {

constexpr std::int32_t kDefaultRetries = 10;

thread_local ReadScope* innermostScope = nullptr;

// Kept by the thread's scope, or posted at once outside any.
void fail(const ReadPolicy& policy, const ReadFailure& failure) {
    if (ReadScope* scope = ReadScope::current()) {
        scope->fail(failure);
    } else {
        postIoError(policy.notifyWindow, failure);
    }
}

}  // namespace

ReadScope::ReadScope(Attempts attempts) : attempts_(attempts), outer_(innermostScope) { innermostScope = this; }

ReadScope::~ReadScope() {
    innermostScope = outer_;
    if (outer_ && failure_) outer_->fail(*failure_);
}

ReadScope* ReadScope::current() { return innermostScope; }

Sleeper realSleeper() {
    return [](std::uint32_t milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    };
}

ReadPolicy currentReadPolicy() {
    const EngineSettings* settings = engine::state().settings;
    if (!settings) return ReadPolicy{kDefaultRetries, 0, 0};
    return ReadPolicy{settings->ReadRetries, settings->RetryPause, settings->NotifyWindow};
}

void postIoError(HWND window, const ReadFailure& failure) {
    IoErrorReport report{};
    report.Code = failure.code;
    report.SystemError = static_cast<std::uint32_t>(failure.error);
    report.Attempt = failure.attempt;
    report.Position = failure.position;
    postIoError(window, report);
}

void postIoError(HWND window, const IoErrorReport& report) {
    if (window == 0) return;
    void* block = LocalAlloc(LPTR, sizeof report);
    if (!block) return;
    std::memcpy(block, &report, sizeof report);
    if (!PostMessageW(window, WM_ENGINE_IO_ERROR, 0, reinterpret_cast<LPARAM>(block))) {
        LocalFree(block);
    }
}

std::uint64_t readWithRetries(const SectorRun& run, const ReadPolicy& policy,
                              const Sleeper& sleep, const ReadOnce& readOnce,
                              const Reopen& reopen) {
    const ReadScope* scope = ReadScope::current();
    const bool single = scope && scope->attempts() == Attempts::One;
    const std::int32_t attempts = single ? std::min(policy.retries, 1) : policy.retries;
    bool reopened = false;
    for (std::int32_t attempt = 1; attempt <= attempts; ++attempt) {
        const platform::IoResult result = readOnce(run);
        if (result.ok()) return result.bytes;
        if (result.error == EBADF && !reopened) {
            // A dead handle is opened again once and the attempt repeated; a failed
            // reopen is a failed positioning, reported with the low half all ones.
            reopened = true;
            if (const int error = reopen()) {
                fail(policy, {kIoErrorSeek, error, 0, run.position | 0xFFFFFFFFu});
                return 0;
            }
            --attempt;
            continue;
        }
        fail(policy, {kIoErrorRead, result.error, static_cast<std::uint32_t>(attempt), run.position});
        if (policy.pauseMilliseconds != 0 && !single) sleep(policy.pauseMilliseconds);
    }
    return 0;
}

}  // namespace engine::disk
