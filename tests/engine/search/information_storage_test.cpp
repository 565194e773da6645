#include "engine/search/information_storage.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/exports.h"
#include "engine/byte_order.h"

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
    std::vector<std::uint8_t> imageOf(std::uint16_t id) { return table.FindFileType(id)->StoredForm(); }

    CInformationStorage table{u"\\Software\\Unused"};
};

TEST_F(TypeTable, CategoryNodesInCreationOrder) {
    const std::pair<std::int32_t, std::u16string_view> expected[] = {
        {-148, u"Japan Documents"}, {-80, u"Executable"}, {-144, u"Documents"},
        {-147, u"Text Documents"}, {-146, u"Microsoft Office Documents"},
        {-145, u"Misc Documents"}, {-48, u"Archives"}, {-64, u"Databases"},
        {-115, u"Images"}, {-117, u"Fotos"}, {-120, u"Video"}, {-122, u"Audio"},
        {-112, u"Media"}, {-128, u"Mobile"}};
    ASSERT_EQ(table.categories().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_TRUE(table.categories()[i]->IsCategory());
        EXPECT_EQ(table.categories()[i]->categoryCode(), expected[i].first);
        EXPECT_EQ(table.categories()[i]->name(), expected[i].second);
    }
    EXPECT_EQ(table.FindCategory(-16), nullptr);
    table.AddFileCategories();  // rebuilding does not pile up nodes
    EXPECT_EQ(table.categories().size(), std::size(expected));
}

TEST_F(TypeTable, FirstTypeToClaimAnExtensionKeepsIt) {
    EXPECT_EQ(idFor(u"DOC"), 10);
    EXPECT_EQ(idFor(u"LIB"), 411);
    EXPECT_EQ(idFor(u"JPEG"), 83);
    EXPECT_EQ(idFor(u"JFI"), 83);
    EXPECT_EQ(idFor(u"MIDI"), 220);
    EXPECT_EQ(idFor(u"CR2"), 111);
    EXPECT_EQ(idFor(u"JTT"), 27);
    EXPECT_EQ(idFor(u"URL"), 54);
    EXPECT_EQ(table.extensionIndex().count(u""), 0u);  // the system rows have no extension
}

TEST_F(TypeTable, ExtensionTextsAreTrimmedAndUpperCased) {
    CFileType* pdf = table.FindFileType(47);
    table.IndexExtensions(u" .jpg; ", pdf);
    table.IndexExtensions(u" ,.* ", pdf);
    table.IndexExtensions(u"*.Foo", pdf);
    table.IndexExtensions(u"FOO", table.FindFileType(300));
    EXPECT_EQ(idFor(u"JPG"), 83);  // already claimed
    EXPECT_EQ(idFor(u"FOO"), 47);
    EXPECT_EQ(table.extensionIndex().count(u""), 0u);

    table.AddFileType(-48, 900, 10, 0, u"", u"d", u"c", u"p", u"aaa", u" ;bbb,, *.ccc ; ddd;");
    table.AddFileCategories();
    for (std::u16string_view extension : {u"AAA", u"BBB", u"CCC", u"DDD"}) {
        EXPECT_EQ(idFor(extension), 900) << std::string(extension.begin(), extension.end());
    }
}

TEST_F(TypeTable, FindFileTypeReturnsTheFirstOfAnId) {
    CFileType* first = table.FindFileType(300);
    table.AddFileType(-48, 300, 1, 0, u"", u"later", u"", u"", u"ZZZ");
    EXPECT_EQ(table.FindFileType(300), first);
    EXPECT_EQ(table.FindFileType(0), nullptr);
    EXPECT_EQ(table.FindFileType(65535), nullptr);
}

TEST_F(TypeTable, AddFileTypeFillsTheRecord) {
    CFileType* type = table.AddFileType(-115, 901, 77, 0, u"", u"desc", u"Images", u"img", u"ABC", u"");
    EXPECT_EQ(table.types().back().get(), type);
    EXPECT_EQ(type->name(), u"ABC");
    EXPECT_EQ(+type->image().SecondSize, 50);
    EXPECT_EQ(+type->image().Reserved1, 0);
    type = table.AddFileType(-115, 902, 77, 9, u"Shown", u"d", u"c", u"p", u"ABD");
    EXPECT_EQ(type->name(), u"Shown");
    EXPECT_EQ(+type->image().SecondSize, 9);
    EXPECT_EQ(type->extensionList(), u"");
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

TEST_F(TypeTable, StoredImageReplacesTextsButKeepsSignatures) {
    std::vector<std::uint8_t> stored = imageOf(47);
    stored.resize(kFileTypeImageSize);  // image only
    CFileType edited;
    edited.CopyImage(stored.data());
    setImageText(edited.image().Extension, u"XYZ");
    ASSERT_TRUE(table.ApplyStoredType(edited.StoredForm()));
    table.AddFileCategories();
    EXPECT_EQ(idFor(u"XYZ"), 47);
    EXPECT_EQ(idFor(u"PDF"), 0);
    EXPECT_EQ(table.FindFileType(47)->signatures().size(), 1u);
    EXPECT_EQ(table.count(), 94u);
}

TEST_F(TypeTable, UnknownStoredIdIsAppendedWithItsSignatures) {
    CFileType added;
    added.image().SignatureId = 999;
    setImageText(added.image().Extension, u"NEW");
    added.AddSignature(kConditionBytes, "NEWFMT", 0, 6, 0);
    ASSERT_TRUE(table.ApplyStoredType(added.StoredForm()));
    ASSERT_EQ(table.count(), 95u);
    EXPECT_EQ(table.types().back()->signatureId(), 999);
    std::uint8_t unit[kUnitSize] = {'N', 'E', 'W', 'F', 'M', 'T'};
    EXPECT_EQ(table.MatchUnit(unit)->signatureId(), 999);

    // Stored values of the same id: the later one wins.
    setImageText(added.image().Description, u"second");
    ASSERT_TRUE(table.ApplyStoredType(added.StoredForm()));
    EXPECT_EQ(table.count(), 95u);
    EXPECT_EQ(table.FindFileType(999)->description(), u"second");
}

TEST_F(TypeTable, ShortStoredValuesAreIgnored) {
    std::vector<std::uint8_t> stored = imageOf(47);
    EXPECT_FALSE(table.ApplyStoredType(std::span(stored).first(100)));
    EXPECT_FALSE(table.ApplyStoredType(std::span(stored).first(529)));
    EXPECT_EQ(table.count(), 94u);
}

TEST(TypeExports, TryDetectFileTypeLooksAtTheTypeCode) {
    FoundFileRecord record{};
    record.TypeCode = 0;
    EXPECT_EQ(TryDetectFileType(&record), 0);
    record.TypeCode = 47;
    EXPECT_EQ(TryDetectFileType(&record), 1);
    EXPECT_EQ(TryDetectFileType(nullptr), 0);
}

}  // namespace
