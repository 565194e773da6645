#pragma once
// The recovery writer: copies one found file's data, read through FileRead, into a new
// file in pieces of 2 MiB, posting WM_ENGINE_RECOVERY_PROGRESS after each piece and
// stopping after the current piece once EngineSettings.WorkFlag reads 0. Each post carries
// the percent in its lParam (never below an earlier one) and in its wParam the unreadable
// sectors of the file written as zeros so far (saturated, never wrapped): the post after
// the last piece carries the file's total, which RecoveryRequest.UnreadableSectors also
// holds once the copy ends.
//
// The target is created with O_CREAT | O_TRUNC | O_NOFOLLOW (mode 0644): an existing file
// is replaced, a symbolic link is never followed. Sources are opened read-only by the
// engine, so the target can never be the drive being read.
//
// The copy never runs past what the drive can hold: a size from the disk is cut to the
// drive's size, and for data read forward from its first byte (signature hits, drives
// without a file system) to the bytes from there to the drive's end. The file is read as
// one sector pass (engine/disk/sector_pass.h): a piece whose read fails once is read
// sector by sector, a sector that fails gets the drive's retries, a dead region is
// skipped, and a cleared WorkFlag stops that too; progress is posted while it runs. Only
// the sectors that stay unreadable or are skipped are lost. They are zero-filled when
// readable data follows them, so later data keeps its offset, and each run of them is
// named in one warning line; the file ends after its last readable byte. An output into
// which nothing could be read is deleted.
//
// FAT times are local times; they are converted to UTC before they are set. Linux has no
// settable creation time, so the access and write times are restored; a zero time is left
// alone.

#include <cstddef>
#include <cstdint>

#include "engine/records.h"
#include "platform/win_types.h"

inline constexpr std::uint32_t kRecoveryOnOwnThread = 0x001;
inline constexpr std::uint32_t kRecoveryRestoreTimes = 0x100;
inline constexpr std::uint32_t kRecoveryDefaultOptions = 0x111;
inline constexpr std::size_t kRecoveryTargetCapacity = 4096;  // units, NUL included
inline constexpr std::uint64_t kRecoveryPieceSize = 0x200000;

#pragma pack(push, 1)
// The request that DoFileRecovery takes from its caller (8228 bytes).
struct RecoveryRequest {
    std::uint32_t Options;
    HWND ProgressWindow;
    char16_t TargetPath[kRecoveryTargetCapacity];
    // An 8-byte pointer on a 64-bit build: it takes the reserved word that follows it.
    const FoundFileRecord* Record;
    // Unreadable sectors of the file written as zeros: so far while the copy runs, the
    // file's total once it has ended.
    std::uint64_t UnreadableSectors;
    std::uint8_t Reserved8216[8];
    std::uint32_t Percent;  // last percent posted; 100 once the copy loop has finished
};
#pragma pack(pop)

static_assert(offsetof(RecoveryRequest, Options) == 0);
static_assert(offsetof(RecoveryRequest, ProgressWindow) == 4);
static_assert(offsetof(RecoveryRequest, TargetPath) == 8);
static_assert(offsetof(RecoveryRequest, Record) == 8200);
static_assert(offsetof(RecoveryRequest, UnreadableSectors) == 8208);
static_assert(offsetof(RecoveryRequest, Reserved8216) == 8216);
static_assert(offsetof(RecoveryRequest, Percent) == 8224);
static_assert(sizeof(RecoveryRequest) == 8228);

namespace engine {

// Copies the request's record into its target on the calling thread. Returns 0 when the
// target could not be created, was deleted or the request was refused; after a whole copy
// the pieces x 2 MiB; after a stop, a failed write or a fault in the copy the start of the
// last piece; for a copy that ran to its end with sectors written as zeros the bytes of
// the file that were read (the output's length less those zeros, at most 0xFFFFFFFF); and
// for one that ran to its end with data missing there the output's length. Low 32 bits;
// the last two are below the record's size, so neither passes for a whole copy.
std::uint32_t runRecovery(RecoveryRequest& request);

}  // namespace engine
