#pragma once
// Drive image files: a drive copied sector by sector into a file, and such a file loaded
// back as drives of kind 8 that read like the imaged drive.
//
// Writing reads the drive only and writes the target file only; a target that lives on
// the drive being imaged (the same file, the device itself, or a file system on it) is
// refused, because writing it would overwrite the data being saved.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/disk/storage_array.h"
#include "engine/records.h"
#include "platform/win_types.h"

namespace engine::image {
// UTF-16 units of the target path, terminator included.
inline constexpr std::size_t kPathCapacity = 4096;
}  // namespace engine::image

// Owned by the caller and alive until the imaging thread ends.
struct ImageRequest {
    std::int32_t Run;       // the engine sets 1 when copying starts and 0 at the end; write 0 to cancel
    HWND Window;            // receives the image messages
    std::uint32_t Reserved8;
    std::int32_t DiskIndex;        // the drive's index in the drive array
    std::uint64_t TotalSectors;    // out: the drive's sector count
    std::uint64_t CurrentSector;   // out: first sector of the piece being copied
    char16_t Path[engine::image::kPathCapacity];  // the image file, NUL-terminated
};

static_assert(offsetof(ImageRequest, Run) == 0);
static_assert(offsetof(ImageRequest, Window) == 4);
static_assert(offsetof(ImageRequest, Reserved8) == 8);
static_assert(offsetof(ImageRequest, DiskIndex) == 12);
static_assert(offsetof(ImageRequest, TotalSectors) == 16);
static_assert(offsetof(ImageRequest, CurrentSector) == 24);
static_assert(offsetof(ImageRequest, Path) == 32);
static_assert(sizeof(ImageRequest) == 32 + 2 * engine::image::kPathCapacity);

namespace engine::image {

// Stack of the imaging thread.
inline constexpr std::size_t kThreadStackBytes = 4u << 20;

// Copies the drive into the file on the calling thread (see the messages in
// engine/messages.h: progress per piece, failed when the file cannot be made, done at
// the end with lParam 0 for a complete or cancelled copy and the error code when it
// failed).
void CreateImage(CStorageArray& drives, ImageRequest& request);
// Runs CreateImage on a new thread; null when the thread cannot start. The array and
// the request must outlive it.
HANDLE StartCreateImage(CStorageArray& drives, ImageRequest* request);

// Appends the image drive and its partition drives (all kind 8) to the array and returns
// the image drive; null when the file cannot be opened or holds no whole header.
std::shared_ptr<CDrive> LoadImage(CStorageArray& drives, const std::string& path);

}  // namespace engine::image
