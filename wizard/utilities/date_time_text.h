#pragma once
// A file time as the lists and forms show it.

#include <QDateTime>
#include <QString>

// The date in the locale's short form with a four-digit year (a carved file's zero time is
// 1601, which two digits would hide), then the time with seconds; the date and time of
// day as they stand, without any conversion between zones.
QString DateTimeText(const QDateTime& value);
