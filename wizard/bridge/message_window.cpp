#include "wizard/bridge/message_window.h"

#include <QCoreApplication>

#include <map>
#include <mutex>
#include <shared_mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include "platform/messages.h"
#include "wizard/bridge/message_event.h"

namespace {

struct Route {
    PayloadKind payload;
    MessageWindow::Handler handler;
};

}  // namespace

// Registered in the window table; shared with every sender still inside send(), so it
// outlives the QObject. Once closed it refuses everything.
class MessageWindow::Receiver final : public platform::WindowReceiver {
public:
    explicit Receiver(MessageWindow* window)
        : window_(window), guiThread_(std::this_thread::get_id()) {}

    void setRoute(UINT message, std::shared_ptr<const Route> route) {
        const std::unique_lock lock(mutex_);
        routes_[message] = std::move(route);
    }

    std::shared_ptr<const Route> route(UINT message) const {
        const std::shared_lock lock(mutex_);
        const auto found = routes_.find(message);
        return found == routes_.end() ? nullptr : found->second;
    }

    bool post(const platform::Message& message) override {
        const std::shared_lock lock(mutex_);
        const auto found = routes_.find(message.message);
        if (!window_ || found == routes_.end()) {
            return false;
        }
        // Under the lock, so the window cannot be destroyed while the event is queued;
        // posters share it, only setting a route and closing wait for them.
        QCoreApplication::postEvent(
            window_, new MessageEvent(message, found->second->payload, nullptr, queued_));
        return true;
    }

    std::optional<LRESULT> send(const platform::Message& message) override {
        std::shared_lock lock(mutex_);
        const auto found = routes_.find(message.message);
        if (!window_ || found == routes_.end()) {
            return std::nullopt;
        }
        if (std::this_thread::get_id() == guiThread_) {
            // Waiting for the GUI thread from the GUI thread would never end.
            const std::shared_ptr<const Route> route = found->second;
            lock.unlock();
            const MessagePayload payload(route->payload, message.wParam, message.lParam);
            return route->handler(message.wParam, message.lParam);
        }
        auto reply = std::make_shared<SendReply>();
        QCoreApplication::postEvent(
            window_, new MessageEvent(message, found->second->payload, reply, queued_));
        lock.unlock();
        return reply->wait();
    }

    void close() {
        const std::unique_lock lock(mutex_);
        window_ = nullptr;
    }

    std::size_t queued() const { return queued_->load(); }

private:
    mutable std::shared_mutex mutex_;
    MessageWindow* window_;  // null once closed
    const std::thread::id guiThread_;
    std::map<UINT, std::shared_ptr<const Route>> routes_;
    const QueuedCount queued_ = std::make_shared<std::atomic<std::size_t>>(0);
};

MessageWindow::MessageWindow(QObject* parent)
    : QObject(parent),
      receiver_(std::make_shared<Receiver>(this)),
      handle_(platform::registerWindow(receiver_)) {}

MessageWindow::~MessageWindow() {
    platform::unregisterWindow(handle_);
    receiver_->close();
    // Deleting the queued events frees their payloads and answers their senders with 0.
    QCoreApplication::removePostedEvents(this, MessageEvent::eventType());
}

std::size_t MessageWindow::queuedMessages() const { return receiver_->queued(); }

void MessageWindow::setHandler(UINT message, PayloadKind payload, Handler handler) {
    if (!handler) {
        throw std::invalid_argument("MessageWindow::setHandler needs a handler");
    }
    receiver_->setRoute(message, std::make_shared<const Route>(Route{payload, std::move(handler)}));
}

bool MessageWindow::event(QEvent* event) {
    if (event->type() != MessageEvent::eventType()) {
        return QObject::event(event);
    }
    auto* queued = static_cast<MessageEvent*>(event);
    const platform::Message& message = queued->message();
    const std::shared_ptr<const Route> route = receiver_->route(message.message);
    queued->finish(route->handler(message.wParam, message.lParam));
    return true;
}
