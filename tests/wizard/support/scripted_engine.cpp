#include "wizard/support/scripted_engine.h"

#include <fcntl.h>
#include <unistd.h>

#include <QString>

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "engine/messages.h"
#include "platform/handles.h"
#include "platform/local_heap.h"
#include "platform/messages.h"

namespace {

std::atomic<ScriptedEngine*> activeEngine{nullptr};

// A copy of `record` in the local heap, as the engine hands records over.
template <class Record>
void* localCopy(const Record& record) {
    void* block = LocalAlloc(LPTR, sizeof record);
    if (block) {
        std::memcpy(block, &record, sizeof record);
    }
    return block;
}

void postIoError(HWND window, const IoErrorReport& report) {
    void* block = localCopy(report);
    if (!PostMessageW(window, WM_ENGINE_IO_ERROR, 0, reinterpret_cast<LPARAM>(block))) {
        LocalFree(block);
    }
}

struct ThreadStart {
    ScriptedEngine* engine;
    void (ScriptedEngine::*body)();
};

}  // namespace

_LDRIVE scriptedDrive(std::int32_t id, char letter, std::int32_t kind) {
    _LDRIVE drive{};
    drive.Id = id;
    drive.Kind = kind;
    drive.Letter = letter;
    drive.Ready = 1;
    drive.ParentId = -1;
    drive.BytesPerSector = 512;
    return drive;
}

const EngineApi ScriptedEngine::kTable{
    libraryInitialize,     drivesRescan,     driveGetCount,  driveGetInformation,
    driveInitialize,       fileGetNext,      fileGetPath,    fileGetInfo,
    driveSearchSignatures, fileGetThumbnail, fileOpenViewer, fileRecovery,
    getLastErrorString,
};

ScriptedEngine::ScriptedEngine(EngineScript script)
    : script_(std::move(script)), installed_(kTable) {
    ScriptedEngine* expected = nullptr;
    if (!activeEngine.compare_exchange_strong(expected, this)) {
        throw std::logic_error("only one scripted engine at a time");
    }
}

ScriptedEngine::~ScriptedEngine() {
    std::unique_lock lock(mutex_);
    threadsDone_.wait(lock, [this] { return runningThreads_ == 0; });
    activeEngine.store(nullptr);
}

int ScriptedEngine::calls(std::string_view function) const {
    std::lock_guard lock(mutex_);
    const auto found = calls_.find(function);
    return found == calls_.end() ? 0 : found->second;
}

const char16_t* ScriptedEngine::registryKey() const { return registryKey_; }

EngineSettings* ScriptedEngine::settings() const { return settings_; }

ScriptedEngine& ScriptedEngine::active() { return *activeEngine.load(); }

void ScriptedEngine::count(const char* function) {
    std::lock_guard lock(mutex_);
    ++calls_[function];
}

HANDLE ScriptedEngine::startThread(void (ScriptedEngine::*body)()) {
    {
        std::lock_guard lock(mutex_);
        ++runningThreads_;
    }
    auto* start = new ThreadStart{this, body};
    HANDLE thread = CreateThread(nullptr, 0, threadMain, start, 0, nullptr);
    if (!thread) {
        delete start;
        std::lock_guard lock(mutex_);
        --runningThreads_;
        threadsDone_.notify_all();
    }
    return thread;
}

DWORD ScriptedEngine::threadMain(void* parameter) {
    const auto* start = static_cast<ThreadStart*>(parameter);
    ScriptedEngine& engine = *start->engine;
    (engine.*(start->body))();
    delete start;
    std::lock_guard lock(engine.mutex_);
    --engine.runningThreads_;
    engine.threadsDone_.notify_all();
    return 0;
}

void ScriptedEngine::release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    threadsDone_.notify_all();
}

bool ScriptedEngine::idle() const {
    std::lock_guard lock(mutex_);
    return runningThreads_ == 0;
}

void ScriptedEngine::setDrives(std::vector<_LDRIVE> drives) {
    std::lock_guard lock(mutex_);
    script_.drives = std::move(drives);
}

void ScriptedEngine::rescanBody() {
    std::vector<char> letters;
    {
        std::lock_guard lock(mutex_);
        for (const _LDRIVE& drive : script_.drives) letters.push_back(drive.Letter);
    }
    for (const char letter : letters) {
        PostMessageW(rescanWindow_, WM_ENGINE_DRIVE_FOUND, 0,
                     static_cast<LPARAM>(static_cast<unsigned char>(letter)));
    }
}

void ScriptedEngine::searchBody() {
    const HWND window = settings_->NotifyWindow;
    for (const IoErrorReport& report : script_.ioErrors) postIoError(window, report);
    for (std::size_t index = 0; index < script_.progress.size(); ++index) {
        if (index == script_.holdBeforeProgress) {
            std::unique_lock lock(mutex_);
            threadsDone_.wait(lock, [this] { return released_; });
        }
        const ScriptedProgress& step = script_.progress[index];
        settings_->CurrentCluster = step.currentCluster;
        settings_->TotalClusters = step.totalClusters;
        settings_->FreeClusters = step.freeClusters;
        PostMessageW(window, WM_ENGINE_SEARCH_PROGRESS, 0, 0);
    }
    for (const FoundFileRecord& hit : script_.hits) {
        if (std::atomic_ref<std::int32_t>(settings_->Run).load() != 1) {
            return;
        }
        void* block = localCopy(hit);
        SendMessageW(window, WM_ENGINE_FILE_FOUND, reinterpret_cast<WPARAM>(block),
                     reinterpret_cast<LPARAM>(block));
    }
}

int ScriptedEngine::libraryInitialize(const char16_t* registryKey) {
    ScriptedEngine& engine = active();
    engine.count("Library_Initialize");
    engine.registryKey_ = registryKey;
    return 1;
}

HANDLE ScriptedEngine::drivesRescan(HWND driveFoundWindow) {
    ScriptedEngine& engine = active();
    engine.count("DrivesRescan");
    engine.rescanWindow_ = driveFoundWindow;
    return engine.startThread(&ScriptedEngine::rescanBody);
}

int ScriptedEngine::driveGetCount() {
    ScriptedEngine& engine = active();
    engine.count("DriveGetCount");
    std::lock_guard lock(engine.mutex_);
    int count = 0;
    for (const _LDRIVE& drive : engine.script_.drives) count = std::max(count, drive.Id + 1);
    return count;
}

_LDRIVE* ScriptedEngine::driveGetInformation(int index) {
    ScriptedEngine& engine = active();
    engine.count("DriveGetInformation");
    std::lock_guard lock(engine.mutex_);
    for (_LDRIVE& drive : engine.script_.drives) {
        if (drive.Id == index) return &drive;
    }
    return nullptr;
}

int ScriptedEngine::driveInitialize(EngineSettings* settings) {
    ScriptedEngine& engine = active();
    engine.count("DriveInitialize");
    engine.settings_ = settings;
    engine.nextFile_ = 0;
    if (engine.script_.holdDriveInitialize) {
        std::unique_lock lock(engine.mutex_);
        engine.threadsDone_.wait_for(lock, std::chrono::seconds(10), [&engine] { return engine.released_; });
    }
    return engine.script_.driveInitializeResult;
}

FoundFileRecord* ScriptedEngine::fileGetNext() {
    ScriptedEngine& engine = active();
    engine.count("FileGetNext");
    if (engine.nextFile_ >= engine.script_.files.size()) {
        return nullptr;
    }
    ScriptedFile& file = engine.script_.files[engine.nextFile_++];
    file.record.Name = file.name.c_str();
    return &file.record;
}

const char16_t* ScriptedEngine::fileGetPath(FoundFileRecord* record) {
    ScriptedEngine& engine = active();
    engine.count("FileGetPath");
    for (const ScriptedFile& file : engine.script_.files) {
        if (&file.record == record) {
            return file.path.c_str();
        }
    }
    return u"";
}

FoundFileRecord* ScriptedEngine::fileGetInfo(std::uint32_t, std::uint32_t) {
    active().count("FileGetInfo");
    return nullptr;
}

HANDLE ScriptedEngine::driveSearchSignatures() {
    ScriptedEngine& engine = active();
    engine.count("DriveSearchSignatures");
    return engine.settings_ ? engine.startThread(&ScriptedEngine::searchBody) : nullptr;
}

HBITMAP ScriptedEngine::fileGetThumbnail(FoundFileRecord*) {
    active().count("FileGetThumbnail");
    return nullptr;
}

int ScriptedEngine::fileOpenViewer(FoundFileRecord*) {
    active().count("FileOpenViewer");
    return 1;
}

HANDLE ScriptedEngine::fileRecovery(const char16_t* targetPath, HWND progressWindow, FoundFileRecord* record) {
    ScriptedEngine& engine = active();
    engine.count("FileRecovery");
    if (!targetPath || !record || !engine.settings_) return nullptr;
    engine.recoveryTarget_ = targetPath;
    engine.recoveryWindow_ = progressWindow;
    engine.recoveryRecord_ = *record;
    return engine.startThread(&ScriptedEngine::recoveryBody);
}

void ScriptedEngine::recoveryBody() {
    std::atomic_ref<std::int32_t> workFlag(settings_->WorkFlag);
    workFlag.store(1);
    const std::string path = QString::fromStdU16String(recoveryTarget_).toStdString();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return;
    // A packed record: its fields are copied out before use.
    const std::uint64_t number = recoveryRecord_.RecordNumber;
    const std::uint64_t recordSize = recoveryRecord_.Size;
    const auto shortEnd = script_.shortEnds.find(number);
    const std::uint64_t missing =
        shortEnd == script_.shortEnds.end() ? 0 : std::min(recordSize, shortEnd->second.sectors * 512);
    if (missing > 0 && shortEnd->second.unreadable) {
        IoErrorReport report{};
        report.Code = kIoErrorRead;
        report.SystemError = EIO;
        report.Attempt = 1;
        postIoError(settings_->NotifyWindow, report);
    }
    const std::uint64_t size = recordSize - missing;
    const auto unreadable = script_.unreadableSectors.find(number);
    const std::uint64_t sectors = unreadable == script_.unreadableSectors.end() ? 0 : unreadable->second;
    const std::uint64_t pieces = (size + script_.recoveryPiece - 1) / script_.recoveryPiece;
    std::vector<char> piece;
    for (std::uint64_t index = 0; index < pieces; ++index) {
        const std::uint64_t offset = index * script_.recoveryPiece;
        piece.assign(static_cast<std::size_t>(std::min(script_.recoveryPiece, size - offset)), 'r');
        if (::write(fd, piece.data(), piece.size()) != static_cast<ssize_t>(piece.size())) break;
        PostMessageW(recoveryWindow_, WM_ENGINE_RECOVERY_PROGRESS, static_cast<WPARAM>(sectors * (index + 1) / pieces),
                     static_cast<LPARAM>(offset * 100 / size));
        if (workFlag.load() == 0) break;
    }
    ::close(fd);
}

const char* ScriptedEngine::getLastErrorString() {
    ScriptedEngine& engine = active();
    engine.count("GetLastErrorString");
    return engine.script_.lastError.c_str();
}
