#pragma once
// The user's filters of the file-system scan, applied in this order to one entry:
//   1. type and name: kept when the format of the name's extension is searched, or, with
//      the name filter on, when the name matches its masks (masks add files, never
//      remove any);
//   2. created between two date-times, both inclusive;
//   3. created no earlier than a count of minutes, hours, days, weeks, calendar months or
//      calendar years before now;
//   4. size equal to, above or below a count of bytes, KB or MB.
// The first decides; each later one can only drop the entry. Times are wall-clock times:
// the entry's creation time as stored (no zone applied), "now" as local time.

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>

#include "engine/records.h"
#include "wizard/settings/settings_values.h"

// The age filter's threshold: `now` minus `count` units of `type` (0 minutes, 1 hours,
// 2 days, 3 weeks, 4 calendar months, 5 calendar years; the day of the month is cut to the
// target month's length, so 29 February less a year is 28 February), the time of day kept.
// Nothing for any other type: no age test.
std::optional<QDateTime> AgeThreshold(const QDateTime& now, int count, int type);

// `count` units of `unit` in bytes (0 bytes, 1 KB, 2 MB; any other unit is 0), in 64 bits:
// 32767 MB does not overflow.
std::int64_t SizeLimit(int count, int unit);

// Whether `size` (-1 = unknown) passes the size test: sign 0 keeps size = limit, 1 keeps
// size > limit, 2 keeps size < limit, any other sign keeps every size.
bool SizeKeeps(std::int64_t size, int sign, std::int64_t limit);

class FileFilters {
public:
    FileFilters(const SettingsValues& settings, const QDateTime& localNow);

    // GUI thread (it reads the format list).
    bool Keeps(const FoundFileRecord& record) const;

private:
    bool KeepsTypeOrName(const FoundFileRecord& record) const;

    bool nameUse_;
    QString masks_;
    // Wall-clock milliseconds since 1970; nothing where the filter is off.
    std::optional<std::int64_t> createdFrom_;
    std::optional<std::int64_t> createdTo_;
    std::optional<std::int64_t> ageThreshold_;
    bool sizeUse_;
    int sizeSign_;
    std::int64_t sizeLimit_;
};
