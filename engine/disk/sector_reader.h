#pragma once
// The read policy that drives and volumes share: a run of sectors is attempted up to
// EngineSettings.ReadRetries times, each failed attempt posts one WM_ENGINE_IO_ERROR
// report and pauses EngineSettings.RetryPause milliseconds, and a dead handle is reopened
// once. Inside a ReadScope the passes that read a failing disk sector by sector set the
// attempts themselves and report the failures once per run.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

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

// How many attempts a read inside a ReadScope makes: All, the settings' ReadRetries with
// a pause after each failed one; One, a single attempt without a pause (none with
// ReadRetries 0), which only tells whether the sectors read.
enum class Attempts { All, One };

struct ReadFailure {
    std::uint32_t code;  // kIoErrorSeek or kIoErrorRead
    int error;
    std::uint32_t attempt;
    std::uint64_t position;  // bytes, base offset included
};

// While one lives, the reads its thread makes through readWithRetries (ReadSectors of
// drives and volumes, also under a file system's FileRead) make the scope's attempts,
// and their failures are kept here instead of being posted one per attempt: the caller
// reports a run of them once. The innermost scope of a thread applies; the failure it
// kept passes on to the scope around it when it ends.
class ReadScope {
public:
    explicit ReadScope(Attempts attempts);
    ~ReadScope();
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;

    // The thread's innermost scope, null outside any.
    static ReadScope* current();
    Attempts attempts() const { return attempts_; }
    void fail(const ReadFailure& failure) { failure_ = failure; }
    // The last failed attempt made in the scope, if any.
    const std::optional<ReadFailure>& failure() const { return failure_; }

private:
    Attempts attempts_;
    std::optional<ReadFailure> failure_;
    ReadScope* outer_;
};

// Posts the failure as one report to `window` (nothing for window 0).
void postIoError(HWND window, const ReadFailure& failure);

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
