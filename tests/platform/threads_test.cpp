#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <vector>

#include <gtest/gtest.h>

#include "platform/handles.h"
#include "scoped_handle.h"

namespace {

DWORD exitCode(HANDLE thread) {
    DWORD code = 0;
    EXPECT_EQ(GetExitCodeThread(thread, &code), 1);
    return code;
}

DWORD finishedExitCode(const ScopedHandle& thread) {
    EXPECT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
    return exitCode(thread.get());
}

// Waits for `release`, then signals `done` if given and exits with `exitCode`.
struct Gate {
    HANDLE release = nullptr;
    HANDLE done = nullptr;
    DWORD exitCode = 0;

    static DWORD pass(void* raw) {
        const Gate gate = *static_cast<Gate*>(raw);
        WaitForSingleObject(gate.release, INFINITE);
        if (gate.done != nullptr) SetEvent(gate.done);
        return gate.exitCode;
    }
};

TEST(Threads, WaitTimesOutWhileRunningThenReportsExitCode) {
    const auto release = makeEvent(true);
    Gate gate{release.get(), nullptr, 42};
    const auto thread = startThread(Gate::pass, &gate);
    ASSERT_TRUE(thread);
    EXPECT_EQ(WaitForSingleObject(thread.get(), 20), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(thread.get(), 0), WAIT_TIMEOUT);
    EXPECT_EQ(exitCode(thread.get()), STILL_ACTIVE);
    SetEvent(release.get());
    EXPECT_EQ(finishedExitCode(thread), 42u);
    EXPECT_EQ(WaitForSingleObject(thread.get(), 0), WAIT_OBJECT_0);  // a finished thread stays signalled
}

TEST(Threads, ClosingTheHandleOfARunningThreadLetsItFinish) {
    const auto release = makeEvent(true);
    const auto done = makeEvent(true);
    Gate gate{release.get(), done.get(), 0};
    HANDLE thread = CreateThread(nullptr, 0, Gate::pass, &gate, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(CloseHandle(thread), 1);
    SetEvent(release.get());
    EXPECT_EQ(WaitForSingleObject(done.get(), 5000), WAIT_OBJECT_0);
    SetLastError(0);
    EXPECT_EQ(CloseHandle(thread), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
}

DWORD useLargeStack(void*) {
    std::array<volatile unsigned char, 3 * 1024 * 1024> big;  // most of the 4 MiB asked for
    for (std::size_t i = 0; i < big.size(); i += 4096) big[i] = static_cast<unsigned char>(i >> 12);
    DWORD sum = 0;
    for (std::size_t i = 0; i < big.size(); i += 4096) sum += big[i];
    return sum;
}

DWORD returnSeven(void*) { return 7; }

TEST(Threads, StackSizesAreHonouredOrRoundedUp) {
    const auto large = startThread(useLargeStack, nullptr, 4 * 1024 * 1024);
    ASSERT_TRUE(large);
    DWORD expected = 0;
    for (std::size_t page = 0; page < 768; ++page) expected += static_cast<unsigned char>(page);
    EXPECT_EQ(finishedExitCode(large), expected);
    for (const std::size_t size : {std::size_t{1}, std::size_t{12345}}) {
        const auto thread = startThread(returnSeven, nullptr, size);
        ASSERT_TRUE(thread) << size;
        EXPECT_EQ(finishedExitCode(thread), 7u) << size;
    }
}

TEST(Threads, RejectsBadArgumentsAndForeignHandles) {
    const auto event = makeEvent(true);
    const auto thread = startThread(returnSeven, nullptr);
    ASSERT_TRUE(thread);
    const auto refused = [](const char* what, BOOL result, DWORD error) {
        EXPECT_EQ(result, 0) << what;
        EXPECT_EQ(GetLastError(), error) << what;
        SetLastError(0);
    };
    SetLastError(0);
    refused("no function", CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr) != nullptr, ERROR_INVALID_PARAMETER);
    DWORD code = 0;
    refused("exit code of an event", GetExitCodeThread(event.get(), &code), ERROR_INVALID_HANDLE);
    refused("priority of an event", SetThreadPriority(event.get(), THREAD_PRIORITY_LOWEST), ERROR_INVALID_HANDLE);
    refused("exit code of null", GetExitCodeThread(nullptr, &code), ERROR_INVALID_HANDLE);
    refused("exit code into null", GetExitCodeThread(thread.get(), nullptr), ERROR_INVALID_PARAMETER);
    refused("priority out of range", SetThreadPriority(thread.get(), 100), ERROR_INVALID_PARAMETER);
    refused("close null", CloseHandle(nullptr), ERROR_INVALID_HANDLE);
    int notAHandle = 0;
    refused("close a non-handle", CloseHandle(&notAHandle), ERROR_INVALID_HANDLE);
    EXPECT_EQ(finishedExitCode(thread), 7u);
}

// Reads its own nice value once told to.
struct PriorityProbe {
    HANDLE go = nullptr;
    int nice = 0;

    static DWORD read(void* raw) {
        auto* probe = static_cast<PriorityProbe*>(raw);
        WaitForSingleObject(probe->go, INFINITE);
        errno = 0;
        probe->nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
        return static_cast<DWORD>(errno);
    }
};

// A lowered thread that starts and lowers a thread of its own.
struct NestedProbe {
    int outerNice = 0;
    PriorityProbe inner;

    static DWORD run(void* raw) {
        auto* probe = static_cast<NestedProbe*>(raw);
        const auto go = makeEvent(true);
        probe->inner.go = go.get();
        const auto thread = startThread(PriorityProbe::read, &probe->inner);
        if (!thread) return 1;
        SetThreadPriority(thread.get(), THREAD_PRIORITY_LOWEST);
        SetEvent(go.get());
        finishedExitCode(thread);
        probe->outerNice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
        return 0;
    }
};

TEST(Threads, LowestPriorityRaisesTheNiceValueRelativeToTheProcessNotTheCreator) {
    errno = 0;
    const int baseNice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    ASSERT_EQ(errno, 0);
    const auto go = makeEvent(true);
    NestedProbe probe;
    const auto gate = [](void* raw) -> DWORD {
        auto* self = static_cast<std::pair<HANDLE, NestedProbe*>*>(raw);
        WaitForSingleObject(self->first, INFINITE);
        return NestedProbe::run(self->second);
    };
    std::pair<HANDLE, NestedProbe*> start{go.get(), &probe};
    const auto thread = startThread(+gate, &start);
    ASSERT_TRUE(thread);
    SetThreadPriority(thread.get(), THREAD_PRIORITY_LOWEST);
    SetEvent(go.get());
    ASSERT_EQ(finishedExitCode(thread), 0u);
    EXPECT_EQ(probe.inner.nice, probe.outerNice);
    if (baseNice < 19) {
        EXPECT_GT(probe.outerNice, baseNice);
    }
    // The calling thread is untouched, and a finished thread accepts the call quietly.
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())), baseNice);
    EXPECT_EQ(SetThreadPriority(thread.get(), THREAD_PRIORITY_NORMAL), 1);
}

TEST(Threads, LastErrorIsPerThread) {
    SetLastError(5);
    const auto thread = startThread(
        +[](void*) -> DWORD {
            const DWORD inherited = GetLastError();
            SetLastError(1234);
            return inherited;
        },
        nullptr);
    ASSERT_TRUE(thread);
    EXPECT_EQ(finishedExitCode(thread), 0u);
    EXPECT_EQ(GetLastError(), 5u);
}

TEST(Threads, WaitForAllOfManyThreads) {
    std::atomic<int> counter{0};
    std::vector<ScopedHandle> threads;
    std::vector<HANDLE> raw;
    for (DWORD i = 0; i < MAXIMUM_WAIT_OBJECTS; ++i) {
        threads.push_back(startThread(+[](void* count) -> DWORD {
            static_cast<std::atomic<int>*>(count)->fetch_add(1);
            return 0;
        }, &counter));
        ASSERT_TRUE(threads.back());
        raw.push_back(threads.back().get());
    }
    EXPECT_EQ(WaitForMultipleObjects(static_cast<DWORD>(raw.size()), raw.data(), 1, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(counter.load(), static_cast<int>(MAXIMUM_WAIT_OBJECTS));
}

}  // namespace
