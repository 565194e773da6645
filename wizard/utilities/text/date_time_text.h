#pragma once
// A file time as the lists and forms show it.

#include <QDateTime>
#include <QString>

// The date in the locale's short form with a four-digit year (an old year must not pass
// for a recent one), then the time with seconds; the date and time of day as they stand,
// without any conversion between zones. A null or invalid value (no time known) gives "".
QString DateTimeText(const QDateTime& value);
