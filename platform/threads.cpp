#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <limits>
#include <memory>
#include <new>

#include "platform/handles.h"
#include "platform/kernel_object.h"

namespace {

using platform::kernel::KernelObjects;

constexpr int kLowestPriority = -15;   // idle
constexpr int kHighestPriority = 15;   // time critical
constexpr int kNicePerPriorityStep = 5;
constexpr int kMinNice = -20;
constexpr int kMaxNice = 19;

class ThreadObject final : public platform::kernel::KernelObject {
public:
    bool signalled() const override { return finished_; }

    // Runs on the new thread before its start routine. Priorities are relative to the
    // process (its main thread), not to the creating thread, so that a lowered thread's
    // own lowered threads run at the same priority as it, not lower still.
    void started() {
        const pid_t tid = gettid();
        errno = 0;
        const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
        std::lock_guard lock(KernelObjects::instance().mutex);
        tid_ = tid;
        baseNice_ = errno == 0 ? nice : 0;
        if (priority_ != THREAD_PRIORITY_NORMAL) {
            applyPriority();
        }
    }

    void finished(DWORD exitCode) {
        auto& objects = KernelObjects::instance();
        {
            std::lock_guard lock(objects.mutex);
            exitCode_ = exitCode;
            finished_ = true;
        }
        objects.changed.notify_all();
    }

    void setPriority(int priority) {
        std::lock_guard lock(KernelObjects::instance().mutex);
        priority_ = priority;
        // Until the thread has started, it applies the priority itself.
        if (tid_ != 0 && !finished_) {
            applyPriority();
        }
    }

    DWORD exitCode() const {
        std::lock_guard lock(KernelObjects::instance().mutex);
        return finished_ ? exitCode_ : STILL_ACTIVE;
    }

private:
    // With the kernel lock held and the thread not finished, so that `tid_` is still it.
    void applyPriority() const {
        const int nice =
            std::clamp(baseNice_ - priority_ * kNicePerPriorityStep, kMinNice, kMaxNice);
        // Best effort: raising the priority above the start value needs privileges.
        setpriority(PRIO_PROCESS, static_cast<id_t>(tid_), nice);
    }

    pid_t tid_ = 0;
    int baseNice_ = 0;
    int priority_ = THREAD_PRIORITY_NORMAL;
    bool finished_ = false;
    DWORD exitCode_ = STILL_ACTIVE;
};

struct Launch {
    std::shared_ptr<ThreadObject> thread;  // the running thread's own reference
    LPTHREAD_START_ROUTINE start;
    void* parameter;
};

void* runThread(void* raw) {
    const std::unique_ptr<Launch> launch(static_cast<Launch*>(raw));
    launch->thread->started();
    launch->thread->finished(launch->start(launch->parameter));
    return nullptr;
}

// Zero when the size cannot be represented.
std::size_t stackSizeFor(std::size_t requested) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const auto minimum = static_cast<std::size_t>(PTHREAD_STACK_MIN);
    const std::size_t size = std::max(requested, minimum);
    if (size > std::numeric_limits<std::size_t>::max() - (page - 1)) {
        return 0;
    }
    return (size + page - 1) / page * page;
}

class ThreadAttributes {
public:
    ThreadAttributes() : error_(pthread_attr_init(&attributes_)) {}
    ~ThreadAttributes() {
        if (error_ == 0) {
            pthread_attr_destroy(&attributes_);
        }
    }
    ThreadAttributes(const ThreadAttributes&) = delete;
    ThreadAttributes& operator=(const ThreadAttributes&) = delete;

    // Returns 0 or an errno value.
    int configure(std::size_t stackSize) {
        if (error_ != 0) {
            return error_;
        }
        if (const int error = pthread_attr_setdetachstate(&attributes_, PTHREAD_CREATE_DETACHED)) {
            return error;
        }
        return stackSize == 0 ? 0 : pthread_attr_setstacksize(&attributes_, stackSize);
    }
    const pthread_attr_t* get() const { return &attributes_; }

private:
    pthread_attr_t attributes_;
    int error_;
};

std::atomic<DWORD> nextThreadId{1};

}  // namespace

HANDLE CreateThread(void*, std::size_t stackSize, LPTHREAD_START_ROUTINE start, void* parameter,
                    DWORD, DWORD* threadId) {
    if (start == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::size_t roundedStack = stackSize == 0 ? 0 : stackSizeFor(stackSize);
    if (stackSize != 0 && roundedStack == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    ThreadAttributes attributes;
    if (const int error = attributes.configure(roundedStack)) {
        SetLastError(static_cast<DWORD>(error));
        return nullptr;
    }
    try {
        auto thread = std::make_shared<ThreadObject>();
        auto launch = std::make_unique<Launch>(Launch{thread, start, parameter});
        auto& objects = KernelObjects::instance();
        HANDLE handle = nullptr;
        {
            std::lock_guard lock(objects.mutex);
            handle = objects.open(thread);
        }
        pthread_t id;
        if (const int error = pthread_create(&id, attributes.get(), runThread, launch.get())) {
            std::lock_guard lock(objects.mutex);
            objects.close(handle);
            SetLastError(static_cast<DWORD>(error));
            return nullptr;
        }
        static_cast<void>(launch.release());  // runThread owns it now
        if (threadId != nullptr) {
            *threadId = nextThreadId++;
        }
        return handle;
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
    if (priority < kLowestPriority || priority > kHighestPriority) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const auto object = platform::kernel::findObject<ThreadObject>(thread);
    if (!object) {
        return 0;
    }
    object->setPriority(priority);
    return 1;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
    if (exitCode == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const auto object = platform::kernel::findObject<ThreadObject>(thread);
    if (!object) {
        return 0;
    }
    *exitCode = object->exitCode();
    return 1;
}
