// The built-in list, the lookups and their normalisation, and edits through the storage.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "wizard/model/formats/format_fixture.h"
#include "wizard/model/formats/formats_unit.h"

namespace {

TEST_F(FormatListTest, FirstStartHoldsTheBuiltinsAndWritesNothing) {
    FormatsUnitInit();
    const TFormatsList& formats = DataStorage->Formats();
    ASSERT_EQ(formats.Count(), 43u);
    EXPECT_FALSE(DataStorage->NoFormatSelected());
    EXPECT_TRUE(FormatsUnitDone());
    EXPECT_FALSE(platform::RegistryKey::open(kFileFormatsKey).has_value());
}

TEST_F(FormatListTest, LookupsNormaliseAndTheFirstFormatWins) {
    auto storage = Load();
    TFormat pair;
    pair.Title = "Pair";
    pair.FileExtensions = "abc, def";
    storage->AppendFormat(pair);
    const struct {
        const char* extension;
        const char* title;
    } cases[] = {
        {" .Jpe\t", "JPEG"}, {"", "-"}, {" . ", "-"}, {"..jpe", "-"},
        {"raf", "RAF (1)"},   {"abc", "Pair"}, {"def", "-"},
    };
    for (const auto& c : cases) {
        const TFormat* found = storage->FindByExtension(c.extension);
        EXPECT_EQ(found ? found->Title : "-", c.title) << "extension '" << c.extension << "'";
    }
    EXPECT_TRUE(storage->IsExtensionSearched("..dwg"));  // one dot here, one in the lookup
    EXPECT_FALSE(storage->IsExtensionSearched("...dwg"));
    EXPECT_FALSE(storage->IsExtensionSearched("jpg"));

    EXPECT_EQ(storage->FindByTitle(" jpeg\t")->Title, "JPEG");
    EXPECT_EQ(storage->FindBySignatureId(117)->Title, "RAF (2)");
    EXPECT_EQ(storage->FindBySignatureId(999), nullptr);
    EXPECT_EQ(storage->IndexOf(storage->FindBySignatureId(-1)), 43u);  // Pair keeps the default id
    EXPECT_TRUE(storage->NeedsDefault(true, "JPEG"));
    EXPECT_FALSE(storage->NeedsDefault(false, "jpeg"));
}

TEST_F(FormatListTest, EditsRebuildTheLookupsAndMarkTheList) {
    auto storage = Load();
    const std::size_t jpeg = IndexOfTitle(*storage, "JPEG");
    TFormat changed = storage->Formats()[jpeg];
    changed.FileExtensions = "XYZ";
    changed.SignatureId = 1000;
    storage->SetSessionSize(jpeg, 7);
    EXPECT_FALSE(storage->Modified());
    EXPECT_EQ(storage->Formats()[jpeg].DefaultSizeBytes(), 7u * 1024);
    storage->ChangeFormat(jpeg, changed);
    EXPECT_TRUE(storage->Modified());
    EXPECT_EQ(storage->FindByExtension("jpg"), nullptr);
    EXPECT_EQ(storage->FindBySignatureId(1000)->Title, "JPEG");
    EXPECT_EQ(storage->FindBySignatureId(83), nullptr);

    // A removed format that stays checked is still searched and still counts as selected.
    for (std::size_t i = 0; i < storage->Formats().Count(); ++i) {
        TFormat format = storage->Formats()[i];
        format.Search = format.Deleted = i == jpeg;
        storage->ChangeFormat(i, format);
    }
    EXPECT_TRUE(storage->IsExtensionSearched(".xyz"));
    EXPECT_FALSE(storage->NoFormatSelected());
}

// The thumbnail worker looks formats up while the GUI thread replaces the whole list.
TEST_F(FormatListTest, ReadersOnAnotherThreadGetCopiesWhileTheListIsReset) {
    auto storage = Load();
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::thread reader([&] {
        while (!stop.load()) {
            const std::optional<TFormat> jpeg = storage->CopyByExtension(".jpg");
            const auto prefix = storage->ReadBySignatureId(85, [](const TFormat& f) { return f.FilePrefix; });
            if (!jpeg || jpeg->Title != "JPEG" || prefix != "image") ++wrong;
        }
    });
    for (int i = 0; i < 200; ++i) storage->ResetToDefaults();
    stop = true;
    reader.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
