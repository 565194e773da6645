#pragma once
// The folder browser's texts by language: lists of "key=text" entries, where a key is a
// Windows language id in four upper-case hexadecimal digits ("0407") or "Default".

#include <QLocale>
#include <QString>
#include <QStringList>

// The built-in lists: New-folder button captions and title texts.
QStringList DefaultNewFolderCaptions();
QStringList DefaultLabelCaptions();

// The text for `languageKey`: the entry of that key (in any case), else the "Default"
// entry, else the first entry; empty for an empty list.
QString PickCaption(const QStringList& captions, const QString& languageKey);

// The Windows language id of `locale` as four upper-case hexadecimal digits: "0407" for
// German (Germany), "0C0C" for French (Canada). A region we have no id for gives the
// language's default one; a language we have no id for gives "0000", which no list holds.
QString LanguageKeyOf(const QLocale& locale);
