#pragma once
// Static storage for an object that is never destroyed by the runtime: the library's unload
// runs in an order of its own choosing, after static destructors may already have run.
// The storage is static, so unloading the library releases it without a leak.

#include <new>
#include <utility>

namespace engine {

template <typename T>
class NoDestructor {
public:
    template <typename... Args>
    explicit NoDestructor(Args&&... args) {
        new (storage_) T(std::forward<Args>(args)...);
    }
    NoDestructor(const NoDestructor&) = delete;
    NoDestructor& operator=(const NoDestructor&) = delete;

    T& get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace engine
