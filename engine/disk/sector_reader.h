#pragma once
// The read policy that drives and volumes share: a run of sectors is attempted up to
// EngineSettings.ReadRetries times, each failed attempt posts one WM_ENGINE_IO_ERROR
// report and pauses EngineSettings.RetryPause milliseconds, and a dead handle is reopened
// once.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "engine/records.h"
#include "platform/raw_device.h"
#include "platform/win_types.h"

namespace engine::disk {

// Pauses between attempts; tests substitute one that only counts.
using Sleeper = std::function<void(std::uint32_t milliseconds)>;
Sleeper realSleeper();

struct ReadPolicy {
    std::int32_t retries = 0;
    std::uint32_t pauseMilliseconds = 0;
    HWND notifyWindow = 0;
};

// The policy of the current settings record (10 attempts, no pause, no window before
// the library is initialised).
ReadPolicy currentReadPolicy();

// Copies the report into a LocalAlloc block and posts it to `window`; nothing is
// allocated for window 0, and the block is freed again when the post fails.
void postIoError(HWND window, const IoErrorReport& report);

struct SectorRun {
    std::uint64_t position;  // bytes, base offset included
    void* buffer;
    std::size_t bytes;
};

// One read attempt on the current handle.
using ReadOnce = std::function<platform::IoResult(const SectorRun& run)>;
// Reopens the source; 0, or the errno of the failed open.
using Reopen = std::function<int()>;

// Returns the bytes of the successful attempt (a short read at the end of the device
// included), 0 when every attempt failed.
std::uint64_t readWithRetries(const SectorRun& run, const ReadPolicy& policy,
                              const Sleeper& sleep, const ReadOnce& readOnce,
                              const Reopen& reopen);

}  // namespace engine::disk
