#include "platform/kernel_object.h"

#include "platform/handles.h"

namespace platform::kernel {

KernelObjects& KernelObjects::instance() {
    // Never destroyed: detached threads may still finish while the process exits.
    static auto* objects = new KernelObjects;
    return *objects;
}

HANDLE KernelObjects::open(std::shared_ptr<KernelObject> object) {
    const auto id = nextHandle_++;
    handles_.emplace(id, std::move(object));
    return reinterpret_cast<HANDLE>(id);
}

std::shared_ptr<KernelObject> KernelObjects::find(HANDLE handle) const {
    const auto found = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
    return found == handles_.end() ? nullptr : found->second;
}

std::shared_ptr<KernelObject> KernelObjects::close(HANDLE handle) {
    const auto found = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == handles_.end()) {
        return nullptr;
    }
    auto object = std::move(found->second);
    handles_.erase(found);
    return object;
}

}  // namespace platform::kernel

BOOL CloseHandle(HANDLE object) {
    auto& objects = platform::kernel::KernelObjects::instance();
    std::shared_ptr<platform::kernel::KernelObject> closed;
    {
        std::lock_guard lock(objects.mutex);
        closed = objects.close(object);
    }
    // `closed` is released here, outside the lock; a running thread keeps its own reference.
    if (!closed) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return 1;
}
