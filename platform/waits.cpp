#include <algorithm>
#include <chrono>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "platform/handles.h"
#include "platform/kernel_object.h"

namespace {

using platform::kernel::KernelObject;
using platform::kernel::KernelObjects;
using Objects = std::vector<std::shared_ptr<KernelObject>>;

// With the kernel lock held: the index to report when the wait is satisfied.
std::optional<DWORD> satisfiedIndex(const Objects& objects, bool waitAll) {
    if (waitAll) {
        const bool all = std::all_of(objects.begin(), objects.end(),
                                     [](const auto& object) { return object->signalled(); });
        return all ? std::optional<DWORD>(0) : std::nullopt;
    }
    for (std::size_t index = 0; index < objects.size(); ++index) {
        if (objects[index]->signalled()) {
            return static_cast<DWORD>(index);
        }
    }
    return std::nullopt;
}

bool hasDuplicates(std::span<const HANDLE> handles) {
    std::vector<HANDLE> sorted(handles.begin(), handles.end());
    std::sort(sorted.begin(), sorted.end());
    return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
}

DWORD waitForObjects(std::span<const HANDLE> handles, bool waitAll, DWORD milliseconds) {
    // A wait for all would consume one auto-reset event twice.
    if (waitAll && hasDuplicates(handles)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    auto& kernel = KernelObjects::instance();
    Objects objects;
    objects.reserve(handles.size());
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(milliseconds);

    std::unique_lock lock(kernel.mutex);
    for (const HANDLE handle : handles) {
        auto object = kernel.find(handle);
        if (!object) {
            lock.unlock();
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objects.push_back(std::move(object));
    }
    for (;;) {
        if (const auto index = satisfiedIndex(objects, waitAll)) {
            if (waitAll) {
                for (const auto& object : objects) {
                    object->acquire();
                }
            } else {
                objects[*index]->acquire();
            }
            return WAIT_OBJECT_0 + *index;
        }
        if (milliseconds == INFINITE) {
            kernel.changed.wait(lock);
        } else if (std::chrono::steady_clock::now() >= deadline) {
            return WAIT_TIMEOUT;
        } else {
            kernel.changed.wait_until(lock, deadline);
        }
    }
}

}  // namespace

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    return waitForObjects(std::span(&object, 1), false, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll,
                             DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || objects == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    return waitForObjects(std::span(objects, count), waitAll != 0, milliseconds);
}

void Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
