#include "wizard/utilities/text/date_time.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/time.h"

namespace {

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;
constexpr double kFirstInvalidDay = 2958466.0;  // 1 January 10000
constexpr double kLastInvalidDay = -693594.0;   // 31 December 0000

TDateTime combine(std::int64_t days, std::int64_t millisecondsOfDay) {
    const double time = static_cast<double>(millisecondsOfDay) / kMillisecondsPerDay;
    return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

}  // namespace

TDateTime EncodeDateTime(const QDate& date, const QTime& time) {
    static const qint64 epoch = QDate(1899, 12, 30).toJulianDay();
    return combine(date.toJulianDay() - epoch, time.msecsSinceStartOfDay());
}

QDateTime DecodeDateTime(TDateTime value) {
    if (!IsValidDateTime(value)) return {};
    static const qint64 epoch = QDate(1899, 12, 30).toJulianDay();
    const double days = std::trunc(value);
    // Before the epoch the time of day counts from the day's start all the same.
    const auto milliseconds = std::min<std::int64_t>(
        std::llround(std::fabs(value - days) * kMillisecondsPerDay), kMillisecondsPerDay - 1);
    return QDateTime(QDate::fromJulianDay(epoch + static_cast<qint64>(days)),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(milliseconds)));
}

bool IsValidDateTime(TDateTime value) {
    return std::isfinite(value) && value > kLastInvalidDay && value < kFirstInvalidDay;
}

TDateTime FileTimeToDateTime(FILETIME time) {
    const std::uint64_t ticks = platform::toUint64(time);
    const auto milliseconds = static_cast<std::int64_t>(ticks / 10'000);
    const std::int64_t days =
        milliseconds / kMillisecondsPerDay + static_cast<std::int64_t>(kFileTimeZeroDateTime);
    if (days >= static_cast<std::int64_t>(kFirstInvalidDay)) return kFileTimeZeroDateTime;
    return combine(days, milliseconds % kMillisecondsPerDay);
}
