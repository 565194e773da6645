#include <thread>
#include <utility>

#include "platform/messages.h"

namespace platform {

// Shared by the window and every sender still blocked in it, so a sender outlives
// neither the queue nor the state it waits on.
class QueueWindow::Receiver final : public WindowReceiver {
public:
    explicit Receiver(Handler handler)
        : handler_(std::move(handler)), owner_(std::this_thread::get_id()) {}

    bool post(const Message& message) override {
        {
            std::lock_guard lock(mutex_);
            if (closed_) {
                return false;
            }
            queue_.push_back({message, nullptr});
        }
        arrived_.notify_one();
        return true;
    }

    std::optional<LRESULT> send(const Message& message) override {
        std::unique_lock lock(mutex_);
        if (closed_) {
            return std::nullopt;
        }
        // Waiting for itself would never end.
        if (handlesAtOnce(std::this_thread::get_id())) {
            lock.unlock();
            return handler_(message);
        }
        const auto reply = std::make_shared<Reply>();
        queue_.push_back({message, reply});
        arrived_.notify_one();
        answered_.wait(lock, [&] { return reply->answered || closed_; });
        return reply->answered ? reply->result : std::nullopt;
    }

    bool dispatchOne(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        if (!arrived_.wait_for(lock, timeout, [&] { return !queue_.empty(); })) {
            return false;
        }
        handleFront(lock);
        return true;
    }

    std::size_t dispatchPending() {
        std::unique_lock lock(mutex_);
        // Only what is queued now: a handler that posts to its own window must not loop.
        const std::size_t pending = queue_.size();
        std::size_t handled = 0;
        while (handled < pending && !queue_.empty()) {
            handleFront(lock);
            ++handled;
        }
        return handled;
    }

    void close() {
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
            queue_.clear();
        }
        answered_.notify_all();
    }

private:
    struct Reply {
        bool answered = false;
        std::optional<LRESULT> result;
    };
    struct Queued {
        Message message;
        std::shared_ptr<Reply> reply;  // null for a posted message
    };

    // Restores the dispatching thread after a (possibly nested) dispatch.
    class DispatchScope {
    public:
        DispatchScope(Receiver& receiver, std::unique_lock<std::mutex>& lock)
            : receiver_(receiver), lock_(lock),
              previous_(std::exchange(receiver.dispatcher_, std::this_thread::get_id())) {
            lock_.unlock();
        }
        ~DispatchScope() {
            lock_.lock();
            receiver_.dispatcher_ = previous_;
        }
        DispatchScope(const DispatchScope&) = delete;
        DispatchScope& operator=(const DispatchScope&) = delete;

    private:
        Receiver& receiver_;
        std::unique_lock<std::mutex>& lock_;
        std::thread::id previous_;
    };

    bool handlesAtOnce(std::thread::id caller) const {
        return caller == owner_ || caller == dispatcher_;
    }

    // Called with `lock` held and the queue not empty; returns with it held.
    void handleFront(std::unique_lock<std::mutex>& lock) {
        Queued queued = std::move(queue_.front());
        queue_.pop_front();
        std::optional<LRESULT> result;
        try {
            const DispatchScope scope(*this, lock);
            result = handler_(queued.message);
        } catch (...) {
            // The sender must not wait for an answer that never comes.
            if (queued.reply) {
                answer(*queued.reply, std::nullopt);
            }
            throw;
        }
        if (queued.reply) {
            answer(*queued.reply, result);
        }
    }

    // With the lock held.
    void answer(Reply& reply, std::optional<LRESULT> result) {
        reply.answered = true;
        reply.result = result;
        answered_.notify_all();
    }

    const Handler handler_;
    const std::thread::id owner_;
    std::mutex mutex_;
    std::condition_variable arrived_;   // a message was queued
    std::condition_variable answered_;  // a send was answered, or the window closed
    std::deque<Queued> queue_;
    std::thread::id dispatcher_;  // the thread inside the handler, if any
    bool closed_ = false;
};

QueueWindow::QueueWindow(Handler handler)
    : receiver_(std::make_shared<Receiver>(std::move(handler))),
      handle_(registerWindow(receiver_)) {}

QueueWindow::~QueueWindow() {
    unregisterWindow(handle_);
    receiver_->close();
}

bool QueueWindow::dispatchOne(std::chrono::milliseconds timeout) {
    return receiver_->dispatchOne(timeout);
}

std::size_t QueueWindow::dispatchPending() { return receiver_->dispatchPending(); }

}  // namespace platform
