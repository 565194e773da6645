#include "engine/search/information_storage.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TypeTable : public ::testing::Test {
protected:
    void SetUp() override {
        table.AddBuiltinFileTypes();
        table.AddFileCategories();
    }
    std::uint16_t idFor(std::u16string_view extension) {
        auto found = table.extensionIndex().find(std::u16string(extension));
        return found == table.extensionIndex().end() ? 0 : found->second->signatureId();
    }

    CInformationStorage table{u"\\Software\\Unused"};
};

TEST_F(TypeTable, CategoryNodesAreBuiltOnceAndRebuildingDoesNotPileThemUp) {
    ASSERT_EQ(table.categories().size(), 14u);
    for (const auto& category : table.categories()) EXPECT_TRUE(category->IsCategory());
    EXPECT_EQ(table.categories()[2]->name(), u"Documents");
    EXPECT_EQ(table.FindCategory(-144), table.categories()[2].get());
    EXPECT_EQ(table.FindCategory(-16), nullptr);
    table.AddFileCategories();
    EXPECT_EQ(table.categories().size(), 14u);
}

TEST_F(TypeTable, FirstTypeToClaimATrimmedUpperCasedExtensionKeepsIt) {
    CFileType* pdf = table.FindFileType(47);
    table.IndexExtensions(u" .jpg; ", pdf);
    table.IndexExtensions(u" ,.* ", pdf);
    table.IndexExtensions(u"*.Foo", pdf);
    table.IndexExtensions(u"FOO", table.FindFileType(300));
    auto expectOwners = [&](std::initializer_list<std::pair<std::u16string_view, std::uint16_t>> owners) {
        for (const auto& [extension, id] : owners) {
            EXPECT_EQ(idFor(extension), id) << std::string(extension.begin(), extension.end());
        }
        EXPECT_EQ(table.extensionIndex().count(u""), 0u);  // the system rows have no extension
    };
    expectOwners({{u"DOC", 10}, {u"LIB", 411}, {u"JPEG", 83}, {u"JFI", 83}, {u"MIDI", 220}, {u"CR2", 111},
                  {u"JTT", 27}, {u"URL", 54}, {u"JPG", 83}, {u"FOO", 47}});
    table.AddFileType(-48, 900, 10, 0, u"", u"d", u"c", u"p", u"aaa", u" ;bbb,, *.ccc ; ddd;");
    table.AddFileCategories();
    expectOwners({{u"AAA", 900}, {u"BBB", 900}, {u"CCC", 900}, {u"DDD", 900}});
}

TEST_F(TypeTable, FindFileTypeReturnsTheFirstOfAnIdAndNamesFallBackToTheExtension) {
    CFileType* first = table.FindFileType(300);
    CFileType* later = table.AddFileType(-48, 300, 1, 0, u"", u"later", u"", u"", u"ZZZ");
    EXPECT_EQ(table.FindFileType(300), first);
    EXPECT_EQ(table.FindFileType(0), nullptr);
    EXPECT_EQ(table.FindFileType(65535), nullptr);
    EXPECT_EQ(later->name(), u"ZZZ");
    CFileType* shown = table.AddFileType(-115, 902, 77, 9, u"Shown", u"d", u"c", u"p", u"ABD");
    EXPECT_EQ(shown->name(), u"Shown");
}

TEST_F(TypeTable, GetFileTypeByCodeThenByExtension) {
    std::uint16_t code = 0;
    CFileType* pdf = table.GetFileType(code, u"report.final.Pdf");
    ASSERT_NE(pdf, nullptr);
    EXPECT_EQ(pdf, table.types().front().get());
    EXPECT_EQ(code, 47);

    code = 0;
    EXPECT_EQ(table.GetFileType(code, u"README"), nullptr);
    EXPECT_EQ(table.GetFileType(code, u"trailing."), nullptr);
    EXPECT_EQ(table.GetFileType(code, nullptr), nullptr);
    EXPECT_EQ(code, 0);

    code = 300;
    EXPECT_EQ(table.GetFileType(code, u"photo.jpg")->signatureId(), 300);
    code = 4242;  // unknown code: the name decides and rewrites the code
    EXPECT_EQ(table.GetFileType(code, u"photo.jpeg")->signatureId(), 83);
    EXPECT_EQ(code, 83);
}

TEST_F(TypeTable, StoredTypesOfAnUnknownIdAreAppendedAndTheLaterOneWins) {
    const std::vector<std::uint8_t> pdf = table.FindFileType(47)->StoredForm();
    EXPECT_FALSE(table.ApplyStoredType(std::span(pdf).first(529)));
    CFileType added;
    added.image().SignatureId = 999;
    added.AddSignature(kConditionBytes, "NEWFMT", 0, 6, 0);
    ASSERT_TRUE(table.ApplyStoredType(added.StoredForm()));
    std::uint8_t unit[kUnitSize] = {'N', 'E', 'W', 'F', 'M', 'T'};
    EXPECT_EQ(table.MatchUnit(unit)->signatureId(), 999);

    setImageText(added.image().Description, u"second");
    ASSERT_TRUE(table.ApplyStoredType(added.StoredForm()));
    EXPECT_EQ(table.count(), 95u);
    EXPECT_EQ(table.FindFileType(999)->description(), u"second");
}

}  // namespace
