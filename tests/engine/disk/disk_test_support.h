#pragma once
// Shared pieces of the disk tests: a settings record that the engine reads for the test's
// duration, windows that collect posts, a pause that only records, in-memory images and
// sparse files.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/engine_state.h"
#include "engine/records.h"
#include "engine/support/scoped_settings.h"
#include "platform/handles.h"
#include "platform/local_heap.h"
#include "platform/messages.h"

namespace disktest {

using test_support::ScopedSettings;

// Collects the IoErrorReports posted to it, freeing each block as a receiver must.
class ReportWindow {
public:
    ReportWindow()
        : window_([this](const platform::Message& message) -> LRESULT {
              auto* block = reinterpret_cast<IoErrorReport*>(message.lParam);
              if (message.message == WM_USER + 5 && block) reports_.push_back(*block);
              LocalFree(block);
              return 0;
          }) {}

    HWND handle() const { return window_.handle(); }
    const std::vector<IoErrorReport>& reports() {
        window_.dispatchPending();
        return reports_;
    }

private:
    std::vector<IoErrorReport> reports_;
    platform::QueueWindow window_;
};

// Handles each post at once on the posting thread, as a receiver that keeps up would.
class ImmediateWindow {
public:
    using Handler = std::function<void(const platform::Message&)>;
    explicit ImmediateWindow(Handler handler)
        : receiver_(std::make_shared<Receiver>(std::move(handler))), handle_(platform::registerWindow(receiver_)) {}
    ~ImmediateWindow() { platform::unregisterWindow(handle_); }
    ImmediateWindow(const ImmediateWindow&) = delete;
    ImmediateWindow& operator=(const ImmediateWindow&) = delete;
    HWND handle() const { return handle_; }

private:
    struct Receiver : platform::WindowReceiver {
        explicit Receiver(Handler h) : handler(std::move(h)) {}
        bool post(const platform::Message& message) override {
            handler(message);
            return true;
        }
        std::optional<LRESULT> send(const platform::Message& message) override {
            handler(message);
            return 0;
        }
        Handler handler;
    };
    std::shared_ptr<Receiver> receiver_;
    HWND handle_;
};

// Waits for an engine thread and returns its exit code.
inline DWORD waitForThread(HANDLE thread) {
    EXPECT_NE(thread, nullptr);
    if (!thread) return ~DWORD{0};
    EXPECT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return code;
}

// Records every pause instead of waiting.
struct PauseLog {
    std::vector<std::uint32_t> pauses;
    auto sleeper() {
        return [this](std::uint32_t milliseconds) { pauses.push_back(milliseconds); };
    }
};

// Bytes whose every 512-byte sector starts with its own number, as 64-bit little-endian.
inline std::shared_ptr<std::vector<std::uint8_t>> numberedSectors(std::uint64_t sectors) {
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(sectors * 512, 0);
    for (std::uint64_t s = 0; s < sectors; ++s) std::memcpy(bytes->data() + s * 512, &s, 8);
    return bytes;
}

inline std::uint64_t sectorNumberAt(const std::uint8_t* sector) {
    std::uint64_t number = 0;
    std::memcpy(&number, sector, 8);
    return number;
}

// The first block device node under /dev whose status `wanted` accepts, if any.
inline std::optional<std::string> findBlockDevice(const std::function<bool(const struct stat&)>& wanted) {
    DIR* dir = ::opendir("/dev");
    if (!dir) return std::nullopt;
    std::optional<std::string> found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string path = std::string("/dev/") + entry->d_name;
        struct stat status {};
        if (::stat(path.c_str(), &status) == 0 && S_ISBLK(status.st_mode) && wanted(status)) {
            found = path;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// A temporary file removed when the test ends.
class TempFile {
public:
    TempFile() {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir ? dir : "/tmp") + "/undelete-disk-XXXXXX";
        fd_ = ::mkstemp(path_.data());
    }
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }
    bool writeAt(std::uint64_t offset, const void* data, std::size_t size) {
        return ::pwrite(fd_, data, size, static_cast<off_t>(offset)) ==
               static_cast<ssize_t>(size);
    }
    bool resize(std::uint64_t size) { return ::ftruncate(fd_, static_cast<off_t>(size)) == 0; }

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace disktest
