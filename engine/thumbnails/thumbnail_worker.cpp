#include "engine/thumbnails/thumbnail_worker.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "engine/guard.h"
#include "engine/imaging/jpeg_decoder.h"
#include "engine/imaging/picture_decoder.h"
#include "engine/imaging/thumbnail_scaler.h"
#include "platform/bitmap.h"

namespace engine::thumbnails {

namespace {

std::atomic<int> liveWorkers{0};

// Shared by the caller and its worker; whichever leaves last frees it.
struct WorkerState {
    FoundFileRecord record;
    ThumbnailJob job;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    HBITMAP result = nullptr;
};

HBITMAP readAndRender(FoundFileRecord& record, const ThumbnailJob& job) {
    const std::uint64_t size = record.Size;
    if (size == 0 || size == kUnknownSize || size > kMaxThumbnailFileSize) return nullptr;
    FileBytes file(record, job.read, size);
    if (file.Head().empty()) return nullptr;
    return job.render(file);
}

void runWorker(const std::shared_ptr<WorkerState>& state) {
    HBITMAP bitmap = guarded<HBITMAP>("DoFileGetThumbnail.except", nullptr,
                                      [&] { return readAndRender(state->record, state->job); });
    {
        std::lock_guard lock(state->mutex);
        if (state->abandoned)
            DeleteObject(bitmap);
        else
            state->result = bitmap;
        state->done = true;
    }
    state->finished.notify_one();
    liveWorkers.fetch_sub(1);
}

}  // namespace

HBITMAP renderPictureData(FileBytes& file) {
    const auto picture = imaging::looksLikeJpeg(file.Head()) ? imaging::decodeJpeg(file, kThumbnailSide)
                                                              : imaging::decodePicture(file.Whole(), kThumbnailSide);
    if (!picture) return nullptr;
    return imaging::renderThumbnail(*picture, kThumbnailSide);
}

HBITMAP makeThumbnail(const FoundFileRecord& record, ThumbnailJob job) {
    if (!job.read || !job.render) return nullptr;
    if (liveWorkers.fetch_add(1) >= kMaxLiveWorkers) {
        liveWorkers.fetch_sub(1);
        return nullptr;
    }
    auto state = std::make_shared<WorkerState>();
    state->record = record;
    state->record.Name = nullptr;  // the name is the caller's memory; readers do not need it
    state->job = std::move(job);
    try {
        std::thread([state] { runWorker(state); }).detach();
    } catch (const std::system_error&) {
        liveWorkers.fetch_sub(1);
        return nullptr;
    }
    std::unique_lock lock(state->mutex);
    if (!state->finished.wait_for(lock, state->job.limit, [&] { return state->done; })) {
        state->abandoned = true;
        return nullptr;
    }
    return state->result;
}

int liveWorkerCount() { return liveWorkers.load(); }

}  // namespace engine::thumbnails
