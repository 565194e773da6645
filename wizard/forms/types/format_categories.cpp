#include "wizard/forms/types/format_categories.h"

// English: the categories are the list's English texts, and the tree keeps one order
// whatever the language.
FormatCategories::FormatCategories(const TFormatsList& formats)
    : collator_(QLocale(QLocale::English)), spellings_(CollatorLess{&collator_}) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    for (std::size_t i = 0; i < formats.Count(); ++i) {
        const QString category = QString::fromStdString(formats[i].Category);
        spellings_.try_emplace(category, category);
    }
    for (const auto& [key, spelling] : spellings_) {
        sorted_.append(spelling);
    }
}

QString FormatCategories::spellingOf(const QString& category) const {
    if (const auto known = seen_.constFind(category); known != seen_.cend()) {
        return *known;
    }
    const auto found = spellings_.find(category);
    const QString spelling = found != spellings_.end() ? found->second : category;
    seen_.insert(category, spelling);
    return spelling;
}
