#pragma once
// Windows and messages. A window is a 32-bit id in the process's window table, registered
// by whoever receives messages: the wizard through its Qt adapter, tests and callers
// without a GUI through QueueWindow.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/api.h"
#include "platform/win_types.h"

// Queues the message and returns at once; fails (0) for a window that is not registered,
// and then the payload stays the poster's to free.
PLATFORM_EXTERN_C PLATFORM_API BOOL PostMessageW(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam);
// Blocks until the receiver has handled the message and returns its result, also across
// threads; returns 0 at once for a window that is gone, and 0 when the window goes away
// before handling it.
PLATFORM_EXTERN_C PLATFORM_API LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam);
PLATFORM_EXTERN_C PLATFORM_API BOOL IsWindow(HWND window);

namespace platform {

struct Message {
    HWND window = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// What a registered window does with the messages that reach it.
class PLATFORM_API WindowReceiver {
public:
    virtual ~WindowReceiver();
    // Takes a posted message; false refuses it (the poster keeps its payload).
    virtual bool post(const Message& message) = 0;
    // Handles a sent message and returns its result; nothing when the receiver went away
    // before handling it. Called on the sender's thread; blocks as long as it takes.
    virtual std::optional<LRESULT> send(const Message& message) = 0;
};

// Registers a receiver and returns its new, never reused, non-zero id.
PLATFORM_API HWND registerWindow(std::shared_ptr<WindowReceiver> receiver);
// After this returns, posts and sends to the window fail; a send already in progress
// keeps the receiver alive until it returns.
PLATFORM_API void unregisterWindow(HWND window);

// SendMessageW that tells whether the message was handled: nothing when the window is
// gone or went away before handling it, so the sender knows its payload is still its own.
PLATFORM_API std::optional<LRESULT> sendMessage(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam);

// A window whose messages wait in a queue until its owner dispatches them. Sends from
// other threads block until the owner has handled them; a send from the thread that is
// dispatching is handled at once, so a handler may send to its own window.
class PLATFORM_API QueueWindow {
public:
    using Handler = std::function<LRESULT(const Message&)>;

    explicit QueueWindow(Handler handler);
    // Unregisters; blocked senders return 0; messages still queued are dropped unhandled.
    ~QueueWindow();
    QueueWindow(const QueueWindow&) = delete;
    QueueWindow& operator=(const QueueWindow&) = delete;

    HWND handle() const { return handle_; }

    // Handles the next message, waiting up to `timeout` for one; false when none came.
    bool dispatchOne(std::chrono::milliseconds timeout);
    // Handles every message already queued; returns how many.
    std::size_t dispatchPending();

private:
    class Receiver;
    std::shared_ptr<Receiver> receiver_;
    HWND handle_ = 0;
};

}  // namespace platform
