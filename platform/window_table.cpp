#include <limits>
#include <stdexcept>
#include <unordered_map>

#include "platform/handles.h"
#include "platform/messages.h"

namespace {

using platform::WindowReceiver;

class WindowTable {
public:
    static WindowTable& instance() {
        // Never destroyed: windows may be posted to while the process exits.
        static auto* table = new WindowTable;
        return *table;
    }

    HWND add(std::shared_ptr<WindowReceiver> receiver) {
        std::lock_guard lock(mutex_);
        if (nextWindow_ > std::numeric_limits<HWND>::max()) {
            throw std::overflow_error("window ids exhausted");
        }
        const auto window = static_cast<HWND>(nextWindow_++);
        windows_.emplace(window, std::move(receiver));
        return window;
    }

    void remove(HWND window) {
        std::shared_ptr<WindowReceiver> removed;
        std::lock_guard lock(mutex_);
        const auto found = windows_.find(window);
        if (found != windows_.end()) {
            removed = std::move(found->second);
            windows_.erase(found);
        }
    }

    std::shared_ptr<WindowReceiver> find(HWND window) const {
        std::lock_guard lock(mutex_);
        const auto found = windows_.find(window);
        return found == windows_.end() ? nullptr : found->second;
    }

private:
    mutable std::mutex mutex_;
    std::unordered_map<HWND, std::shared_ptr<WindowReceiver>> windows_;
    std::uint64_t nextWindow_ = 1;
};

}  // namespace

namespace platform {

WindowReceiver::~WindowReceiver() = default;

HWND registerWindow(std::shared_ptr<WindowReceiver> receiver) {
    if (!receiver) {
        throw std::invalid_argument("registerWindow needs a receiver");
    }
    return WindowTable::instance().add(std::move(receiver));
}

void unregisterWindow(HWND window) { WindowTable::instance().remove(window); }

std::optional<LRESULT> sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A copy, so the table is not locked while the receiver handles the message.
    const auto receiver = WindowTable::instance().find(window);
    std::optional<LRESULT> result;
    if (receiver) result = receiver->send({window, message, wParam, lParam});
    if (!result) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return result;
}

}  // namespace platform

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto receiver = WindowTable::instance().find(window);
    if (!receiver || !receiver->post({window, message, wParam, lParam})) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return 1;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return platform::sendMessage(window, message, wParam, lParam).value_or(0);
}

BOOL IsWindow(HWND window) { return WindowTable::instance().find(window) ? 1 : 0; }
