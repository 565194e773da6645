#pragma once
// The current translation and the lookup of single texts by id.
//
// One process-wide translation, or none: the built-in English texts. Every text the
// program builds is looked up by its id in the section "Misc" with its English text as the
// default; formats go through TranslateFormat, which never lets a translation break them.

#include <QString>

#include <memory>

#include "wizard/translation/language_file.h"
#include "wizard/translation/safe_format.h"

using Translation = std::shared_ptr<const LanguageFile>;

Translation CurrentTranslation();
void SetCurrentTranslation(Translation translation);

// Drops the current translation, then reads `fileName` from LanguageFolder(): a plain name
// of a regular file of at most 4 MiB, found by its exact name or else in any case. Returns
// none when there is no such file; the caller stores the result as the current one.
Translation LoadLanguageFile(const QString& fileName);

// Makes `fileName` the program's language (empty: the built-in English): the current
// translation, and Qt's own texts in the same language where Qt has them. A file that
// cannot be read leaves everything English.
void UseLanguageFile(const QString& fileName);

// The translation of `id` in section "Misc", or `english` when there is no translation or
// the value is blank. "*|*" in a value stands for a line break ("\n").
QString TranslateString(const QString& english, const QString& id);

// TranslateString's result for a format, filled with `arguments`; a translated format that
// does not fit them gives `englishFormat` filled instead.
template <typename... Arguments>
QString TranslateFormat(const QString& id, const QString& englishFormat,
                        const Arguments&... arguments) {
    return SafeFormat(TranslateString(englishFormat, id), englishFormat, arguments...);
}
