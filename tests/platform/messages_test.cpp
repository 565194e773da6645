#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/handles.h"
#include "platform/local_heap.h"
#include "platform/messages.h"
#include "scoped_handle.h"

namespace {

using platform::Message;
using platform::QueueWindow;
using namespace std::chrono_literals;

constexpr UINT kFirst = WM_USER + 1;
constexpr UINT kSecond = WM_USER + 2;

// Runs `body` on a platform thread and waits for it on destruction; its result becomes
// the thread's exit code.
class Worker {
public:
    explicit Worker(std::function<DWORD()> body)
        : body_(std::move(body)), thread_(startThread(&Worker::run, this)) {}
    ~Worker() { WaitForSingleObject(thread_.get(), INFINITE); }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    bool stillRunningAfter(DWORD milliseconds) const {
        return WaitForSingleObject(thread_.get(), milliseconds) == WAIT_TIMEOUT;
    }
    DWORD finish() const {
        EXPECT_EQ(WaitForSingleObject(thread_.get(), 5000), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeThread(thread_.get(), &code);
        return code;
    }

private:
    static DWORD run(void* self) { return static_cast<Worker*>(self)->body_(); }

    std::function<DWORD()> body_;
    ScopedHandle thread_;
};

std::unique_ptr<Worker> sendFromAnotherThread(HWND window, UINT message) {
    return std::make_unique<Worker>([=] { return static_cast<DWORD>(SendMessageW(window, message, 0, 0)); });
}

TEST(QueueWindow, PostAndBlockingSendFromAnotherThreadArriveInOrderOnTheOwner) {
    std::vector<UINT> seen;
    std::thread::id handlerThread;
    QueueWindow window([&](const Message& message) {
        seen.push_back(message.message);
        handlerThread = std::this_thread::get_id();
        return static_cast<LRESULT>(message.wParam * 2);
    });
    const HWND handle = window.handle();
    Worker sender([handle] {
        if (!PostMessageW(handle, kFirst, 1, 0)) return DWORD{1000};
        return static_cast<DWORD>(SendMessageW(handle, kSecond, 21, 0));
    });

    EXPECT_TRUE(sender.stillRunningAfter(50));
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(window.dispatchOne(5s));
    EXPECT_TRUE(window.dispatchOne(5s));
    EXPECT_EQ(sender.finish(), 42u);
    EXPECT_EQ(seen, (std::vector<UINT>{kFirst, kSecond}));
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
    EXPECT_EQ(SendMessageW(handle, kFirst, 31, 0), 62);  // the owner's own send needs no dispatch
}

TEST(QueueWindow, PostAndSendToAWindowThatIsGoneFail) {
    HWND gone = 0;
    {
        QueueWindow window([](const Message&) { return LRESULT{5}; });
        gone = window.handle();
        EXPECT_EQ(IsWindow(gone), 1);
    }
    EXPECT_EQ(IsWindow(gone), 0);

    HLOCAL payload = LocalAlloc(LPTR, 64);
    ASSERT_NE(payload, nullptr);
    SetLastError(0);
    // If the post wrongly succeeded, nobody frees the payload and the leak checker fails.
    if (!PostMessageW(gone, kFirst, 0, reinterpret_cast<LPARAM>(payload))) {
        EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
        LocalFree(payload);
    } else {
        ADD_FAILURE() << "post to a destroyed window succeeded";
    }
    EXPECT_EQ(PostMessageW(0, kFirst, 0, 0), 0);
    SetLastError(0);
    EXPECT_EQ(SendMessageW(gone, kFirst, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(SendMessageW(0, kFirst, 0, 0), 0);
}

TEST(QueueWindow, DestroyingTheWindowReleasesABlockedSenderWithZero) {
    std::atomic<bool> handled{false};
    auto window = std::make_unique<QueueWindow>([&](const Message&) {
        handled = true;
        return LRESULT{9};
    });
    const auto sender = sendFromAnotherThread(window->handle(), kFirst);
    EXPECT_TRUE(sender->stillRunningAfter(50));
    window.reset();
    EXPECT_EQ(sender->finish(), 0u);
    EXPECT_FALSE(handled);
}

TEST(QueueWindow, AHandlerDispatchingOnAnotherThreadMaySendToItsOwnWindow) {
    HWND self = 0;
    QueueWindow window([&](const Message& message) -> LRESULT {
        return message.message == kFirst ? SendMessageW(self, kSecond, 0, 0) + 1 : 10;
    });
    self = window.handle();
    ASSERT_EQ(PostMessageW(self, kFirst, 0, 0), 1);
    // Not the owner: only "inside dispatch" keeps the nested send from waiting for itself.
    Worker dispatcher([&window] { return window.dispatchOne(5s) ? DWORD{1} : DWORD{0}; });
    EXPECT_EQ(dispatcher.finish(), 1u);
}

TEST(QueueWindow, ManyThreadsPostingConcurrentlyLoseNothing) {
    constexpr int kThreads = 8;
    constexpr int kPostsEach = 500;
    std::vector<std::vector<LPARAM>> received(kThreads);
    QueueWindow window([&](const Message& message) {
        received.at(message.wParam).push_back(message.lParam);
        return LRESULT{0};
    });
    const HWND handle = window.handle();
    std::vector<std::unique_ptr<Worker>> posters;
    for (int thread = 0; thread < kThreads; ++thread) {
        posters.push_back(std::make_unique<Worker>([handle, thread] {
            DWORD failures = 0;
            for (int post = 0; post < kPostsEach; ++post) {
                failures += PostMessageW(handle, kFirst, static_cast<WPARAM>(thread), post) ? 0 : 1;
            }
            return failures;
        }));
    }
    for (int handled = 0; handled < kThreads * kPostsEach; ++handled) {
        ASSERT_TRUE(window.dispatchOne(5s)) << handled;
    }
    EXPECT_EQ(window.dispatchPending(), 0u);
    for (int thread = 0; thread < kThreads; ++thread) {
        EXPECT_EQ(posters[thread]->finish(), 0u);
        ASSERT_EQ(received[thread].size(), static_cast<std::size_t>(kPostsEach));
        for (int post = 0; post < kPostsEach; ++post) {
            ASSERT_EQ(received[thread][post], post) << "thread " << thread;
        }
    }
}

TEST(QueueWindow, DispatchHandlesOnlyWhatWasAlreadyQueued) {
    HWND self = 0;
    QueueWindow window([&](const Message& message) {
        if (message.message == kFirst) PostMessageW(self, kSecond, 0, 0);
        return LRESULT{0};
    });
    self = window.handle();
    EXPECT_FALSE(window.dispatchOne(0ms));
    EXPECT_FALSE(window.dispatchOne(20ms));
    for (int i = 0; i < 3; ++i) PostMessageW(self, kFirst, 0, 0);
    EXPECT_EQ(window.dispatchPending(), 3u);
    EXPECT_EQ(window.dispatchPending(), 3u);
    EXPECT_EQ(window.dispatchPending(), 0u);
}

TEST(QueueWindow, AThrowingHandlerReleasesTheSenderAndKeepsTheWindowUsable) {
    QueueWindow window([](const Message& message) -> LRESULT {
        if (message.message == kFirst) throw std::runtime_error("handler failed");
        return 3;
    });
    const auto sender = sendFromAnotherThread(window.handle(), kFirst);
    EXPECT_THROW(window.dispatchOne(5s), std::runtime_error);
    EXPECT_EQ(sender->finish(), 0u);
    const auto again = sendFromAnotherThread(window.handle(), kSecond);
    EXPECT_TRUE(window.dispatchOne(5s));
    EXPECT_EQ(again->finish(), 3u);
}

// Counts accepted posts; blocks a send until `answer` is set.
class FakeReceiver : public platform::WindowReceiver {
public:
    bool acceptPosts = true;
    std::atomic<int> posts{0};
    ScopedHandle entered = makeEvent(true);
    ScopedHandle answer = makeEvent(true);

    bool post(const Message&) override {
        if (acceptPosts) ++posts;
        return acceptPosts;
    }
    std::optional<LRESULT> send(const Message& message) override {
        if (message.message != kSecond) return std::nullopt;
        SetEvent(entered.get());
        WaitForSingleObject(answer.get(), INFINITE);
        return 11;
    }
};

TEST(WindowTable, IdsAreNeverReusedRefusedPostsFailUnansweredSendsGiveZero) {
    const auto receiver = std::make_shared<FakeReceiver>();
    const HWND first = platform::registerWindow(receiver);
    platform::unregisterWindow(first);
    const HWND window = platform::registerWindow(receiver);
    EXPECT_NE(first, 0u);
    EXPECT_GT(window, first);
    EXPECT_EQ(IsWindow(first), 0);
    EXPECT_EQ(IsWindow(window), 1);
    EXPECT_THROW(platform::registerWindow(nullptr), std::invalid_argument);

    EXPECT_EQ(PostMessageW(window, kFirst, 0, 0), 1);
    receiver->acceptPosts = false;
    SetLastError(0);
    EXPECT_EQ(PostMessageW(window, kFirst, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(receiver->posts.load(), 1);
    EXPECT_EQ(SendMessageW(window, kFirst, 0, 0), 0);
    platform::unregisterWindow(window);
    platform::unregisterWindow(window);  // harmless
}

TEST(WindowTable, ASendInProgressKeepsTheReceiverAliveAfterUnregistering) {
    auto receiver = std::make_shared<FakeReceiver>();
    const std::weak_ptr<FakeReceiver> watch = receiver;
    HANDLE answer = receiver->answer.get();
    HANDLE entered = receiver->entered.get();
    const HWND window = platform::registerWindow(std::move(receiver));
    const auto sender = sendFromAnotherThread(window, kSecond);

    ASSERT_EQ(WaitForSingleObject(entered, 5000), WAIT_OBJECT_0);
    platform::unregisterWindow(window);
    EXPECT_EQ(IsWindow(window), 0);
    EXPECT_FALSE(watch.expired());
    SetEvent(answer);
    EXPECT_EQ(sender->finish(), 11u);
    EXPECT_TRUE(watch.expired());
}

}  // namespace
