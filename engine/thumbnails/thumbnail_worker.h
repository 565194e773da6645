#pragma once
// Thumbnails of found files: the file's data is read into memory, decoded and fitted
// into a 96 x 96 black bitmap on a worker thread of its own. The caller waits at most
// the time limit; a worker still running then is abandoned, not stopped: it goes on
// with its own copy of the record and its own buffer and frees its result when it ends.

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "engine/records.h"
#include "platform/win_types.h"

namespace engine::thumbnails {

inline constexpr std::int32_t kThumbnailSide = 96;
inline constexpr std::chrono::milliseconds kThumbnailTimeLimit{5000};
// Larger files are refused before anything is allocated.
inline constexpr std::uint64_t kMaxThumbnailFileSize = 256ull << 20;
// Workers alive at once, abandoned ones included; further requests get no thumbnail.
inline constexpr int kMaxLiveWorkers = 8;
// Zeroed bytes after the data, for decoders that read a little past the end.
inline constexpr std::size_t kSlackBytes = 1024;

// Reads `size` bytes from the start of the file into `buffer` (which holds the size
// rounded up to whole 512-byte sectors); returns the bytes read.
using FileReader =
    std::function<std::uint64_t(FoundFileRecord& record, void* buffer, std::uint64_t size)>;
// Turns the file's bytes into a bitmap, or null.
using DataRenderer = std::function<HBITMAP(std::span<const std::uint8_t> data)>;

// Decodes a picture and fits it into the thumbnail square.
HBITMAP renderPictureData(std::span<const std::uint8_t> data);

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
