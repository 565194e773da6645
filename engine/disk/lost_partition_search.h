#pragma once
// The lost-partition search: a thread that walks a range of sectors of a disk in the
// drive array and appends what it finds (volume boot sectors, partition tables and their
// extended chains) as drives of kind 4, read through the disk at their offset.
//
// Step messages: the search posts WM_ENGINE_LOST_SEARCH_STEP before each sector, but
// never queues a second one while the last is unhandled. It sets StepPending to 1 with
// each post and posts nothing while it stays 1; the receiver writes 0 (an aligned 32-bit
// store, like Run) once it has handled the message. A receiver that clears it at once
// sees one message per sector; a slow one sees fewer, and the queue never grows with the
// disk. CurrentSector always tells where the search is.

#include <cstddef>
#include <cstdint>

#include "engine/disk/storage_array.h"
#include "engine/records.h"
#include "platform/win_types.h"

// Owned by the caller and alive until the search thread ends.
struct LostSearchRequest {
    std::int32_t Run;           // the engine sets 1 at the start and 0 at the end; write 0 to stop
    std::int32_t DiskIndex;     // the disk's index in the drive array
    std::uint64_t StartSector;  // first sector to examine
    std::uint64_t EndSector;    // last sector to examine; 0 or all ones: the disk's last
    std::uint64_t CurrentSector;  // out: the sector being examined
    HWND Window;                // receives WM_ENGINE_LOST_SEARCH_STEP
    std::int32_t StepPending;   // 1 while a step message is queued; the receiver writes 0
};

static_assert(offsetof(LostSearchRequest, Run) == 0);
static_assert(offsetof(LostSearchRequest, DiskIndex) == 4);
static_assert(offsetof(LostSearchRequest, StartSector) == 8);
static_assert(offsetof(LostSearchRequest, EndSector) == 16);
static_assert(offsetof(LostSearchRequest, CurrentSector) == 24);
static_assert(offsetof(LostSearchRequest, Window) == 32);
static_assert(offsetof(LostSearchRequest, StepPending) == 36);
static_assert(sizeof(LostSearchRequest) == 40);

namespace engine::lost {

// Drives one search may add; a disk full of table look-alikes stops there.
inline constexpr std::size_t kMaxFoundDrives = 1024;
// Sectors read at once while walking the range; the steps stay one per sector.
inline constexpr std::uint64_t kPieceSectors = 256;

// The search itself, on the calling thread. Returns the drive count afterwards.
int LostSearch(CStorageArray& drives, LostSearchRequest& request);

// Runs LostSearch on a new thread whose exit code is the drive count; null when the
// thread cannot start. The array and the request must outlive the thread.
HANDLE StartLostSearch(CStorageArray& drives, LostSearchRequest* request);

}  // namespace engine::lost
