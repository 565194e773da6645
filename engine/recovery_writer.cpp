#include "engine/recovery_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <shared_mutex>
#include <string>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/guard.h"
#include "engine/log.h"
#include "engine/messages.h"
#include "platform/handles.h"
#include "platform/messages.h"
#include "platform/text.h"
#include "platform/time.h"

namespace {

// What one FileRecovery call owns: its own request and its own copy of the record.
struct RecoveryJob {
    RecoveryRequest request{};
    FoundFileRecord record{};
};

class OutputFile {
public:
    explicit OutputFile(const std::string& path)
        : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644)) {}
    ~OutputFile() { close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // Writes every byte; false with errno set on failure.
    bool writeAll(const std::uint8_t* data, std::size_t size, std::uint64_t& written) {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                if (n == 0) errno = EIO;
                return false;
            }
            written += static_cast<std::uint64_t>(n);
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }
    bool close() {
        if (fd_ < 0) return true;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int fd_;
};

struct CurrentWork {
    EngineSettings* settings = nullptr;
    bool localTimes = false;  // FAT records carry local times
};

CurrentWork currentWork() {
    engine::EngineState& engine = engine::state();
    std::shared_lock lock(engine.fileLock);
    CurrentWork work;
    work.settings = engine.settings;
    if (engine.currentDrive) {
        const std::int32_t code = engine.currentDrive->GetDriveInfo()->FileSystemCode;
        work.localTimes = code == kFileSystemFat12 || code == kFileSystemFat16 || code == kFileSystemFat32;
    }
    return work;
}

timespec toTimespec(FILETIME time, bool local) {
    if (platform::toUint64(time) == 0) return timespec{0, UTIME_OMIT};
    FILETIME utc = time;
    if (local && !LocalFileTimeToFileTime(&time, &utc)) utc = time;
    const auto converted = platform::fileTimeToUnix(platform::toUint64(utc));
    return converted ? *converted : timespec{0, UTIME_OMIT};
}

void restoreTimes(int fd, const FoundFileRecord& record, bool localTimes) {
    const timespec times[2] = {toTimespec(record.LastAccessTime, localTimes),
                               toTimespec(record.LastWriteTime, localTimes)};
    if (::futimens(fd, times) != 0) Log(kLogWarning, "FileRecovery: can't set file times, code %d", errno);
}

std::uint32_t percentOf(std::uint64_t offset, std::uint64_t size) {
    if (offset == 0 || size < 100) return 0;
    return static_cast<std::uint32_t>(offset / (size / 100));
}

bool workFlagCleared(EngineSettings* settings) {
    return settings && std::atomic_ref<std::int32_t>(settings->WorkFlag).load() == 0;
}

DWORD recoveryThread(void* parameter) {
    std::unique_ptr<RecoveryJob> job(static_cast<RecoveryJob*>(parameter));
    return engine::guarded<DWORD>("Recovery_Thread.except", 0, [&] { return engine::runRecovery(job->request); });
}

}  // namespace

namespace engine {

std::uint32_t runRecovery(RecoveryRequest& request) {
    const CurrentWork work = currentWork();
    if (work.settings) std::atomic_ref<std::int32_t>(work.settings->WorkFlag).store(1);
    if (!request.Record) {
        Log(kLogError, "FileRecovery: no file given");
        return 0;
    }
    FoundFileRecord record;
    std::memcpy(&record, request.Record, sizeof record);
    if (record.Size == kUnknownSize) {
        Log(kLogError, "FileRecovery: file size unknown, nothing copied");
        return 0;
    }
    const std::size_t length = platform::boundedLength(request.TargetPath, kRecoveryTargetCapacity);
    if (length == 0 || length >= kRecoveryTargetCapacity) {
        Log(kLogError, "FileRecovery: target path empty or longer than %d units",
            static_cast<int>(kRecoveryTargetCapacity - 1));
        return 0;
    }
    const std::string path = platform::toUtf8({request.TargetPath, length});
    OutputFile output(path);
    if (!output.isOpen()) {
        Log(kLogError, "FileRecovery.CreateFile.filed");
        return 0;
    }

    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[kRecoveryPieceSize]());
    std::uint64_t offset = 0;
    std::uint64_t written = 0;
    bool writeFailed = false;
    if (!buffer) {
        Log(kLogError, "FileRecovery.GlobalAlloc = 0 No memory?");
    } else {
        std::uint64_t piece = kRecoveryPieceSize;
        while (offset < record.Size) {
            if (record.Size - offset < piece) piece = record.Size - offset;
            const std::uint64_t got = std::min(FileRead(&record, buffer.get(), offset, piece), piece);
            if (got != piece) {
                Log(kLogError, "FileRecovery: (ReadedSize = %d) != (ReqSize[ReadSize] = %d)",
                    static_cast<int>(got), static_cast<int>(piece));
                // Zero-filled, so that every later piece keeps its offset in the output.
                std::memset(buffer.get() + got, 0, piece - got);
            }
            if (!output.writeAll(buffer.get(), piece, written)) {
                Log(kLogError, "FileRecovery: Write error %d", errno);
                writeFailed = true;
                break;
            }
            const std::uint32_t percent = percentOf(offset, record.Size);
            request.Percent = percent;
            PostMessageW(request.ProgressWindow, WM_ENGINE_RECOVERY_PROGRESS, 0, percent);
            if (workFlagCleared(work.settings)) {
                Log(kLogDebug, "FileRecovery: Work stoped by work flag");
                break;
            }
            offset += kRecoveryPieceSize;
        }
        if (!writeFailed) request.Percent = 100;
    }

    if (request.Options & kRecoveryRestoreTimes) restoreTimes(output.fd(), record, work.localTimes);
    if (!output.close() && !writeFailed) {
        Log(kLogError, "FileRecovery: Write error %d", errno);
        writeFailed = true;
    }
    if (written == 0 && record.Size != 0) {
        ::unlink(path.c_str());
        Log(kLogError, "FileRecovery.filed");
        return 0;
    }
    return writeFailed ? 0 : static_cast<std::uint32_t>(offset);
}

}  // namespace engine

UNDELETE_API HANDLE FileRecovery(const char16_t* targetPath, HWND progressWindow, FoundFileRecord* record) {
    if (!targetPath || !record) {
        Log(kLogError, "FileRecovery: no target or no file given");
        return nullptr;
    }
    if (platform::boundedLength(targetPath, kRecoveryTargetCapacity) >= kRecoveryTargetCapacity) {
        Log(kLogError, "FileRecovery: target path longer than %d units", static_cast<int>(kRecoveryTargetCapacity - 1));
        return nullptr;
    }
    auto job = std::make_unique<RecoveryJob>();
    std::memcpy(&job->record, record, sizeof job->record);
    job->record.Name = nullptr;
    job->request.Options = kRecoveryDefaultOptions;
    job->request.ProgressWindow = progressWindow;
    platform::copyToField(job->request.TargetPath, kRecoveryTargetCapacity, targetPath);
    job->request.Record = &job->record;
    HANDLE thread = CreateThread(nullptr, 0, &recoveryThread, job.get(), 0, nullptr);
    if (thread) job.release();
    return thread;
}

UNDELETE_API int DoFileRecovery(RecoveryRequest* request) {
    if (!request) return 0;
    return static_cast<int>(
        engine::guarded<std::uint32_t>("Recovery_Thread.except", 0, [&] { return engine::runRecovery(*request); }));
}
