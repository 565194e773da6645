#include <array>
#include <atomic>
#include <chrono>
#include <vector>

#include <gtest/gtest.h>

#include "platform/handles.h"
#include "scoped_handle.h"

namespace {

DWORD poll(const ScopedHandle& event) { return WaitForSingleObject(event.get(), 0); }

TEST(Events, InitialStateAndResetModes) {
    EXPECT_EQ(poll(makeEvent(true, true)), WAIT_OBJECT_0);
    EXPECT_EQ(poll(makeEvent(true, false)), WAIT_TIMEOUT);

    const auto manual = makeEvent(true);
    EXPECT_EQ(SetEvent(manual.get()), 1);
    EXPECT_EQ(poll(manual), WAIT_OBJECT_0);
    EXPECT_EQ(poll(manual), WAIT_OBJECT_0);
    EXPECT_EQ(ResetEvent(manual.get()), 1);
    EXPECT_EQ(poll(manual), WAIT_TIMEOUT);

    const auto automatic = makeEvent(false, true);
    EXPECT_EQ(poll(automatic), WAIT_OBJECT_0);
    EXPECT_EQ(poll(automatic), WAIT_TIMEOUT);
    SetEvent(automatic.get());
    SetEvent(automatic.get());  // setting twice does not count
    EXPECT_EQ(poll(automatic), WAIT_OBJECT_0);
    EXPECT_EQ(poll(automatic), WAIT_TIMEOUT);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(automatic.get(), 40), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
}

// Threads that each wait once for `gate`, count themselves and signal `woke`.
struct Waiters {
    Waiters(HANDLE gate, HANDLE woke) : gate(gate), woke(woke) {}

    HANDLE gate;
    HANDLE woke;
    std::atomic<int> released{0};
    std::vector<ScopedHandle> threads;

    void start(int count) {
        for (int i = 0; i < count; ++i) threads.push_back(startThread(passGate, this));
    }
    DWORD waitForAll(DWORD milliseconds) const {
        std::vector<HANDLE> raw;
        for (const auto& thread : threads) raw.push_back(thread.get());
        return WaitForMultipleObjects(static_cast<DWORD>(raw.size()), raw.data(), 1, milliseconds);
    }
    static DWORD passGate(void* raw) {
        auto* self = static_cast<Waiters*>(raw);
        WaitForSingleObject(self->gate, INFINITE);
        self->released.fetch_add(1);
        if (self->woke != nullptr) SetEvent(self->woke);
        return 0;
    }
};

TEST(Events, AutoResetReleasesOneWaiterPerSetManualResetEvery) {
    const auto gate = makeEvent(false);
    const auto woke = makeEvent(false);
    Waiters waiters{gate.get(), woke.get()};
    constexpr int kWaiters = 4;
    waiters.start(kWaiters);
    for (int round = 1; round <= kWaiters; ++round) {
        SetEvent(gate.get());
        ASSERT_EQ(WaitForSingleObject(woke.get(), 5000), WAIT_OBJECT_0);
        Sleep(20);  // room for a wrongly released second waiter to show up
        EXPECT_EQ(waiters.released.load(), round);
    }
    EXPECT_EQ(waiters.waitForAll(5000), WAIT_OBJECT_0);

    const auto manual = makeEvent(true);
    Waiters all{manual.get(), nullptr};
    all.start(kWaiters);
    EXPECT_EQ(all.waitForAll(20), WAIT_TIMEOUT);
    SetEvent(manual.get());
    EXPECT_EQ(all.waitForAll(5000), WAIT_OBJECT_0);
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
    SetEvent(raw[1]);  // the failed wait left the first event signalled
    EXPECT_EQ(WaitForMultipleObjects(2, raw.data(), 1, 0), WAIT_OBJECT_0);
    EXPECT_EQ(poll(first), WAIT_TIMEOUT);
    EXPECT_EQ(poll(second), WAIT_TIMEOUT);

    // Over a thread and an event.
    const auto gate = makeEvent(true);
    Waiters waiter{gate.get(), first.get()};
    waiter.start(1);
    const std::array<HANDLE, 2> mixed{waiter.threads[0].get(), first.get()};
    EXPECT_EQ(WaitForMultipleObjects(2, mixed.data(), 1, 10), WAIT_TIMEOUT);
    SetEvent(gate.get());
    EXPECT_EQ(WaitForMultipleObjects(2, mixed.data(), 1, 5000), WAIT_OBJECT_0);
}

TEST(Events, RejectsBadWaitArgumentsConsumingNothing) {
    const auto event = makeEvent(false, true);
    const auto refused = [&](const char* what, DWORD count, const HANDLE* objects, BOOL all, DWORD error) {
        SetLastError(0);
        EXPECT_EQ(WaitForMultipleObjects(count, objects, all, 0), WAIT_FAILED) << what;
        EXPECT_EQ(GetLastError(), error) << what;
        EXPECT_EQ(poll(event), WAIT_OBJECT_0) << what << " consumed the signal";
        SetEvent(event.get());
    };
    const std::vector<HANDLE> duplicate{event.get(), event.get()};
    refused("duplicate", 2, duplicate.data(), 1, ERROR_INVALID_PARAMETER);
    refused("none", 0, duplicate.data(), 0, ERROR_INVALID_PARAMETER);
    refused("null array", 1, nullptr, 0, ERROR_INVALID_PARAMETER);
    const std::vector<HANDLE> tooMany(MAXIMUM_WAIT_OBJECTS + 1, event.get());
    refused("too many", MAXIMUM_WAIT_OBJECTS + 1, tooMany.data(), 0, ERROR_INVALID_PARAMETER);
    const std::vector<HANDLE> withNull{event.get(), nullptr};
    refused("null handle", 2, withNull.data(), 0, ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
}

TEST(Events, ClosedForeignOrNamedHandlesAreRefused) {
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

    const WCHAR name[] = u"shared";
    SetLastError(0);
    EXPECT_EQ(CreateEventW(nullptr, 1, 0, name), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
