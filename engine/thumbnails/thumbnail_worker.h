#pragma once
// Thumbnails of found files: the file's data is read, decoded and fitted into a 96 x 96
// black bitmap on a worker thread of its own. A JPEG is read as its decoder asks for it,
// and no further; other pictures are read into memory whole. The caller waits at most
// the time limit; a worker still running then is abandoned, not stopped: it goes on
// with its own copy of the record and its own buffers and frees its result when it ends.

#include <chrono>
#include <cstdint>
#include <functional>

#include "engine/records.h"
#include "engine/thumbnails/file_bytes.h"
#include "platform/win_types.h"

namespace engine::thumbnails {

inline constexpr std::int32_t kThumbnailSide = 96;
inline constexpr std::chrono::milliseconds kThumbnailTimeLimit{5000};
// Larger files are refused before anything is allocated.
inline constexpr std::uint64_t kMaxThumbnailFileSize = 256ull << 20;
// Workers alive at once, abandoned ones included; further requests get no thumbnail.
inline constexpr int kMaxLiveWorkers = 8;

// Turns the file's bytes into a bitmap, or null.
using DataRenderer = std::function<HBITMAP(FileBytes& file)>;

// Decodes a picture and fits it into the thumbnail square.
HBITMAP renderPictureData(FileBytes& file);

struct ThumbnailJob {
    FileReader read;
    DataRenderer render = renderPictureData;
    std::chrono::milliseconds limit = kThumbnailTimeLimit;
};

// The bitmap (the caller deletes it with DeleteObject) or null: unknown, empty or too
// large size, nothing read, data not decodable, time limit passed, too many workers.
HBITMAP makeThumbnail(const FoundFileRecord& record, ThumbnailJob job);

// Workers that have not ended yet.
int liveWorkerCount();

}  // namespace engine::thumbnails
