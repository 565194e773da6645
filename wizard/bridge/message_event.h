#pragma once
// The pieces of a message on its way to a MessageWindow: the payload it owns, the answer
// a blocked sender waits for, and the Qt event that carries both to the GUI thread.

#include <QEvent>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>

#include "platform/messages.h"
#include "wizard/bridge/message_window.h"

// The local-heap blocks of one message; frees them once.
class MessagePayload {
public:
    MessagePayload(PayloadKind kind, WPARAM wParam, LPARAM lParam)
        : kind_(kind), wParam_(wParam), lParam_(lParam) {}
    ~MessagePayload() { release(); }
    MessagePayload(const MessagePayload&) = delete;
    MessagePayload& operator=(const MessagePayload&) = delete;

    void release();

private:
    PayloadKind kind_;
    WPARAM wParam_;
    LPARAM lParam_;
};

// What a sender on another thread waits for. The first answer counts.
class SendReply {
public:
    void answer(LRESULT result);
    LRESULT wait();

private:
    std::mutex mutex_;
    std::condition_variable answered_;
    bool done_ = false;
    LRESULT result_ = 0;
};

// How many messages of one window are queued; shared by the window and its events.
using QueuedCount = std::shared_ptr<std::atomic<std::size_t>>;

// A posted or sent message queued for the GUI thread. Dropping it unhandled frees its
// payload and releases its sender with 0: the payload is gone either way, so the sender
// must not be told it still owns it.
class MessageEvent final : public QEvent {
public:
    static QEvent::Type eventType();

    MessageEvent(const platform::Message& message, PayloadKind payload,
                 std::shared_ptr<SendReply> reply, QueuedCount queued);
    ~MessageEvent() override;

    const platform::Message& message() const { return message_; }
    // Frees the payload, then answers the sender, if any; only the first call counts.
    void finish(LRESULT result);

private:
    platform::Message message_;
    MessagePayload payload_;
    std::shared_ptr<SendReply> reply_;  // null for a posted message
    QueuedCount queued_;
    bool finished_ = false;
};
