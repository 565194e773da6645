#include "wizard/recovery/copy_engine.h"

#include <fcntl.h>
#include <unistd.h>

#include <QString>

#include <chrono>
#include <memory>
#include <stdexcept>

#include "engine/messages.h"
#include "platform/handles.h"
#include "platform/messages.h"

namespace {

std::atomic<CopyEngine*> active{nullptr};

}  // namespace

CopyEngine::CopyEngine(EngineSettings& settings)
    : settings_(settings), table_([] {
          EngineApi api{};
          api.FileRecovery = &CopyEngine::FileRecovery;
          api.FileGetPath = &CopyEngine::FileGetPath;
          return api;
      }()),
      installed_(table_) {
    CopyEngine* expected = nullptr;
    if (!active.compare_exchange_strong(expected, this)) throw std::logic_error("one copy engine at a time");
}

CopyEngine::~CopyEngine() {
    Release();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return running_ == 0; });
    active.store(nullptr);
}

std::uint8_t CopyEngine::PatternByte(std::uint64_t recordNumber, std::uint64_t offset) {
    return static_cast<std::uint8_t>(offset * 7 + recordNumber * 13 + offset / 251);
}

bool CopyEngine::WaitUntilHeld() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [this] { return held_; });
}

void CopyEngine::Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
}

std::vector<CopyEngine::Call> CopyEngine::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

const char16_t* CopyEngine::FileGetPath(FoundFileRecord* record) {
    CopyEngine& engine = *active.load();
    const auto found = engine.paths.find(record->RecordNumber);
    return found == engine.paths.end() ? u"" : found->second.c_str();
}

HANDLE CopyEngine::FileRecovery(const char16_t* target, HWND window, FoundFileRecord* record) {
    CopyEngine& engine = *active.load();
    {
        std::lock_guard lock(engine.mutex_);
        engine.calls_.push_back({QString::fromStdU16String(target).toStdString(), record->Size});
    }
    if (engine.refuseToStart) return nullptr;
    auto job = std::make_unique<Job>(Job{&engine, target, window, *record});
    {
        std::lock_guard lock(engine.mutex_);
        ++engine.running_;
    }
    HANDLE thread = CreateThread(nullptr, 0, &CopyEngine::Copy, job.get(), 0, nullptr);
    if (thread) {
        job.release();
    } else {
        std::lock_guard lock(engine.mutex_);
        --engine.running_;
    }
    return thread;
}

DWORD CopyEngine::Copy(void* parameter) {
    const std::unique_ptr<Job> job(static_cast<Job*>(parameter));
    job->engine->Run(*job);
    std::lock_guard lock(job->engine->mutex_);
    --job->engine->running_;
    job->engine->changed_.notify_all();
    return 0;
}

void CopyEngine::Run(const Job& job) {
    std::atomic_ref<std::int32_t>(settings_.WorkFlag).store(1);
    const std::string path = QString::fromStdU16String(job.target).toStdString();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const std::uint64_t size = job.record.Size;
    std::vector<std::uint8_t> piece;
    std::size_t index = 0;
    for (std::uint64_t offset = 0; offset < size; offset += pieceSize, ++index) {
        if (index == holdBeforePiece) {
            std::unique_lock lock(mutex_);
            held_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return released_; });
        }
        piece.resize(static_cast<std::size_t>(std::min(pieceSize, size - offset)));
        for (std::size_t i = 0; i < piece.size(); ++i) piece[i] = PatternByte(job.record.RecordNumber, offset + i);
        if (::write(fd, piece.data(), piece.size()) != static_cast<ssize_t>(piece.size())) break;
        PostMessageW(job.window, WM_ENGINE_RECOVERY_PROGRESS, 0, static_cast<LPARAM>(offset * 100 / size));
        if (std::atomic_ref<std::int32_t>(settings_.WorkFlag).load() == 0) break;
    }
    ::close(fd);
}
