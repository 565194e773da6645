#include "wizard/forms/types/format_categories.h"

#include <gtest/gtest.h>

#include <memory>

#include "wizard/model/formats/data_storage.h"

namespace {

std::unique_ptr<TDataStorage> WithCategories(std::initializer_list<const char*> categories) {
    auto storage = std::make_unique<TDataStorage>();
    for (const char* category : categories) {
        TFormat format;
        format.Category = category;
        storage->AppendFormat(format);
    }
    return storage;
}

TEST(FormatCategoriesTest, SortedWithoutRegardToCaseInTheFirstSpelling) {
    const struct {
        std::initializer_list<const char*> categories;
        QStringList sorted;
    } cases[] = {
        {{"Video", "Images", "Audio", "Images", "Misc. Documents"},
         {"Audio", "Images", "Misc. Documents", "Video"}},
        {{"images", "Images", "IMAGES"}, {"images"}},
        {{"", "Unknown", "unknown"}, {"", "Unknown"}},
    };
    for (const auto& test : cases) {
        const auto storage = WithCategories(test.categories);
        const FormatCategories categories(storage->Formats());
        EXPECT_EQ(categories.sorted(), test.sorted);
    }
}

TEST(FormatCategoriesTest, EverySpellingFindsTheFirstOne) {
    const auto storage = WithCategories({"Images", "iMaGeS", "Audio"});
    const FormatCategories categories(storage->Formats());
    for (const char* spelling : {"Images", "iMaGeS", "IMAGES", "images"}) {
        EXPECT_EQ(categories.spellingOf(QString::fromLatin1(spelling)), QStringLiteral("Images"))
            << spelling;
    }
    EXPECT_EQ(categories.spellingOf(QStringLiteral("AUDIO")), QStringLiteral("Audio"));
}

}  // namespace
