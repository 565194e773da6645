#pragma once
// Collects the engine's log lines of every level while it lives; all levels are off again
// afterwards, as they start.

#include <cstddef>
#include <cstdio>
#include <string>

#include "engine/log.h"

namespace test_support {

class LogCapture {
public:
    LogCapture() : file_(std::tmpfile()) {
        for (int level = kLogStatus; level <= kLogDebug; ++level) engine::enableLogLevel(level, true);
        engine::setLogSink(fileno(file_));
    }
    ~LogCapture() {
        engine::setLogSink(-1);
        for (int level = kLogStatus; level <= kLogDebug; ++level) engine::enableLogLevel(level, false);
        std::fclose(file_);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything written so far.
    std::string text() {
        engine::flushLogSink();
        std::string all;
        std::rewind(file_);
        for (int c; (c = std::fgetc(file_)) != EOF;) all.push_back(static_cast<char>(c));
        return all;
    }

    std::size_t count(const std::string& needle) {
        const std::string all = text();
        std::size_t found = 0;
        for (std::size_t at = all.find(needle); at != std::string::npos; at = all.find(needle, at + 1)) ++found;
        return found;
    }

private:
    FILE* file_;
};

}  // namespace test_support
