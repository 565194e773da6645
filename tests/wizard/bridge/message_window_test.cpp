// The bridge between engine threads and the GUI thread. Payload blocks come from the local
// heap, so the sanitizers see any that is freed twice or never.

#include <QThread>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <atomic>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#include "platform/handles.h"
#include "platform/local_heap.h"
#include "platform/messages.h"
#include "wizard/bridge/message_window.h"
#include "wizard/bridge/pumping_wait.h"
#include "wizard/support/thread_group.h"
#include "wizard/support/wait_until.h"

namespace {

constexpr UINT kCount = WM_APP + 1;
constexpr UINT kBlock = WM_APP + 2;
constexpr UINT kSharedBlock = WM_APP + 3;
constexpr UINT kUnhandled = WM_APP + 4;

// A local-heap block holding `value`, as the engine hands its records over.
LPARAM blockHolding(std::uint64_t value) {
    void* block = LocalAlloc(LPTR, sizeof value);
    std::memcpy(block, &value, sizeof value);
    return reinterpret_cast<LPARAM>(block);
}

std::uint64_t valueIn(std::uintptr_t block) {
    std::uint64_t value;
    std::memcpy(&value, reinterpret_cast<const void*>(block), sizeof value);
    return value;
}

TEST(MessageWindow, SendsFromFourThreadsAreEachHandledOnceAndInOrderWhileTheGuiPumps) {
    constexpr int kThreads = 4;
    constexpr int kSendsPerThread = 25'000;
    MessageWindow window;
    std::array<int, kThreads> nextExpected{};
    int handled = 0;
    bool allOnGuiThread = true;
    window.setHandler(kCount, PayloadKind::None, [&](WPARAM sender, LPARAM sequence) {
        allOnGuiThread &= QThread::currentThread() == window.thread();
        EXPECT_EQ(sequence, nextExpected[sender]) << "sender " << sender;
        nextExpected[sender] = static_cast<int>(sequence) + 1;
        ++handled;
        return sequence * 2;
    });

    std::atomic<int> wrongResults{0};
    ThreadBodies senders;
    for (int sender = 0; sender < kThreads; ++sender) {
        senders.push_back([&, sender] {
            for (LPARAM sequence = 0; sequence < kSendsPerThread; ++sequence) {
                if (SendMessageW(window.handle(), kCount, static_cast<WPARAM>(sender),
                                 sequence) != sequence * 2) {
                    ++wrongResults;
                }
            }
        });
    }
    HANDLE group = startThreadGroup(std::move(senders));
    ASSERT_EQ(pumpingWait(group), PumpingWaitResult::Finished);
    CloseHandle(group);

    EXPECT_EQ(handled, kThreads * kSendsPerThread);
    EXPECT_EQ(wrongResults, 0);
    EXPECT_TRUE(allOnGuiThread);
    for (int count : nextExpected) {
        EXPECT_EQ(count, kSendsPerThread);
    }
}

TEST(MessageWindow, PostsArriveInOrderAndTheirBlocksAreFreedAfterTheHandler) {
    MessageWindow window;
    std::vector<std::uint64_t> seen;
    window.setHandler(kBlock, PayloadKind::LParam, [&](WPARAM, LPARAM block) {
        seen.push_back(valueIn(static_cast<std::uintptr_t>(block)));
        return 0;
    });
    std::thread poster([&] {
        for (std::uint64_t value = 0; value < 100; ++value) {
            EXPECT_TRUE(PostMessageW(window.handle(), kBlock, 0, blockHolding(value)));
        }
    });
    poster.join();
    EXPECT_TRUE(waitUntil([&] { return seen.size() == 100; }));
    for (std::uint64_t value = 0; value < seen.size(); ++value) {
        EXPECT_EQ(seen[value], value);
    }
    EXPECT_EQ(window.queuedMessages(), 0u);
}

TEST(MessageWindow, DestroyingFreesQueuedPayloadsOnceAndReleasesABlockedSenderWithZero) {
    auto window = std::make_unique<MessageWindow>();
    int handled = 0;
    window->setHandler(kBlock, PayloadKind::LParam, [&](WPARAM, LPARAM) { return ++handled; });
    window->setHandler(kSharedBlock, PayloadKind::SameBlockInBoth,
                       [&](WPARAM, LPARAM) { return ++handled; });
    window->setHandler(kCount, PayloadKind::WParam, [&](WPARAM, LPARAM) { return ++handled; });
    const HWND handle = window->handle();

    ASSERT_TRUE(PostMessageW(handle, kBlock, 0, blockHolding(1)));
    const LPARAM wideBlock = blockHolding(2);
    ASSERT_TRUE(PostMessageW(handle, kCount, static_cast<WPARAM>(wideBlock), 0));
    std::optional<LRESULT> senderGot = -1;
    std::thread sender([&] {
        // As the engine delivers a found file: a send without an answer leaves the record
        // the sender's to free.
        const LPARAM record = blockHolding(3);
        senderGot = platform::sendMessage(handle, kSharedBlock, static_cast<WPARAM>(record), record);
        if (!senderGot) LocalFree(reinterpret_cast<HLOCAL>(record));
    });
    // Without handling events, so that nothing is delivered before the window goes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (window->queuedMessages() < 3 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(window->queuedMessages(), 3u);
    window.reset();
    sender.join();

    // The window freed the record, so the answer says so.
    EXPECT_EQ(senderGot, std::optional<LRESULT>(0));
    EXPECT_EQ(handled, 0);
    EXPECT_FALSE(IsWindow(handle));
    // Nothing of the window is left to deliver.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(handled, 0);
}

TEST(MessageWindow, AnUnhandledMessageIsRefusedAndThePosterKeepsItsPayload) {
    MessageWindow window;
    window.setHandler(kBlock, PayloadKind::LParam, [](WPARAM, LPARAM) { return 1; });
    const LPARAM block = blockHolding(7);
    EXPECT_FALSE(PostMessageW(window.handle(), kUnhandled, 0, block));
    EXPECT_EQ(valueIn(static_cast<std::uintptr_t>(block)), 7u);  // still the poster's
    LocalFree(reinterpret_cast<HLOCAL>(block));

    LRESULT fromThread = -1;
    std::thread([&] { fromThread = SendMessageW(window.handle(), kUnhandled, 0, 0); }).join();
    EXPECT_EQ(fromThread, 0);
    EXPECT_EQ(SendMessageW(window.handle(), kUnhandled, 0, 0), 0);
    EXPECT_EQ(window.queuedMessages(), 0u);
}

TEST(MessageWindow, ASendFromTheGuiThreadRunsAtOnceAndMayNestInItsOwnHandler) {
    MessageWindow window;
    std::vector<std::uint64_t> order;
    window.setHandler(kSharedBlock, PayloadKind::SameBlockInBoth, [&](WPARAM wide, LPARAM block) {
        EXPECT_EQ(static_cast<LPARAM>(wide), block);
        const std::uint64_t value = valueIn(wide);
        if (value == 1) {
            const LPARAM inner = blockHolding(2);
            EXPECT_EQ(SendMessageW(window.handle(), kSharedBlock, static_cast<WPARAM>(inner),
                                   inner),
                      20);
        }
        order.push_back(value);
        return static_cast<LRESULT>(value * 10);
    });
    const LPARAM outer = blockHolding(1);
    EXPECT_EQ(SendMessageW(window.handle(), kSharedBlock, static_cast<WPARAM>(outer), outer),
              10);
    EXPECT_EQ(order, (std::vector<std::uint64_t>{2, 1}));
    EXPECT_EQ(window.queuedMessages(), 0u);
}

TEST(MessageWindow, APostFromTheGuiThreadWaitsForTheEventLoop) {
    MessageWindow window;
    int handled = 0;
    window.setHandler(kCount, PayloadKind::None, [&](WPARAM, LPARAM) { return ++handled; });
    ASSERT_TRUE(PostMessageW(window.handle(), kCount, 0, 0));
    EXPECT_EQ(handled, 0);
    EXPECT_TRUE(waitUntil([&] { return handled == 1; }));
}

}  // namespace
