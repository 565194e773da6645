#include "wizard/bridge/message_event.h"

#include <utility>

#include "platform/local_heap.h"

namespace {

HLOCAL blockOf(std::uintptr_t value) { return reinterpret_cast<HLOCAL>(value); }

}  // namespace

void MessagePayload::release() {
    switch (std::exchange(kind_, PayloadKind::None)) {
    case PayloadKind::None:
        break;
    case PayloadKind::WParam:
        LocalFree(blockOf(wParam_));
        break;
    case PayloadKind::LParam:
    case PayloadKind::SameBlockInBoth:
        LocalFree(blockOf(static_cast<std::uintptr_t>(lParam_)));
        break;
    }
}

void SendReply::answer(LRESULT result) {
    {
        std::lock_guard lock(mutex_);
        if (done_) {
            return;
        }
        done_ = true;
        result_ = result;
    }
    answered_.notify_one();  // one sender waits for each reply
}

LRESULT SendReply::wait() {
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [this] { return done_; });
    return result_;
}

QEvent::Type MessageEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

MessageEvent::MessageEvent(const platform::Message& message, PayloadKind payload,
                           std::shared_ptr<SendReply> reply, QueuedCount queued)
    : QEvent(eventType()),
      message_(message),
      payload_(payload, message.wParam, message.lParam),
      reply_(std::move(reply)),
      queued_(std::move(queued)) {
    ++*queued_;
}

MessageEvent::~MessageEvent() { finish(0); }

void MessageEvent::finish(LRESULT result) {
    if (std::exchange(finished_, true)) {
        return;
    }
    payload_.release();
    if (reply_) {
        reply_->answer(result);
    }
    --*queued_;
}
