#pragma once
// The largest single allocation made while a probe lives, through the sanitizer
// allocator's hooks: a hostile count that asks for gigabytes shows here before it is
// touched. Without AddressSanitizer the probe reports nothing (available() is false).

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*mallocHook)(const volatile void*, std::size_t), void (*freeHook)(const volatile void*));
#endif

namespace test_support {

class LargestAllocation {
public:
    LargestAllocation() {
        largest() = 0;
        active() = available();
    }
    ~LargestAllocation() { active() = false; }
    LargestAllocation(const LargestAllocation&) = delete;
    LargestAllocation& operator=(const LargestAllocation&) = delete;

    std::size_t bytes() const { return largest(); }

    static bool available() {
#if defined(__SANITIZE_ADDRESS__)
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(record, ignore) != 0;
        return installed;
#else
        return false;
#endif
    }

private:
    static std::atomic<std::size_t>& largest() {
        static std::atomic<std::size_t> value{0};
        return value;
    }
    static std::atomic<bool>& active() {
        static std::atomic<bool> value{false};
        return value;
    }
    static void record(const volatile void*, std::size_t size) {
        if (!active()) return;
        std::size_t seen = largest();
        while (size > seen && !largest().compare_exchange_weak(seen, size)) {
        }
    }
    static void ignore(const volatile void*) {}
};

}  // namespace test_support
