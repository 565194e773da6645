#include "platform/process.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace {

TEST(ChildProcess, ArgumentsEnvironmentExitStatusAndFailures) {
    auto exact = platform::ChildProcess::spawn(
        {"/bin/sh", "-c", "test \"$1\" = 'two words' && test \"$ONLY\" = yes && test -z \"$HOME\"",
         "sh", "two words"},
        {"ONLY=yes"});
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->wait(), 0);
    EXPECT_EQ(exact->wait(), -1);
    auto failing = platform::ChildProcess::spawn({"sh", "-c", "exit 3"}, {"PATH=/usr/bin:/bin"});
    ASSERT_TRUE(failing);
    EXPECT_EQ(failing->wait(), 3);
    auto killed = platform::ChildProcess::spawn({"/bin/sh", "-c", "kill -9 $$"}, {});
    ASSERT_TRUE(killed);
    EXPECT_EQ(killed->wait(), 128 + 9);
    EXPECT_FALSE(platform::ChildProcess::spawn({"/no/such/program"}, {}));
    EXPECT_FALSE(platform::ChildProcess::spawn({}, {}));
}

TEST(ChildProcess, InheritsNoDescriptorsBeyondTheStandardThree) {
    const int fd = ::open("/dev/null", O_RDONLY);  // not close-on-exec
    ASSERT_GE(fd, 3);
    auto child = platform::ChildProcess::spawn(
        {"/bin/sh", "-c", "test ! -e /proc/self/fd/" + std::to_string(fd)}, {});
    ASSERT_TRUE(child);
    EXPECT_EQ(child->wait(), 0);
    ::close(fd);
}

TEST(ChildProcess, UnwaitedChildrenAreReaped) {
    pid_t id = -1;
    {
        auto child = platform::ChildProcess::spawn({"/bin/true"}, {});
        ASSERT_TRUE(child);
        id = child->id();
    }
    bool reaped = false;  // once reaped, the id is no longer a child of ours
    for (int i = 0; i < 500 && !reaped; ++i) {
        reaped = ::kill(id, 0) != 0;
        ::usleep(10000);
    }
    EXPECT_TRUE(reaped);
}

TEST(Environment, NamedVariablesAreDroppedExactly) {
    ::setenv("FileSig", "1", 1);
    ::setenv("FileSigX", "2", 1);
    const auto variables = platform::currentEnvironment({"FileSig", "FileSize"});
    EXPECT_EQ(std::count(variables.begin(), variables.end(), "FileSig=1"), 0);
    EXPECT_EQ(std::count(variables.begin(), variables.end(), "FileSigX=2"), 1);
    ::unsetenv("FileSig");
    ::unsetenv("FileSigX");
}

}  // namespace
