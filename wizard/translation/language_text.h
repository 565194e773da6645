#pragma once
// The text of a translation file: UTF-8 when the bytes are valid UTF-8 (a leading byte
// order mark is dropped), else Windows-1252, the code page such files were written in.

#include <QByteArrayView>
#include <QString>

QString DecodeLanguageText(QByteArrayView bytes);
