#include <array>
#include <atomic>
#include <chrono>
#include <vector>

#include <gtest/gtest.h>

#include "platform/handles.h"
#include "scoped_handle.h"

namespace {

TEST(Events, InitialStateIsRespected) {
    const auto set = makeEvent(true, true);
    const auto unset = makeEvent(true, false);
    ASSERT_TRUE(set && unset);
    EXPECT_EQ(WaitForSingleObject(set.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(unset.get(), 0), WAIT_TIMEOUT);
}

TEST(Events, ManualResetStaysSignalledUntilReset) {
    const auto event = makeEvent(true);
    EXPECT_EQ(SetEvent(event.get()), 1);
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(ResetEvent(event.get()), 1);
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_TIMEOUT);
}

TEST(Events, AutoResetIsConsumedByOneWait) {
    const auto event = makeEvent(false, true);
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_TIMEOUT);
    // Setting twice does not count.
    SetEvent(event.get());
    SetEvent(event.get());
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_TIMEOUT);
}

TEST(Events, WaitTimesOutAfterTheRequestedTime) {
    const auto event = makeEvent(false);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event.get(), 40), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
}

struct Waiters {
    HANDLE gate = nullptr;
    HANDLE woke = nullptr;
    std::atomic<int> released{0};
};

DWORD passGate(void* raw) {
    auto* waiters = static_cast<Waiters*>(raw);
    WaitForSingleObject(waiters->gate, INFINITE);
    waiters->released.fetch_add(1);
    if (waiters->woke != nullptr) {
        SetEvent(waiters->woke);
    }
    return 0;
}

std::vector<ScopedHandle> startWaiters(Waiters& waiters, int count) {
    std::vector<ScopedHandle> threads;
    for (int i = 0; i < count; ++i) {
        threads.push_back(startThread(passGate, &waiters));
    }
    return threads;
}

DWORD waitForAll(const std::vector<ScopedHandle>& threads, DWORD milliseconds) {
    std::vector<HANDLE> raw;
    for (const auto& thread : threads) {
        raw.push_back(thread.get());
    }
    return WaitForMultipleObjects(static_cast<DWORD>(raw.size()), raw.data(), 1, milliseconds);
}

TEST(Events, AutoResetReleasesExactlyOneWaiterPerSet) {
    const auto gate = makeEvent(false);
    const auto woke = makeEvent(false);
    Waiters waiters{gate.get(), woke.get()};
    constexpr int kWaiters = 4;
    const auto threads = startWaiters(waiters, kWaiters);

    for (int round = 1; round <= kWaiters; ++round) {
        SetEvent(gate.get());
        ASSERT_EQ(WaitForSingleObject(woke.get(), 5000), WAIT_OBJECT_0);
        Sleep(20);  // room for a wrongly released second waiter to show up
        EXPECT_EQ(waiters.released.load(), round);
    }
    EXPECT_EQ(waitForAll(threads, 5000), WAIT_OBJECT_0);
}

TEST(Events, ManualResetReleasesEveryWaiter) {
    const auto gate = makeEvent(true);
    Waiters waiters{gate.get(), nullptr};
    const auto threads = startWaiters(waiters, 4);
    EXPECT_EQ(waitForAll(threads, 20), WAIT_TIMEOUT);
    SetEvent(gate.get());
    EXPECT_EQ(waitForAll(threads, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(waiters.released.load(), 4);
}

TEST(Events, WaitForAnyReportsTheFirstSignalledAndConsumesOnlyIt) {
    std::array events{makeEvent(false), makeEvent(false), makeEvent(false)};
    const std::array<HANDLE, 3> raw{events[0].get(), events[1].get(), events[2].get()};
    EXPECT_EQ(WaitForMultipleObjects(3, raw.data(), 0, 10), WAIT_TIMEOUT);

    SetEvent(raw[2]);
    EXPECT_EQ(WaitForMultipleObjects(3, raw.data(), 0, 0), WAIT_OBJECT_0 + 2);

    SetEvent(raw[2]);
    SetEvent(raw[1]);
    EXPECT_EQ(WaitForMultipleObjects(3, raw.data(), 0, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(3, raw.data(), 0, 0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects(3, raw.data(), 0, 0), WAIT_TIMEOUT);
}

TEST(Events, WaitForAllConsumesNothingUntilEveryObjectIsSignalled) {
    const auto first = makeEvent(false);
    const auto second = makeEvent(false);
    const std::array<HANDLE, 2> raw{first.get(), second.get()};

    SetEvent(raw[0]);
    EXPECT_EQ(WaitForMultipleObjects(2, raw.data(), 1, 10), WAIT_TIMEOUT);
    // The failed wait left the first event signalled.
    SetEvent(raw[1]);
    EXPECT_EQ(WaitForMultipleObjects(2, raw.data(), 1, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(raw[0], 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(raw[1], 0), WAIT_TIMEOUT);
}

TEST(Events, WaitForAllOverAThreadAndAnEvent) {
    const auto gate = makeEvent(true);
    const auto other = makeEvent(false);
    Waiters waiters{gate.get(), other.get()};
    const auto thread = startThread(passGate, &waiters);
    const std::array<HANDLE, 2> raw{thread.get(), other.get()};

    EXPECT_EQ(WaitForMultipleObjects(2, raw.data(), 1, 10), WAIT_TIMEOUT);
    SetEvent(gate.get());
    EXPECT_EQ(WaitForMultipleObjects(2, raw.data(), 1, 5000), WAIT_OBJECT_0);
}

TEST(Events, RejectsBadWaitArguments) {
    const auto event = makeEvent(false, true);
    const std::array<HANDLE, 2> duplicate{event.get(), event.get()};
    SetLastError(0);
    EXPECT_EQ(WaitForMultipleObjects(2, duplicate.data(), 1, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    // Still signalled: the refused wait consumed nothing.
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);

    EXPECT_EQ(WaitForMultipleObjects(0, duplicate.data(), 0, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WaitForMultipleObjects(1, nullptr, 0, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    std::vector<HANDLE> tooMany(MAXIMUM_WAIT_OBJECTS + 1, event.get());
    EXPECT_EQ(WaitForMultipleObjects(static_cast<DWORD>(tooMany.size()), tooMany.data(), 0, 0),
              WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    const std::array<HANDLE, 2> withNull{event.get(), nullptr};
    SetEvent(event.get());
    EXPECT_EQ(WaitForMultipleObjects(2, withNull.data(), 0, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
}

TEST(Events, ClosedOrForeignHandlesAreRefused) {
    HANDLE event = CreateEventW(nullptr, 1, 0, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(CloseHandle(event), 1);
    SetLastError(0);
    EXPECT_EQ(SetEvent(event), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(ResetEvent(event), 0);
    EXPECT_EQ(CloseHandle(event), 0);

    const auto thread = startThread(+[](void*) -> DWORD { return 0; }, nullptr);
    EXPECT_EQ(SetEvent(thread.get()), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(thread.get(), INFINITE), WAIT_OBJECT_0);
}

TEST(Events, NamedEventsAreNotSupported) {
    const WCHAR name[] = u"shared";
    SetLastError(0);
    EXPECT_EQ(CreateEventW(nullptr, 1, 0, name), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
