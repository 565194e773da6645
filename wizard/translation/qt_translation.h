#pragma once
// Qt's own texts (the standard buttons of message boxes, the file dialog) in the program's
// language, from the translations Qt installs beside itself. Without them, for English and
// for a language Qt cannot tell, Qt's built-in English texts stay.

#include <QLocale>
#include <QString>

// The language a translation file is written in, told by its name: the English or the
// native name of a language ("German.lng", "Deutsch.lng", "Francais.lng"), compared without
// regard to case or accents. AnyLanguage when the name is none of them.
QLocale::Language LanguageOfFile(const QString& fileName);

// Where Qt's translations are installed.
QString QtTranslationsFolder();

// Replaces the Qt translation in use by the one of `language` in `folder`; none for English
// or AnyLanguage. Returns whether one is in use now: false when its files are missing.
// On the GUI thread, as every change of the language.
bool UseQtLanguage(QLocale::Language language, const QString& folder = QtTranslationsFolder());

// The language of the Qt translation in use; AnyLanguage while Qt speaks its own English.
QLocale::Language QtLanguage();
