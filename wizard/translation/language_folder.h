#pragma once
// The translation files of the program folder: where they are, which names may be read,
// how a file shows in a language list and how a stored name finds its file.

#include <QList>
#include <QString>

// The folder that holds the ".lng" files, with a trailing '/': the program folder unless
// start-up (or a test) names another one with SetLanguageFolder. An empty folder restores
// the program folder.
QString LanguageFolder();
void SetLanguageFolder(const QString& folder);

// A setting may only name a file inside the folder: not empty, no '/', '\\', ".." or NUL.
bool IsPlainLanguageFileName(const QString& fileName);

// The caption a language list shows for a file: the name without its last extension, in
// lower case with the first character in upper case ("DEUTSCH.LNG" -> "Deutsch",
// "pt.br.lng" -> "Pt.br"). A choice stores the caption + ".lng".
QString LanguageCaption(const QString& fileName);
QString LanguageFileNameForCaption(const QString& caption);

// The visible regular files "*.lng" (any case) of `folder`, sorted by name.
QStringList ListLanguageFiles(const QString& folder);

// The path of the file `fileName` names in `folder`: the exact name first, then the first
// name (sorted) that equals it without regard to case. Empty when there is none or the
// name is not plain.
QString FindLanguageFile(const QString& folder, const QString& fileName);
