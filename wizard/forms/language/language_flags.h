#pragma once
// The 16 x 16 pictures of the language list: 0 a generic globe (any other language),
// 1 the United States flag ("English (Default)"), 2..21 the flags of the languages named
// in language_flags.cpp. Painted from a table of band colours and emblems.

#include <QImage>
#include <QString>

inline constexpr int kLanguageFlagCount = 22;
inline constexpr int kGenericLanguageFlag = 0;
inline constexpr int kEnglishDefaultFlag = 1;

// The picture of a list caption that equals a known language name exactly, else 0.
int LanguageFlagIndex(const QString& caption);

// Picture `index` (0..kLanguageFlagCount-1); a null image outside that range.
QImage PaintLanguageFlag(int index);
