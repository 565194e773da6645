#include "engine/recovery_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <shared_mutex>
#include <span>
#include <string>
#include <vector>

#include "engine/disk/sector_pass.h"
#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/guard.h"
#include "engine/log.h"
#include "engine/messages.h"
#include "engine/recovery_output.h"
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

struct CurrentWork {
    EngineSettings* settings = nullptr;
    std::shared_ptr<const CDrive> drive;
    bool localTimes = false;  // FAT records carry local times
    bool rawDrive = false;    // no file system: data is read straight from the drive
    std::uint64_t driveBytes = 0;
};

CurrentWork currentWork() {
    engine::EngineState& engine = engine::state();
    std::shared_lock lock(engine.fileLock);
    CurrentWork work;
    work.settings = engine.settings;
    work.drive = engine.currentDrive;
    if (engine.currentDrive) {
        const _LDRIVE& drive = *engine.currentDrive->GetDriveInfo();
        const std::int32_t code = drive.FileSystemCode;
        work.localTimes = code == kFileSystemFat12 || code == kFileSystemFat16 || code == kFileSystemFat32;
        work.rawDrive = code == kFileSystemNone;
        work.driveBytes = drive.TotalSectors * CDrive::kSectorSize;
    }
    return work;
}

// The most bytes of the file that the drive can hold. Data read forward from the file's
// first byte (a signature hit, a drive without a file system) ends at the drive's end;
// data that a file system places may lie anywhere on the drive, but is no larger than it.
std::uint64_t bytesOnDrive(const FoundFileRecord& record, const CurrentWork& work) {
    const bool forward = work.rawDrive || (record.Flags & kFileFoundBySignature) != 0;
    if (!forward) return work.driveBytes;
    return work.driveBytes > record.DataPosition ? work.driveBytes - record.DataPosition : 0;
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

struct CopyState {
    enum class End { Done, Stopped, WriteFailed, Broken };
    End end = End::Done;
    std::uint64_t offset = 0;       // start of the piece being copied
    std::uint64_t written = 0;      // bytes of data that reached the output
    std::uint64_t dataEnd = 0;      // the output's length: the end of the last data written
    std::uint64_t zeroSectors = 0;  // unreadable sectors that data follows, written as zeros
    std::uint64_t zeroBytes = 0;
    std::uint32_t percent = 0;      // last posted: the posts never go back
};

// Bytes [begin, end) of a piece that were read.
struct ReadRun {
    std::uint64_t begin, end;
};

// Reads the piece of `length` bytes at `offset` into `buffer` through the file's sector
// pass and returns the runs that were read: a piece whose read fails is read again sector
// by sector, so that only the sectors that stay unreadable are lost; one that comes back
// short without a failed read ends where the file's data ends.
std::vector<ReadRun> readPiece(engine::disk::SectorPass& pass, std::uint64_t offset, std::uint64_t length,
                               std::uint8_t* buffer) {
    const std::vector<engine::disk::SectorState> sectors = pass.readRun(offset / CDrive::kSectorSize, {buffer, length});
    std::vector<ReadRun> runs;
    std::uint64_t read = 0;
    for (std::size_t k = 0; k < sectors.size(); ++k) {
        if (sectors[k] != engine::disk::SectorState::Read) continue;
        const std::uint64_t begin = k * CDrive::kSectorSize;
        const std::uint64_t end = std::min(begin + CDrive::kSectorSize, length);
        read += end - begin;
        if (!runs.empty() && runs.back().end == begin) {
            runs.back().end = end;
        } else {
            runs.push_back({begin, end});
        }
    }
    if (read != length) {
        Log(kLogError, "FileRecovery: (ReadedSize = %d) != (ReqSize[ReadSize] = %d)", static_cast<int>(read),
            static_cast<int>(length));
    }
    return runs;
}

// The gap before data written at `start`: unreadable sectors, which read as zeros once the
// data follows them.
void noteZeroFilled(CopyState& copy, std::uint64_t start) {
    const std::uint64_t bytes = start - copy.dataEnd;
    const std::uint64_t first = copy.dataEnd / CDrive::kSectorSize;
    const std::uint64_t last = (start - 1) / CDrive::kSectorSize;
    Log(kLogWarning, "FileRecovery: sectors %I64u-%I64u of the file (bytes %I64u-%I64u) unreadable, written as zeros",
        first, last, copy.dataEnd, start - 1);
    copy.zeroSectors += last - first + 1;
    copy.zeroBytes += bytes;
}

// Posts the file's progress at byte `position`, never below a percent posted before.
void postProgress(RecoveryRequest& request, CopyState& copy, std::uint64_t position, std::uint64_t size) {
    copy.percent = std::max(copy.percent, percentOf(position, size));
    request.Percent = copy.percent;
    request.UnreadableSectors = copy.zeroSectors;
    PostMessageW(request.ProgressWindow, WM_ENGINE_RECOVERY_PROGRESS,
                 static_cast<WPARAM>(std::min<std::uint64_t>(copy.zeroSectors, std::numeric_limits<WPARAM>::max())),
                 copy.percent);
}

// The pieces of [0, size). An unreadable part is left as a gap that reads as zeros once
// later data is written; gaps at the end are not written, so a file whose data runs out
// ends there. While a piece is read sector by sector, the progress moves on with it.
void copyPieces(RecoveryRequest& request, FoundFileRecord& record, std::uint64_t size, const CurrentWork& work,
                engine::RecoveryOutput& output, std::uint8_t* buffer, CopyState& copy) {
    engine::disk::SectorPass pass(
        [&record](std::uint64_t first, std::span<std::uint8_t> out, engine::disk::Attempts) {
            return FileRead(&record, out.data(), first * CDrive::kSectorSize, out.size());
        },
        (size + CDrive::kSectorSize - 1) / CDrive::kSectorSize);
    pass.setGoOn([&work] { return !workFlagCleared(work.settings); });
    pass.setProgress([&](std::uint64_t next) {
        postProgress(request, copy, std::min(next * CDrive::kSectorSize, size), size);
    });
    std::uint64_t piece = kRecoveryPieceSize;
    for (; copy.offset < size; copy.offset += kRecoveryPieceSize) {
        if (size - copy.offset < piece) piece = size - copy.offset;
        for (const ReadRun& run : readPiece(pass, copy.offset, piece, buffer)) {
            const std::uint64_t start = copy.offset + run.begin;
            if (start > copy.dataEnd) noteZeroFilled(copy, start);
            const bool written = output.skip(start - copy.dataEnd) &&
                                 output.writeAll(buffer + run.begin, static_cast<std::size_t>(run.end - run.begin),
                                                 copy.written);
            if (!written) {
                Log(kLogError, "FileRecovery: Write error %d", errno);
                copy.end = CopyState::End::WriteFailed;
                return;
            }
            copy.dataEnd = copy.offset + run.end;
        }
        postProgress(request, copy, copy.offset, size);
        if (workFlagCleared(work.settings)) {
            Log(kLogDebug, "FileRecovery: Work stoped by work flag");
            copy.end = CopyState::End::Stopped;
            return;
        }
    }
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
    request.UnreadableSectors = 0;
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
    RecoveryOutput output(path);
    if (!output.isOpen()) {
        Log(kLogError, "FileRecovery.CreateFile.filed");
        return 0;
    }

    std::uint64_t size = record.Size;
    const std::uint64_t available = bytesOnDrive(record, work);
    if (size > available) {
        Log(kLogError, "FileRecovery: Size %I64u passes the drive's end, only %I64u bytes can exist",
            record.Size, available);
        size = available;
    }
    CopyState copy;
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[kRecoveryPieceSize]());
    if (!buffer) {
        Log(kLogError, "FileRecovery.GlobalAlloc = 0 No memory?");
    } else {
        try {
            copyPieces(request, record, size, work, output, buffer.get(), copy);
            request.Percent = 100;
        } catch (...) {
            Log(kLogError, "Recovery_Thread.RecoveryCycle.except");
            copy.end = CopyState::End::Broken;
        }
    }
    request.UnreadableSectors = copy.zeroSectors;

    if (request.Options & kRecoveryRestoreTimes) restoreTimes(output.fd(), record, work.localTimes);
    if (!output.close() && copy.end == CopyState::End::Done) {
        Log(kLogError, "FileRecovery: Write error %d", errno);
        copy.end = CopyState::End::WriteFailed;
    }
    if (copy.written == 0 && record.Size != 0) {
        ::unlink(path.c_str());
        Log(kLogError, "FileRecovery.filed");
        return 0;
    }
    if (copy.end != CopyState::End::Done) return static_cast<std::uint32_t>(copy.offset);
    if (copy.dataEnd < record.Size) {
        Log(kLogError, "FileRecovery: incomplete, %I64u of %I64u bytes", copy.dataEnd, record.Size);
    }
    if (copy.zeroSectors != 0) {
        Log(kLogWarning, "FileRecovery: %I64u unreadable sectors written as zeros", copy.zeroSectors);
        // The bytes that were read: below the file's size, so the copy never passes for a
        // whole one.
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(copy.dataEnd - copy.zeroBytes, 0xFFFFFFFF));
    }
    // Ran to its end with the data missing there: where the data ends, below the size.
    if (copy.dataEnd < record.Size) return static_cast<std::uint32_t>(copy.dataEnd);
    return static_cast<std::uint32_t>(copy.offset);
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
