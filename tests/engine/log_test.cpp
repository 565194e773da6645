#include "engine/log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "engine/exports.h"

namespace {

// Captures what the file sink writes through a pipe.
class LogSinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::pipe(fds_), 0);
        engine::setLogSink(fds_[1]);
        for (int level = 1; level <= 4; ++level) engine::enableLogLevel(level, true);
    }
    void TearDown() override {
        engine::setLogSink(-1);
        for (int level = 1; level <= 4; ++level) engine::enableLogLevel(level, false);
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    std::string drain() {
        engine::flushLogSink();
        std::string out(65536, '\0');
        ssize_t n = ::read(fds_[0], out.data(), out.size());
        out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return out;
    }
    int fds_[2] = {-1, -1};
};

TEST(Log, ErrorLineBecomesLastErrorAndOtherLevelsLeaveIt) {
    Log(kLogError, "Can't read boot sector on %s", "\\\\.\\E:");
    EXPECT_STREQ(GetLastErrorString(), "Can't read boot sector on \\\\.\\E:");
    Log(kLogStatus, "DLL try initialize");
    Log(kLogWarning, "warning");
    Log(5, "no such level");
    EXPECT_STREQ(GetLastErrorString(), "Can't read boot sector on \\\\.\\E:");
    Log(kLogError, "%I64d %I64x %d", 5000000000LL, 0x123456789ALL, -7);
    EXPECT_STREQ(GetLastErrorString(), "5000000000 123456789a -7");
}

TEST(Log, LongLinesAreCutNotOverrun) {
    std::string huge(5000, 'x');
    Log(kLogError, "%s%I64d", huge.c_str(), 5000000000LL);
    EXPECT_EQ(std::string(GetLastErrorString()), std::string(1023, 'x'));
}

TEST_F(LogSinkTest, LinesAreLetterDotTextAndUnknownOrDisabledLevelsAreNotWritten) {
    Log(kLogWarning, "x");
    Log(kLogStatus, "a %d", 1);
    Log(5, "five");
    engine::enableLogLevel(kLogDebug, false);
    Log(kLogDebug, "debug");
    EXPECT_EQ(drain(), "W.x\nS.a 1\n");
}

TEST_F(LogSinkTest, BufferIsWrittenOnceItPassesItsThreshold) {
    std::string line(1000, 'y');
    for (int i = 0; i < 5; ++i) Log(kLogDebug, "%s", line.c_str());  // 5 x 1003 bytes
    Log(kLogDebug, "next");  // finds more than 4096 bytes waiting and writes them first
    std::string written(8192, '\0');
    ssize_t n = ::read(fds_[0], written.data(), written.size());
    EXPECT_EQ(n, 5 * 1003);
}

TEST(Log, ConcurrentLinesKeepTheLastErrorWhole) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 500; ++i) Log(kLogError, "thread %d line %d", t, i);
        });
    }
    for (auto& thread : threads) thread.join();
    int t = -1, i = -1;
    ASSERT_EQ(std::sscanf(GetLastErrorString(), "thread %d line %d", &t, &i), 2);
    EXPECT_EQ(i, 499);
}

}  // namespace
