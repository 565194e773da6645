#pragma once
// The type tree in the user's language. The format list keeps its texts in English (its
// registry copy does not change with the language); the tree looks a category or a
// description up by that English text in the translation's section "FileFormats". A text
// the user typed has no entry there and shows as typed.

#include <QString>

// The translation of `english` in section "FileFormats"; `english` itself when there is
// no translation, no entry or a blank one.
QString TranslatedFormatText(const QString& english);
