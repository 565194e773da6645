#include "platform/time.h"

#include <chrono>
#include <limits>
#include <utility>

namespace {

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr long kNanosecondsPerTick = 100;
constexpr long kNanosecondsPerSecond = 1'000'000'000;
constexpr std::uint64_t kSecondsPerDay = 86'400;

// A FILETIME as whole Unix seconds (floored) and the ticks past them.
struct SplitTime {
    std::int64_t unixSeconds;
    std::uint64_t ticks;
};

SplitTime split(std::uint64_t fileTime) {
    return {static_cast<std::int64_t>(fileTime / kTicksPerSecond) -
                static_cast<std::int64_t>(kFileTimeUnixEpochSeconds),
            fileTime % kTicksPerSecond};
}

// Whole Unix seconds plus leftover ticks as a FILETIME, if it fits.
std::optional<std::uint64_t> join(std::int64_t unixSeconds, std::uint64_t ticks) {
    return platform::unixToFileTime(
        timespec{static_cast<time_t>(unixSeconds), static_cast<long>(ticks) * kNanosecondsPerTick});
}

// Moves a FILETIME by `shift(unixSeconds)` whole seconds, keeping its sub-second part.
template <typename Shift>
BOOL shiftFileTime(const FILETIME* from, FILETIME* to, Shift shift) {
    if (from == nullptr || to == nullptr) {
        return false;
    }
    const SplitTime time = split(platform::toUint64(*from));
    if (!std::in_range<time_t>(time.unixSeconds)) {
        return false;
    }
    const std::optional<std::int64_t> shifted = shift(static_cast<time_t>(time.unixSeconds));
    if (!shifted) {
        return false;
    }
    const std::optional<std::uint64_t> result = join(*shifted, time.ticks);
    if (!result) {
        return false;
    }
    *to = platform::toFileTime(*result);
    return true;
}

}  // namespace

BOOL DosDateTimeToFileTime(WORD fatDate, WORD fatTime, FILETIME* fileTime) {
    using namespace std::chrono;
    const year_month_day date{year{1980 + (fatDate >> 9)}, month{(fatDate >> 5) & 0x0Fu},
                              day{fatDate & 0x1Fu}};
    const unsigned hours = fatTime >> 11;
    const unsigned minutes = (fatTime >> 5) & 0x3F;
    const unsigned twoSeconds = fatTime & 0x1F;
    if (fileTime == nullptr || !date.ok() || hours > 23 || minutes > 59 || twoSeconds > 29) {
        return false;
    }
    const std::int64_t days = sys_days{date}.time_since_epoch().count();
    const std::uint64_t secondsSince1601 = kFileTimeUnixEpochSeconds + days * kSecondsPerDay +
                                           hours * 3600 + minutes * 60 + twoSeconds * 2;
    *fileTime = platform::toFileTime(secondsSince1601 * kTicksPerSecond);
    return true;
}

BOOL LocalFileTimeToFileTime(const FILETIME* local, FILETIME* utc) {
    return shiftFileTime(local, utc, [](time_t localSeconds) -> std::optional<std::int64_t> {
        tm fields{};
        if (gmtime_r(&localSeconds, &fields) == nullptr) {
            return std::nullopt;
        }
        fields.tm_isdst = -1;
        // mktime sets tm_wday on success; -1 is also a valid result, so it cannot tell.
        fields.tm_wday = -1;
        const time_t utcSeconds = mktime(&fields);
        if (fields.tm_wday == -1) {
            return std::nullopt;
        }
        return utcSeconds;
    });
}

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local) {
    return shiftFileTime(utc, local, [](time_t utcSeconds) -> std::optional<std::int64_t> {
        tm fields{};
        if (localtime_r(&utcSeconds, &fields) == nullptr) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(utcSeconds) + fields.tm_gmtoff;
    });
}

void GetSystemTimeAsFileTime(FILETIME* now) {
    if (now == nullptr) {
        return;
    }
    timespec clock{};
    clock_gettime(CLOCK_REALTIME, &clock);
    *now = platform::toFileTime(platform::unixToFileTime(clock).value_or(0));
}

namespace platform {

std::optional<timespec> fileTimeToUnix(std::uint64_t fileTime) {
    const SplitTime time = split(fileTime);
    if (!std::in_range<time_t>(time.unixSeconds)) {
        return std::nullopt;
    }
    return timespec{static_cast<time_t>(time.unixSeconds),
                    static_cast<long>(time.ticks) * kNanosecondsPerTick};
}

// A timespec whose nanoseconds lie outside 0..999999999 is malformed and gives nothing.
std::optional<std::uint64_t> unixToFileTime(const timespec& unixTime) {
    if (unixTime.tv_nsec < 0 || unixTime.tv_nsec >= kNanosecondsPerSecond) {
        return std::nullopt;
    }
    constexpr auto kEpoch = static_cast<std::int64_t>(kFileTimeUnixEpochSeconds);
    const std::int64_t seconds = unixTime.tv_sec;
    if (seconds < -kEpoch || seconds > std::numeric_limits<std::int64_t>::max() - kEpoch) {
        return std::nullopt;
    }
    const auto secondsSince1601 = static_cast<std::uint64_t>(seconds + kEpoch);
    const auto ticks = static_cast<std::uint64_t>(unixTime.tv_nsec / kNanosecondsPerTick);
    if (secondsSince1601 > (std::numeric_limits<std::uint64_t>::max() - ticks) / kTicksPerSecond) {
        return std::nullopt;
    }
    return secondsSince1601 * kTicksPerSecond + ticks;
}

}  // namespace platform
