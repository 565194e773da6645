#pragma once
// The engine's narrow log. Every line is formatted into one shared buffer; an error line
// also becomes the last-error text that callers fetch with GetLastErrorString. An optional
// file sink, off unless a host sets it, collects lines of the enabled levels.

#include <cstdarg>

enum LogLevel : int { kLogStatus = 1, kLogWarning = 2, kLogError = 3, kLogDebug = 4 };

namespace engine {

int logv(int type, const char* format, va_list args);

// Sends lines of the enabled levels to an open file descriptor (-1: none), which the
// caller owns. Lines collect in a buffer that is written out once it holds more than
// 4096 bytes, and when the sink is replaced or flushed.
void setLogSink(int fileDescriptor);
void enableLogLevel(int type, bool enabled);
void flushLogSink();

// While one lives, the lines its thread logs are dropped: for reads repeated sector by
// sector, whose failures the caller reports itself, folded into runs.
class QuietLogScope {
public:
    QuietLogScope();
    ~QuietLogScope();
    QuietLogScope(const QuietLogScope&) = delete;
    QuietLogScope& operator=(const QuietLogScope&) = delete;
};

}  // namespace engine
