#pragma once
// The recovery writer: copies one found file's data, read through FileRead, into a new
// file in pieces of 2 MiB, posting WM_ENGINE_RECOVERY_PROGRESS after each piece and
// stopping after the current piece once EngineSettings.WorkFlag reads 0.
//
// The target is created with O_CREAT | O_TRUNC | O_NOFOLLOW (mode 0644): an existing file
// is replaced, a symbolic link is never followed. Sources are opened read-only by the
// engine, so the target can never be the drive being read. A piece that reads short is
// zero-filled, so later data keeps its offset. The output is deleted only when nothing
// could be written into it; a failed write keeps what was written but returns 0.
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
    std::uint8_t Reserved8208[16];
    std::uint32_t Percent;  // last percent posted; 100 once the copy loop has finished
};
#pragma pack(pop)

static_assert(offsetof(RecoveryRequest, Options) == 0);
static_assert(offsetof(RecoveryRequest, ProgressWindow) == 4);
static_assert(offsetof(RecoveryRequest, TargetPath) == 8);
static_assert(offsetof(RecoveryRequest, Record) == 8200);
static_assert(offsetof(RecoveryRequest, Reserved8208) == 8208);
static_assert(offsetof(RecoveryRequest, Percent) == 8224);
static_assert(sizeof(RecoveryRequest) == 8228);

namespace engine {

// Copies the request's record into its target on the calling thread. Returns 0 when the
// target could not be created, was deleted, a write failed or the request was refused;
// otherwise the low 32 bits of the copy position at the end (pieces x 2 MiB after a whole
// copy, the start of the last piece after a stop).
std::uint32_t runRecovery(RecoveryRequest& request);

}  // namespace engine
