#pragma once
// FILETIME (100-ns intervals since 1601-01-01 UTC) and the clocks and conversions that
// the engine uses.

#include <cstdint>
#include <ctime>
#include <optional>

#include "platform/api.h"
#include "platform/win_types.h"

// Seconds between 1601-01-01 and 1970-01-01.
inline constexpr std::uint64_t kFileTimeUnixEpochSeconds = 11644473600ULL;

// A FAT date and time as a FILETIME in local-time terms (no zone applied). Fails, and
// leaves `fileTime` alone, on a month outside 1..12, a day outside the month, an hour
// above 23, a minute above 59 or a two-second count above 29.
PLATFORM_EXTERN_C PLATFORM_API BOOL DosDateTimeToFileTime(WORD fatDate, WORD fatTime,
                                                          FILETIME* fileTime);
// Local time <-> UTC, with the zone rules of the moment being converted.
PLATFORM_EXTERN_C PLATFORM_API BOOL LocalFileTimeToFileTime(const FILETIME* local,
                                                            FILETIME* utc);
PLATFORM_EXTERN_C PLATFORM_API BOOL FileTimeToLocalFileTime(const FILETIME* utc,
                                                            FILETIME* local);
PLATFORM_EXTERN_C PLATFORM_API void GetSystemTimeAsFileTime(FILETIME* now);

namespace platform {

constexpr std::uint64_t toUint64(FILETIME time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}
constexpr FILETIME toFileTime(std::uint64_t value) {
    return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

// FILETIME <-> Unix time. A FILETIME before 1970 gives negative seconds; one that a
// timespec cannot hold gives nothing.
PLATFORM_API std::optional<timespec> fileTimeToUnix(std::uint64_t fileTime);
// Unix times before 1601 give nothing.
PLATFORM_API std::optional<std::uint64_t> unixToFileTime(const timespec& unixTime);

}  // namespace platform
