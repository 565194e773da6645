// The thumbnail export: reads the file through FileRead of the current drive.

#include "engine/exports.h"
#include "engine/thumbnails/thumbnail_worker.h"

UNDELETE_API HBITMAP FileGetThumbnail(FoundFileRecord* record) {
    if (!record) return nullptr;
    engine::thumbnails::ThumbnailJob job;
    job.read = [](FoundFileRecord& own, void* buffer, std::uint64_t offset, std::uint64_t size) {
        return FileRead(&own, buffer, offset, size);
    };
    return engine::thumbnails::makeThumbnail(*record, std::move(job));
}
