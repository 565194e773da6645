#pragma once
// A window of the platform's window table that delivers its messages on the GUI thread.
//
// Engine threads post and send to the window's id. A post becomes a queued Qt event that
// owns the message's payload: the payload is freed after the handler has run, or when the
// event is dropped. A send from another thread blocks until the GUI thread has handled
// it; a send from the GUI thread runs the handler at once. Messages without a handler are
// refused: a post fails and the poster keeps its payload, a send returns 0.
// Create and destroy it on the GUI thread.

#include <QObject>

#include <cstddef>
#include <functional>
#include <memory>

#include "platform/win_types.h"

// Where a message carries a block from the local heap that the receiver frees.
enum class PayloadKind {
    None,
    WParam,
    LParam,
    SameBlockInBoth,  // one block in wParam and lParam alike, freed once
};

class MessageWindow : public QObject {
    Q_OBJECT

public:
    // Runs on the GUI thread; the payload is valid only during the call (copy what you
    // keep). The result is what a sender gets back.
    using Handler = std::function<LRESULT(WPARAM wParam, LPARAM lParam)>;

    explicit MessageWindow(QObject* parent = nullptr);
    // Unregisters the window, then releases blocked senders with 0 and frees the payloads
    // of every message not yet handled.
    ~MessageWindow() override;
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND handle() const { return handle_; }
    // Messages accepted and not yet handled or dropped (queued posts and blocked sends).
    std::size_t queuedMessages() const;

    // From now on `message` is accepted and handled by `handler`; replaces an earlier
    // handler of it. Messages already queued keep the payload kind they were accepted with.
    void setHandler(UINT message, PayloadKind payload, Handler handler);

protected:
    bool event(QEvent* event) override;

private:
    class Receiver;
    std::shared_ptr<Receiver> receiver_;
    HWND handle_ = 0;
};
