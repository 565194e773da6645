#pragma once
// Small conversions and searches on texts.

#include <QString>
#include <QStringList>

#include <string_view>

// The engine's UTF-16 text up to its first NUL, unit for unit (nothing is replaced or
// dropped). Texts longer than 2048 units give an empty text, as callers expect of a name
// too long to use.
QString WideToNarrow(std::u16string_view text);
// The same for a NUL-terminated text; a null pointer gives an empty text.
QString WideToNarrow(const char16_t* text);

// The trimmed, upper-cased text cut at every ",", last part first; parts are not trimmed
// and empty parts are kept: " jpg,jpeg " gives JPEG, JPG. An empty text gives no parts.
QStringList SplitCommaList(const QString& text);

// The 1-based position of the n-th occurrence of `sub` in `text`, each search starting one
// character after the previous find; 0 when there are fewer than n (or n < 1).
int NthOccurrence(const QString& sub, const QString& text, int n);

// A web address without its scheme: the text after the first "//", or the whole text when
// it has none.
QString TextAfterDoubleSlash(const QString& text);
