#include "engine/search/file_type.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/byte_order.h"

namespace {

CFileType sampleType() {
    CFileType type;
    FileTypeImage& image = type.image();
    image.Enabled = 1;
    image.Reserved2 = 1;
    image.DefaultSizeKb = 2048;
    image.SecondSize = 50;
    setImageText(image.Extension, u"PDF");
    setImageText(image.ExtensionList, u"AI;EPSF");
    setImageText(image.Description, u"Portable Document Format");
    setImageText(image.CategoryText, u"Text Documents");
    setImageText(image.Name, u"PDF");
    setImageText(image.NamePrefix, u"adobe");
    image.CategoryCode = -144;
    image.SignatureId = 47;
    return type;
}

TEST(FileTypeImage, TextsAreCutToTheirFieldAndCopyKeepsSignatures) {
    CFileType type;
    setImageText(type.image().Extension, u"ABCDEFGHIJKLMNOP");
    EXPECT_EQ(type.extension(), u"ABCDEFGHI");
    type.AddSignature32(0x46445025, 0, 0);

    std::vector<std::uint8_t> image(kFileTypeImageSize, 0x41);  // no terminator anywhere
    ASSERT_EQ(type.CopyImage(image.data()), 1);
    EXPECT_EQ(type.extension().size(), 9u);
    EXPECT_EQ(type.extensionList().size(), 49u);
    EXPECT_EQ(type.description().size(), 99u);
    EXPECT_EQ(type.namePrefix().size(), 29u);
    EXPECT_EQ(type.signatures().size(), 1u);
    EXPECT_EQ(+type.image().SignatureCount, 1);
    EXPECT_EQ(type.CopyImage(nullptr), 0);
}

TEST(FileTypeSignatures, TypedAddersStoreLittleEndianValues) {
    std::uint8_t unit[kUnitSize] = {0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C, 0, 0, 0x42, 0x4D, 1, 2, 3, 4, 5, 6, 7, 8};
    CFileType type;
    EXPECT_EQ(type.Match(unit), 0);  // no signatures never matches
    type.AddSignature8(0x99, 0, 0);
    EXPECT_EQ(type.Match(unit), 0);
    type.AddSignature16(0x7A37, 0, 0);
    EXPECT_EQ(type.Match(unit), 1);
    EXPECT_EQ(+type.image().SignatureCount, 2);

    CFileType wide;
    wide.AddSignature32(0x1C27AFBC, 2, 0);
    wide.AddSignature64(0x0807060504030201, 10, 0);
    EXPECT_EQ(wide.MatchSignature(unit, wide.signatures()[0]), 1);
    EXPECT_EQ(wide.MatchSignature(unit, wide.signatures()[1]), 1);
}

TEST(FileTypeStoredForm, SerializeNeedsRoomForTheWholeForm) {
    CFileType type = sampleType();
    std::vector<std::uint8_t> buffer(1000, 0xEE);
    EXPECT_EQ(type.Serialize(buffer.data(), 100), 530);
    EXPECT_EQ(buffer[0], 0xEE);
    type.AddSignature(kConditionBytes, "%PDF-1.", 0, 7, 0);
    EXPECT_EQ(type.Serialize(buffer.data(), 530), 530 + 59);
    EXPECT_EQ(buffer[0], 0xEE);
    EXPECT_EQ(type.Serialize(buffer.data(), 1000), 530 + 59);
    EXPECT_EQ(buffer[0], 1);
}

TEST(FileTypeStoredForm, RoundTripKeepsSignatures) {
    CFileType type = sampleType();
    CFileSignature* riff = type.AddSignature32(0x46464952, 0, 0);
    riff->AddCondition(kConditionBytes, "WAVEfmt", 8, 7, 0);
    riff->AddCondition(kConditionUint8, "\0", 40, 0, 3);
    type.AddSignature16(0x8B1F, 0, 0);

    std::vector<std::uint8_t> stored = type.StoredForm();
    std::unique_ptr<CFileType> loaded = CFileType::FromStoredForm(stored);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->signatures().size(), 2u);
    EXPECT_EQ(loaded->signatures()[0].conditionCount(), 3u);
    EXPECT_EQ(loaded->signatures()[0].totalSize(), 20u + 36 + 39 + 33);
    EXPECT_EQ(loaded->StoredForm(), stored);
}

TEST(FileTypeStoredForm, DamagedSignaturesAreDroppedSafely) {
    CFileType type = sampleType();
    type.AddSignature(kConditionBytes, "first", 0, 5, 0);
    type.AddSignature(kConditionBytes, "second", 0, 6, 0);
    type.AddSignature(kConditionBytes, "third", 0, 5, 0);
    const std::vector<std::uint8_t> stored = type.StoredForm();
    const std::size_t second = kFileTypeImageSize + 20 + 37;

    EXPECT_EQ(CFileType::FromStoredForm(std::span(stored).first(529)), nullptr);

    // Cut inside the third signature: the first two stay.
    auto loaded = CFileType::FromStoredForm(std::span(stored).first(stored.size() - 3));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->signatures().size(), 2u);
    EXPECT_EQ(+loaded->image().SignatureCount, 2);

    // A broken condition inside the second: skipped by its record size, the third stays.
    auto corrupt = stored;
    corrupt[second + 20 + 14] = 200;  // value length disagrees with the condition's size
    loaded = CFileType::FromStoredForm(corrupt);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->signatures().size(), 2u);
    EXPECT_EQ(loaded->signatures()[1].conditions()[0].valueLength(), 5u);

    // A count far beyond the bytes present reads only what is there; a negative one, none.
    corrupt = stored;
    engine::storeLittleEndian(corrupt.data() + 526, std::int32_t{0x7FFFFFFF});
    loaded = CFileType::FromStoredForm(corrupt);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->signatures().size(), 3u);
    engine::storeLittleEndian(corrupt.data() + 526, std::int32_t{-5});
    EXPECT_EQ(CFileType::FromStoredForm(corrupt)->signatures().size(), 0u);
}

}  // namespace
