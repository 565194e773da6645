#pragma once
// Child processes started with posix_spawn, and the desktop's "open this file" service.
// A child that nobody waits for is reaped in the background, so no zombie is left.

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/api.h"

extern "C" char** environ;

namespace platform {

class PLATFORM_API ChildProcess {
public:
    // Starts argv[0] (looked up on PATH when it has no slash) with exactly `environment`
    // ("NAME=value" strings), the caller's working directory and no descriptors beyond
    // the standard three. Fails (nothing, errno set) when
    // argv is empty or the program cannot be started.
    static std::optional<ChildProcess> spawn(const std::vector<std::string>& argv,
                                             const std::vector<std::string>& environment);

    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // A child not waited for is handed to a background reaper.
    ~ChildProcess();

    pid_t id() const { return pid_; }
    // Blocks until the child ends; returns its exit status, 128 + signal number when a
    // signal ended it, or -1 when it was already waited for.
    int wait();

private:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    void detach();

    pid_t pid_ = -1;
};

// The calling process's environment as "NAME=value" strings, without the variables
// named in `without`.
PLATFORM_API std::vector<std::string> currentEnvironment(const std::vector<std::string>& without);

// Opens a file with the desktop's default application (xdg-open) and does not wait for
// it; false when that cannot be started. Tests replace the service with a hook; an empty
// hook restores xdg-open. Returns the previous hook.
using ShellOpenHook = std::function<bool(const std::string& path)>;
PLATFORM_API bool shellOpen(const std::string& path);
PLATFORM_API ShellOpenHook setShellOpenHook(ShellOpenHook hook);

}  // namespace platform
