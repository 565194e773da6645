#pragma once
// The machinery shared by every kernel object behind a HANDLE: one process-wide lock and
// condition variable for all object state changes, and the table of open handles. A
// handle is an id into the table, never reused, so a stale or doubly closed handle is
// reported instead of touching freed memory.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/handles.h"
#include "platform/win_types.h"

namespace platform::kernel {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // Both run with KernelObjects::mutex held.
    virtual bool signalled() const = 0;
    // What a successful wait does to the object (an auto-reset event resets).
    virtual void acquire() {}
};

class KernelObjects {
public:
    static KernelObjects& instance();

    // Guards the table and the state of every kernel object.
    std::mutex mutex;
    // Notified (all waiters) on every state change of any object.
    std::condition_variable changed;

    // The rest need `mutex` held.
    HANDLE open(std::shared_ptr<KernelObject> object);
    std::shared_ptr<KernelObject> find(HANDLE handle) const;
    // Returns the object taken out of the table, null when the handle is not open.
    std::shared_ptr<KernelObject> close(HANDLE handle);

private:
    std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> handles_;
    std::uintptr_t nextHandle_ = 1;
};

// Looks up an open handle to an object of type T; sets ERROR_INVALID_HANDLE otherwise.
template <typename T>
std::shared_ptr<T> findObject(HANDLE handle) {
    auto& objects = KernelObjects::instance();
    std::shared_ptr<T> object;
    {
        std::lock_guard lock(objects.mutex);
        object = std::dynamic_pointer_cast<T>(objects.find(handle));
    }
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return object;
}

}  // namespace platform::kernel
