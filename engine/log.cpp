#include "engine/log.h"

#include <unistd.h>

#include <array>
#include <cstring>
#include <mutex>

#include "engine/exports.h"
#include "engine/no_destructor.h"
#include "platform/format.h"

namespace {

constexpr std::size_t kTextSize = 1024;
constexpr std::size_t kSinkBufferSize = 8192;
constexpr std::size_t kSinkFlushThreshold = 4096;
constexpr char kLevelLetters[] = {'S', 'W', 'E', 'D'};

struct LogState {
    std::mutex lock;
    char text[kTextSize] = {};
    char lastError[kTextSize] = {};
    int sinkFd = -1;
    std::array<bool, 4> levelEnabled = {};
    char sinkBuffer[kSinkBufferSize] = {};
    std::size_t sinkFill = 0;
};

thread_local int quietScopes = 0;

// The library's unload still logs after static destructors may have run.
LogState& state() {
    static engine::NoDestructor<LogState> instance;
    return instance.get();
}

// Caller holds the lock. A failed write drops the buffered lines: a log never fails its
// caller.
void writeSinkBuffer(LogState& log) {
    std::size_t written = 0;
    while (log.sinkFd >= 0 && written < log.sinkFill) {
        ssize_t n = ::write(log.sinkFd, log.sinkBuffer + written, log.sinkFill - written);
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    log.sinkFill = 0;
}

}  // namespace

namespace engine {

int logv(int type, const char* format, va_list args) {
    if (quietScopes > 0) return 0;
    try {
        LogState& log = state();
        std::lock_guard guard(log.lock);
        std::size_t length = platform::formatv(log.text, kTextSize, format ? format : "", args);
        if (type == kLogError) std::memcpy(log.lastError, log.text, length + 1);
        if (log.sinkFd < 0) return static_cast<int>(length);
        if (log.sinkFill > kSinkFlushThreshold) writeSinkBuffer(log);
        if (type < kLogStatus || type > kLogDebug || !log.levelEnabled[type - 1]) {
            return static_cast<int>(length);
        }
        char* line = log.sinkBuffer + log.sinkFill;
        line[0] = kLevelLetters[type - 1];
        line[1] = '.';
        std::memcpy(line + 2, log.text, length);
        line[length + 2] = '\n';
        log.sinkFill += length + 3;
        return static_cast<int>(length);
    } catch (...) {
        return 0;
    }
}

void setLogSink(int fileDescriptor) {
    LogState& log = state();
    std::lock_guard guard(log.lock);
    writeSinkBuffer(log);
    log.sinkFd = fileDescriptor;
}

void enableLogLevel(int type, bool enabled) {
    if (type < kLogStatus || type > kLogDebug) return;
    LogState& log = state();
    std::lock_guard guard(log.lock);
    log.levelEnabled[type - 1] = enabled;
}

void flushLogSink() {
    LogState& log = state();
    std::lock_guard guard(log.lock);
    writeSinkBuffer(log);
}

QuietLogScope::QuietLogScope() { ++quietScopes; }
QuietLogScope::~QuietLogScope() { --quietScopes; }

}  // namespace engine

UNDELETE_API int Log(int type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int result = engine::logv(type, format, args);
    va_end(args);
    return result;
}

UNDELETE_API const char* GetLastErrorString() {
    // The text stays the engine's; it changes with the next error line.
    return state().lastError;
}
