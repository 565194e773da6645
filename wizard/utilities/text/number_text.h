#pragma once
// Numbers and sizes as the lists, forms and dialogs show them.

#include <QString>

#include <cstdint>

// Digits with a comma before every group of three counted from the right, whatever the
// locale: 1234567 gives "1,234,567".
QString ThousandsText(std::int64_t value);

// Bytes below 1 KB, then whole KB below 2 MB, whole MB below 2 GB, else whole GB:
// 2097151 gives "2,047 KB". The unit texts are not translated. A negative size (-1 is an
// unknown size) gives "": an unknown size shows as nothing.
QString FormatFileSize(std::int64_t size);

// Digits grouped with the current locale's thousands separator; "" for any negative value
// (an unknown size or position).
QString FormatNumberText(std::int64_t value);
