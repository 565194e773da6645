#pragma once
// Texts of the engine's fixed-width record fields (labels, file-system names, OEM names):
// a field ends at its first NUL or at its width, whichever comes first, and holds UTF-8
// when it decodes as such, else 8-bit text read as Latin-1.

#include <QString>

#include <cstddef>

QString RecordFieldText(const char* field, std::size_t width);

template <std::size_t Width>
QString RecordFieldText(const char (&field)[Width]) {
    return RecordFieldText(field, Width);
}
