// The list's stored form: load order and defaults, odd and duplicate titles, stale
// sub-keys, damaged values, reset, and a store that refuses writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "platform/text.h"
#include "wizard/model/formats/format_fixture.h"
#include "wizard/model/formats/format_values.h"

namespace {

using platform::RegistryValue;

std::vector<TFormat> Sorted(const TFormatsList& list) {
    std::vector<TFormat> formats;
    for (std::size_t i = 0; i < list.Count(); ++i) formats.push_back(list[i]);
    std::sort(formats.begin(), formats.end(), [](const TFormat& a, const TFormat& b) {
        return std::tie(a.Title, a.FileExtensions, a.SignatureId) < std::tie(b.Title, b.FileExtensions, b.SignatureId);
    });
    return formats;
}

TFormat Titled(const std::string& title, std::int32_t id) {
    TFormat format;
    format.Title = title;
    format.SignatureId = id;
    return format;
}

TEST_F(FormatListTest, StoredFormatsComeFirstAndMissingBuiltinsAfterThem) {
    TFormat jpeg = Titled(" jpeg", 83);  // counts as the built-in JPEG
    StoredKey(u"b").writeAll(FormatValues(jpeg));
    StoredKey(u"a").writeAll(FormatValues(Titled("My GIF", 85)));  // GIF renamed: comes back
    StoredKey(u"c").writeAll({{u"Title", std::u16string(u"Bare")}});

    auto storage = Load();
    const TFormatsList& formats = storage->Formats();
    ASSERT_EQ(formats.Count(), 45u);
    EXPECT_EQ(formats[0].Title, "My GIF");  // store order: by sub-key name
    EXPECT_EQ(formats[1], jpeg);
    TFormat bare;  // strings that are not stored read as empty, numbers keep their defaults
    bare.Title = "Bare";
    bare.FilePrefix = bare.Category = bare.Description = bare.DefaultExtension = bare.FileExtensions = "";
    EXPECT_EQ(formats[2], bare);
    EXPECT_EQ(formats[3].Title, "BMP");  // JPEG is not added again
    EXPECT_EQ(formats[4].Title, "GIF");
    EXPECT_EQ(storage->FindBySignatureId(85)->Title, "My GIF");
}

TEST_F(FormatListTest, MistypedOrMissingNumbersKeepTheirDefaults) {
    StoredKey(u"odd").writeAll({{u"Search", std::u16string(u"1")},
                                {u"DefaultSizeKb", std::u16string(u"7")},
                                {u"RecoveryOrder", std::uint64_t{3}},
                                {u"Title", std::u16string(u"Odd")},
                                {u"SignatureId", std::uint32_t(-5)},
                                {u"Deleted", std::uint32_t{2}}});
    const auto storage = Load();
    const TFormat& odd = storage->Formats()[0];
    EXPECT_EQ(std::tie(odd.Search, odd.DefaultSizeKb, odd.RecoveryOrder, odd.SignatureId, odd.Deleted),
              std::make_tuple(false, 5120, 0, -5, true));  // any non-zero value is true
}

TEST_F(FormatListTest, SavedListSurvivesLoadWithDuplicateAndOddTitles) {
    auto storage = Load();
    for (const char* title : {"Raw", "RAW", "a\\b", "a/b", "..", ".", "", ".values", "JPEG", "Format 1"}) {
        storage->AppendFormat(Titled(title, 500));
    }
    TFormat wide = Titled(std::string(300, 'w'), 501);  // too long for a key name
    wide.Description = "Ünïcödé, \"quoted\"\nnew line";
    storage->AppendFormat(wide);
    ASSERT_TRUE(storage->SaveToRegistry());
    EXPECT_EQ(StoredKeys().size(), storage->Formats().Count());

    auto reloaded = Load();
    EXPECT_EQ(Sorted(reloaded->Formats()), Sorted(storage->Formats()));
    ASSERT_TRUE(reloaded->SaveToRegistry());  // not modified: nothing changes
    EXPECT_EQ(Sorted(Load()->Formats()), Sorted(storage->Formats()));
}

TEST_F(FormatListTest, SubKeysNoFormatOwnsGoOnceEveryWriteSucceeded) {
    StoredKey(u"Old").writeAll(FormatValues(Titled("Old", 600)));
    auto storage = Load();
    storage->ChangeFormat(IndexOfTitle(*storage, "Old"), Titled("New", 600));
    // A folder where a key's values file belongs makes every write to that key fail.
    const auto blocker = registryFolder() / "Software/Kelvorin/Pramblex/3.0/FileFormats/JPEG/.values";
    std::filesystem::create_directories(blocker);
    platform::setRegistryDiagnostics([](const std::string&) {});
    EXPECT_FALSE(storage->SaveToRegistry());
    platform::setRegistryDiagnostics(nullptr);
    EXPECT_EQ(std::ranges::count(StoredKeys(), u"Old"), 1);

    std::filesystem::remove(blocker);
    ASSERT_TRUE(storage->SaveToRegistry());
    EXPECT_EQ(StoredKeys().size(), 44u);
    EXPECT_EQ(std::ranges::count(StoredKeys(), u"Old"), 0);
    EXPECT_EQ(Load()->FindBySignatureId(600)->Title, "New");
}

TEST_F(FormatListTest, ResetRestoresTheBuiltinsAndStoresThemOnlyWhenModified) {
    for (const bool modified : {false, true}) {
        StoredKey(u"Mine").writeAll(FormatValues(Titled("Mine", 700)));
        auto storage = Load();
        ASSERT_EQ(storage->Formats().Count(), 44u);
        if (modified) storage->ChangeFormat(0, storage->Formats()[0]);
        ASSERT_TRUE(storage->ResetToDefaults());
        EXPECT_EQ(storage->Formats().Count(), 43u);
        EXPECT_EQ(storage->FindByTitle("Mine"), nullptr);
        EXPECT_EQ(StoredKeys().size(), modified ? 43u : 0u) << modified;
        EXPECT_EQ(Load()->Formats().Count(), 43u);
    }
}

}  // namespace
