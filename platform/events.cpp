#include <new>

#include "platform/handles.h"
#include "platform/kernel_object.h"

namespace {

using platform::kernel::KernelObjects;

class EventObject final : public platform::kernel::KernelObject {
public:
    EventObject(bool manualReset, bool signalled)
        : manualReset_(manualReset), signalled_(signalled) {}

    bool signalled() const override { return signalled_; }
    void acquire() override {
        if (!manualReset_) {
            signalled_ = false;
        }
    }
    void set(bool signalled) { signalled_ = signalled; }

private:
    const bool manualReset_;
    bool signalled_;
};

BOOL setState(HANDLE handle, bool signalled) {
    const auto event = platform::kernel::findObject<EventObject>(handle);
    if (!event) {
        return 0;
    }
    auto& objects = KernelObjects::instance();
    {
        std::lock_guard lock(objects.mutex);
        event->set(signalled);
    }
    if (signalled) {
        objects.changed.notify_all();
    }
    return 1;
}

}  // namespace

HANDLE CreateEventW(void*, BOOL manualReset, BOOL initialState, const WCHAR* name) {
    if (name != nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    try {
        auto event = std::make_shared<EventObject>(manualReset != 0, initialState != 0);
        auto& objects = KernelObjects::instance();
        std::lock_guard lock(objects.mutex);
        return objects.open(std::move(event));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

BOOL SetEvent(HANDLE event) { return setState(event, true); }

BOOL ResetEvent(HANDLE event) { return setState(event, false); }
