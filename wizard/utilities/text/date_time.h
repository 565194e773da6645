#pragma once
// The program's date-time: days since 30 December 1899 00:00 as a double, the fraction
// being the time of day. Before that day the whole days count backwards and the time of
// day is subtracted (-1.25 is 29 December 1899 06:00), the way the stored values and the
// date pickers of the wizard have always read them.

#include <QDate>
#include <QDateTime>
#include <QTime>

#include "platform/win_types.h"

using TDateTime = double;

// 1 January 1601 00:00:00, what a zero FILETIME means.
inline constexpr TDateTime kFileTimeZeroDateTime = -109205.0;

// Encodes a valid date (years 1..9999) and time of day.
TDateTime EncodeDateTime(const QDate& date, const QTime& time);

// The date and time of day a valid value stands for; an invalid QDateTime otherwise.
QDateTime DecodeDateTime(TDateTime value);

// True for a finite value between 1 January 0001 and 31 December 9999, the span that
// every date control and the encoding above can show.
bool IsValidDateTime(TDateTime value);

// The FILETIME's year, month, day, hour, minute, second and millisecond, taken as they
// stand (no conversion from UTC). A time beyond the year 9999, which no date-time holds,
// gives the zero time's value.
TDateTime FileTimeToDateTime(FILETIME time);
