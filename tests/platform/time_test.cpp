#include "platform/time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace {

using platform::fileTimeToUnix;
using platform::toFileTime;
using platform::toUint64;
using platform::unixToFileTime;

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kTicksPerHour = 3600 * kTicksPerSecond;
constexpr std::int64_t kEpochSeconds = static_cast<std::int64_t>(kFileTimeUnixEpochSeconds);

// Sets TZ for the life of a test and puts the previous value back.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* previous = std::getenv("TZ")) previous_ = previous;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        previous_ ? setenv("TZ", previous_->c_str(), 1) : unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> previous_;
};

constexpr WORD fatDate(unsigned year, unsigned month, unsigned day) {
    return static_cast<WORD>(((year - 1980) << 9) | (month << 5) | day);
}
constexpr WORD fatTime(unsigned hour, unsigned minute, unsigned second) {
    return static_cast<WORD>((hour << 11) | (minute << 5) | (second / 2));
}

std::optional<std::uint64_t> dosToFileTime(WORD date, WORD time) {
    FILETIME result{0xAAAAAAAA, 0xBBBBBBBB};
    if (!DosDateTimeToFileTime(date, time, &result)) {
        EXPECT_EQ(result.dwLowDateTime, 0xAAAAAAAAu) << "failure changed the output";
        EXPECT_EQ(result.dwHighDateTime, 0xBBBBBBBBu) << "failure changed the output";
        return std::nullopt;
    }
    return toUint64(result);
}

TEST(TimeDosDate, ConvertsValidDatesWithoutAnyZoneAndRejectsImpossibleFields) {
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(dosToFileTime(fatDate(1980, 1, 1), 0), 119600064000000000u);
    EXPECT_EQ(dosToFileTime(fatDate(2024, 2, 29), fatTime(13, 45, 58)), 133536879580000000u);
    EXPECT_EQ(dosToFileTime(fatDate(2000, 2, 29), 0), 125962560000000000u);
    EXPECT_EQ(dosToFileTime(fatDate(2107, 12, 31), fatTime(23, 59, 58)), 159992927980000000u);
    EXPECT_TRUE(dosToFileTime(fatDate(2100, 2, 28), 0));

    const WORD noon = fatTime(12, 0, 0);
    const WORD firstOfMay = fatDate(2020, 5, 1);
    const std::pair<WORD, WORD> impossible[] = {
        {fatDate(2020, 0, 10), noon}, {fatDate(2020, 13, 10), noon}, {fatDate(2020, 15, 10), noon},
        {fatDate(2020, 6, 0), noon},  {fatDate(2020, 4, 31), noon},  {fatDate(2023, 2, 29), noon},
        {fatDate(2100, 2, 29), noon}, {firstOfMay, WORD{24 << 11}},  {firstOfMay, WORD{60 << 5}},
        {firstOfMay, WORD{30}},       {0xFFFF, 0xFFFF},
    };
    for (const auto& [date, time] : impossible) {
        EXPECT_FALSE(dosToFileTime(date, time)) << std::hex << date << " " << time;
    }
    EXPECT_FALSE(DosDateTimeToFileTime(firstOfMay, noon, nullptr));
}

TEST(TimeUnix, FileTimeToUnixIsExactAndFloored) {
    const std::uint64_t epoch = kFileTimeUnixEpochSeconds * kTicksPerSecond;
    struct Case {
        std::uint64_t fileTime;
        time_t seconds;
        long nanoseconds;
    };
    const Case cases[] = {
        {epoch, 0, 0},
        {epoch + 1, 0, 100},
        {epoch - 1, -1, 999'999'900},
        {0, -kEpochSeconds, 0},
        {std::numeric_limits<std::uint64_t>::max(), 1833029933770, 955'161'500},
    };
    for (const auto& c : cases) {
        const auto unix = fileTimeToUnix(c.fileTime);
        ASSERT_TRUE(unix) << c.fileTime;
        EXPECT_EQ(unix->tv_sec, c.seconds) << c.fileTime;
        EXPECT_EQ(unix->tv_nsec, c.nanoseconds) << c.fileTime;
        EXPECT_EQ(unixToFileTime(*unix), c.fileTime);
    }
}

TEST(TimeUnix, UnixToFileTimeChecksRangeAndShape) {
    EXPECT_EQ(unixToFileTime({0, 999'999'999}),
              kFileTimeUnixEpochSeconds * kTicksPerSecond + 9'999'999);
    EXPECT_EQ(unixToFileTime({-kEpochSeconds, 0}), 0u);
    EXPECT_FALSE(unixToFileTime({-kEpochSeconds - 1, 999'999'999}));
    EXPECT_FALSE(unixToFileTime({1833029933770, 955'161'600}));
    EXPECT_FALSE(unixToFileTime({1833029933771, 0}));
    EXPECT_FALSE(unixToFileTime({std::numeric_limits<time_t>::max(), 0}));
    EXPECT_FALSE(unixToFileTime({std::numeric_limits<time_t>::min(), 0}));
    EXPECT_FALSE(unixToFileTime({0, -1}));
    EXPECT_FALSE(unixToFileTime({0, 1'000'000'000}));
}

std::optional<std::uint64_t> convert(BOOL (*converter)(const FILETIME*, FILETIME*), std::uint64_t time) {
    FILETIME result{};
    const FILETIME input = toFileTime(time);
    if (!converter(&input, &result)) return std::nullopt;
    return toUint64(result);
}
std::optional<std::uint64_t> toLocal(std::uint64_t utc) { return convert(FileTimeToLocalFileTime, utc); }
std::optional<std::uint64_t> toUtc(std::uint64_t local) { return convert(LocalFileTimeToFileTime, local); }

constexpr std::uint64_t kWinterNoonUtc = 133497936000000000;  // 2024-01-15 12:00 UTC
constexpr std::uint64_t kSummerNoonUtc = 133655184000000000;  // 2024-07-15 12:00 UTC

TEST(TimeZones, LocalTimeFollowsTheZoneAndDaylightSaving) {
    {
        ScopedTimeZone zone("UTC0");
        EXPECT_EQ(toLocal(kWinterNoonUtc + 1234567), kWinterNoonUtc + 1234567);
        EXPECT_EQ(toUtc(kSummerNoonUtc + 1), kSummerNoonUtc + 1);
        EXPECT_EQ(toUtc(0), 0u);
    }
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(toLocal(kWinterNoonUtc), kWinterNoonUtc + kTicksPerHour);
    EXPECT_EQ(toLocal(kSummerNoonUtc + 42), kSummerNoonUtc + 2 * kTicksPerHour + 42);
    EXPECT_EQ(toUtc(kWinterNoonUtc + kTicksPerHour + 9'999'999), kWinterNoonUtc + 9'999'999);
    EXPECT_EQ(toUtc(kSummerNoonUtc + 2 * kTicksPerHour), kSummerNoonUtc);

    // Daylight saving starts at 2024-03-31 01:00 UTC.
    constexpr std::uint64_t lastWinterSecondUtc = 133563203990000000;
    constexpr std::uint64_t firstSummerSecondUtc = 133563204000000000;
    EXPECT_EQ(toLocal(lastWinterSecondUtc), lastWinterSecondUtc + kTicksPerHour);
    EXPECT_EQ(toLocal(firstSummerSecondUtc), firstSummerSecondUtc + 2 * kTicksPerHour);
    EXPECT_EQ(toUtc(lastWinterSecondUtc + kTicksPerHour), lastWinterSecondUtc);
    EXPECT_EQ(toUtc(firstSummerSecondUtc + 2 * kTicksPerHour), firstSummerSecondUtc);
}

TEST(TimeZones, ResultsOutsideTheFileTimeRangeFail) {
    {
        ScopedTimeZone zone("EST5");
        EXPECT_FALSE(toLocal(0));
        EXPECT_TRUE(toUtc(0));
    }
    ScopedTimeZone zone("CET-1");
    EXPECT_FALSE(toUtc(0));
    EXPECT_FALSE(toLocal(std::numeric_limits<std::uint64_t>::max()));
    const FILETIME input{};
    FILETIME output{};
    EXPECT_FALSE(FileTimeToLocalFileTime(nullptr, &output));
    EXPECT_FALSE(FileTimeToLocalFileTime(&input, nullptr));
    EXPECT_FALSE(LocalFileTimeToFileTime(nullptr, &output));
    EXPECT_FALSE(LocalFileTimeToFileTime(&input, nullptr));
}

TEST(TimeClock, SystemTimeMatchesTheRealTimeClock) {
    const time_t before = time(nullptr);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const time_t after = time(nullptr);
    const auto unix = fileTimeToUnix(toUint64(now));
    ASSERT_TRUE(unix);
    // time() reads a coarse clock that may lag the precise one by a tick across a second.
    EXPECT_GE(unix->tv_sec, before - 1);
    EXPECT_LE(unix->tv_sec, after + 1);
    GetSystemTimeAsFileTime(nullptr);
}

}  // namespace
