#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

namespace platform {

namespace {

std::vector<char*> pointersOf(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (const std::string& text : strings) pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

int waitForChild(pid_t pid) {
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(pid, &status, 0);
    } while (result < 0 && errno == EINTR);
    if (result < 0) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

bool startsWithName(const char* entry, const std::string& name) {
    return std::strncmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=';
}

std::mutex shellHookMutex;
ShellOpenHook& installedShellHook() {
    static ShellOpenHook hook;
    return hook;
}

}  // namespace

std::optional<ChildProcess> ChildProcess::spawn(const std::vector<std::string>& argv,
                                                const std::vector<std::string>& environment) {
    if (argv.empty() || argv.front().empty()) {
        errno = EINVAL;
        return std::nullopt;
    }
    std::vector<char*> arguments = pointersOf(argv);
    std::vector<char*> variables = pointersOf(environment);
    // The child gets the standard three descriptors and no other.
    posix_spawn_file_actions_t actions;
    if (const int error = ::posix_spawn_file_actions_init(&actions)) {
        errno = error;
        return std::nullopt;
    }
    ::posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    pid_t pid = -1;
    const int error =
        ::posix_spawnp(&pid, arguments[0], &actions, nullptr, arguments.data(), variables.data());
    ::posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        errno = error;
        return std::nullopt;
    }
    return ChildProcess(pid);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        detach();
        pid_ = std::exchange(other.pid_, -1);
    }
    return *this;
}

ChildProcess::~ChildProcess() { detach(); }

int ChildProcess::wait() {
    if (pid_ < 0) return -1;
    return waitForChild(std::exchange(pid_, -1));
}

void ChildProcess::detach() {
    if (pid_ < 0) return;
    // One short-lived thread per child: it holds nothing but the id and ends with it.
    std::thread([pid = std::exchange(pid_, -1)] { waitForChild(pid); }).detach();
}

std::vector<std::string> currentEnvironment(const std::vector<std::string>& without) {
    std::vector<std::string> variables;
    for (char** entry = environ; entry && *entry; ++entry) {
        bool dropped = false;
        for (const std::string& name : without) dropped = dropped || startsWithName(*entry, name);
        if (!dropped) variables.emplace_back(*entry);
    }
    return variables;
}

bool shellOpen(const std::string& path) {
    ShellOpenHook hook;
    {
        std::lock_guard lock(shellHookMutex);
        hook = installedShellHook();
    }
    if (hook) return hook(path);
    return ChildProcess::spawn({"xdg-open", path}, currentEnvironment({})).has_value();
}

ShellOpenHook setShellOpenHook(ShellOpenHook hook) {
    std::lock_guard lock(shellHookMutex);
    return std::exchange(installedShellHook(), std::move(hook));
}

}  // namespace platform
