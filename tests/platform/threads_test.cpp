#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "platform/handles.h"
#include "scoped_handle.h"

namespace {

struct Gate {
    HANDLE release = nullptr;
    DWORD exitCode = 0;
};

DWORD waitForGate(void* raw) {
    const auto* gate = static_cast<Gate*>(raw);
    WaitForSingleObject(gate->release, INFINITE);
    return gate->exitCode;
}

DWORD exitCode(HANDLE thread) {
    DWORD code = 0;
    EXPECT_EQ(GetExitCodeThread(thread, &code), 1);
    return code;
}

TEST(Threads, WaitTimesOutWhileRunningThenReportsExitCode) {
    const auto release = makeEvent(true);
    Gate gate{release.get(), 42};
    const auto thread = startThread(waitForGate, &gate);
    ASSERT_TRUE(thread);

    EXPECT_EQ(WaitForSingleObject(thread.get(), 20), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(thread.get(), 0), WAIT_TIMEOUT);
    EXPECT_EQ(exitCode(thread.get()), STILL_ACTIVE);

    SetEvent(release.get());
    EXPECT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(exitCode(thread.get()), 42u);
    // A finished thread stays signalled.
    EXPECT_EQ(WaitForSingleObject(thread.get(), 0), WAIT_OBJECT_0);
}

struct Finish {
    HANDLE release = nullptr;
    HANDLE done = nullptr;
};

DWORD signalWhenReleased(void* raw) {
    const auto finish = *static_cast<Finish*>(raw);
    WaitForSingleObject(finish.release, INFINITE);
    SetEvent(finish.done);
    return 0;
}

TEST(Threads, ClosingTheHandleOfARunningThreadLetsItFinish) {
    const auto release = makeEvent(true);
    const auto done = makeEvent(true);
    Finish finish{release.get(), done.get()};
    HANDLE thread = CreateThread(nullptr, 0, signalWhenReleased, &finish, 0, nullptr);
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
    // Most of the 4 MiB asked for.
    std::array<volatile unsigned char, 3 * 1024 * 1024> big;
    for (std::size_t i = 0; i < big.size(); i += 4096) {
        big[i] = static_cast<unsigned char>(i >> 12);
    }
    DWORD sum = 0;
    for (std::size_t i = 0; i < big.size(); i += 4096) {
        sum += big[i];
    }
    return sum;
}

TEST(Threads, LargeStackHoldsABigLocalArray) {
    const auto thread = startThread(useLargeStack, nullptr, 4 * 1024 * 1024);
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
    DWORD expected = 0;
    for (std::size_t page = 0; page < 768; ++page) {
        expected += static_cast<unsigned char>(page);
    }
    EXPECT_EQ(exitCode(thread.get()), expected);
}

DWORD returnSeven(void*) { return 7; }

TEST(Threads, TinyAndUnalignedStackSizesAreRoundedUp) {
    for (const std::size_t size : {std::size_t{1}, std::size_t{12345}}) {
        const auto thread = startThread(returnSeven, nullptr, size);
        ASSERT_TRUE(thread) << size;
        ASSERT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
        EXPECT_EQ(exitCode(thread.get()), 7u);
    }
}

TEST(Threads, RejectsBadArguments) {
    SetLastError(0);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    const auto event = makeEvent(true);
    DWORD code = 0;
    EXPECT_EQ(GetExitCodeThread(event.get(), &code), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetThreadPriority(event.get(), THREAD_PRIORITY_LOWEST), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetExitCodeThread(nullptr, &code), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    const auto thread = startThread(returnSeven, nullptr);
    ASSERT_TRUE(thread);
    EXPECT_EQ(GetExitCodeThread(thread.get(), nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SetThreadPriority(thread.get(), 100), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
}

TEST(Threads, CloseHandleRejectsNullAndUnknownHandles) {
    SetLastError(0);
    EXPECT_EQ(CloseHandle(nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    int notAHandle = 0;
    SetLastError(0);
    EXPECT_EQ(CloseHandle(&notAHandle), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

struct PriorityProbe {
    HANDLE go = nullptr;
    int nice = 0;
};

DWORD readNiceWhenTold(void* raw) {
    auto* probe = static_cast<PriorityProbe*>(raw);
    WaitForSingleObject(probe->go, INFINITE);
    errno = 0;
    probe->nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    return static_cast<DWORD>(errno);
}

TEST(Threads, LowestPriorityRaisesTheThreadsNiceValue) {
    errno = 0;
    const int baseNice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    ASSERT_EQ(errno, 0);
    const auto go = makeEvent(true);
    PriorityProbe probe{go.get(), baseNice};
    const auto thread = startThread(readNiceWhenTold, &probe);
    ASSERT_TRUE(thread);

    EXPECT_EQ(SetThreadPriority(thread.get(), THREAD_PRIORITY_LOWEST), 1);
    SetEvent(go.get());
    ASSERT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
    ASSERT_EQ(exitCode(thread.get()), 0u);
    if (baseNice < 19) {
        EXPECT_GT(probe.nice, baseNice);
    }
    // The calling thread is untouched, and a finished thread accepts the call quietly.
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())), baseNice);
    EXPECT_EQ(SetThreadPriority(thread.get(), THREAD_PRIORITY_NORMAL), 1);
}

DWORD reportInheritedErrorAfterSettingOwn(void*) {
    const DWORD inherited = GetLastError();
    SetLastError(1234);
    return inherited;
}

TEST(Threads, LastErrorIsPerThread) {
    SetLastError(5);
    const auto thread = startThread(reportInheritedErrorAfterSettingOwn, nullptr);
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(exitCode(thread.get()), 0u);
    EXPECT_EQ(GetLastError(), 5u);
}

DWORD countUp(void* raw) {
    static_cast<std::atomic<int>*>(raw)->fetch_add(1);
    return 0;
}

TEST(Threads, WaitForAllOfManyThreads) {
    std::atomic<int> counter{0};
    std::vector<ScopedHandle> threads;
    std::vector<HANDLE> raw;
    for (DWORD i = 0; i < MAXIMUM_WAIT_OBJECTS; ++i) {
        threads.push_back(startThread(countUp, &counter));
        ASSERT_TRUE(threads.back());
        raw.push_back(threads.back().get());
    }
    EXPECT_EQ(WaitForMultipleObjects(static_cast<DWORD>(raw.size()), raw.data(), 1, INFINITE),
              WAIT_OBJECT_0);
    EXPECT_EQ(counter.load(), static_cast<int>(MAXIMUM_WAIT_OBJECTS));
}

}  // namespace
