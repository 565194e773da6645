// The unit index must name the same type as a walk of the whole table, first match wins.

#include "engine/search/searcher_unit_index.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>

#include "searcher_test_support.h"

namespace {

using searchtest::builtinTypes;

std::uint16_t idOf(const CFileType* type) { return type ? type->signatureId() : 0; }

// A unit that meets the first signature of `type` on top of `noise`.
std::vector<std::uint8_t> unitFor(const CFileType& type, std::vector<std::uint8_t> unit) {
    for (const CSignatureCondition& condition : type.signatures().front().conditions()) {
        const std::span<const std::uint8_t> value = condition.value();
        const std::size_t width = condition.kind() == kConditionRange8 || condition.kind() == kConditionRange16
                                      ? value.size() / 2
                                      : value.size();
        std::memcpy(unit.data() + condition.offset(), value.data(), width);
    }
    return unit;
}

TEST(SearchUnitIndex, AgreesWithTheTableWalkOnRandomAndSignedUnits) {
    const CInformationStorage& table = builtinTypes();
    CSearchUnitIndex index(table);
    EXPECT_EQ(index.typeCount(), table.count());
    EXPECT_LT(index.anchorOffsetCount(), 16u);

    std::mt19937 random(7);
    std::vector<std::uint8_t> unit(kUnitSize);
    for (int round = 0; round < 20000; ++round) {
        for (auto& byte : unit) byte = static_cast<std::uint8_t>(random());
        // Many random units start like some header: give them a common first byte too.
        if (round % 4 == 0) unit[0] = static_cast<std::uint8_t>("\x50\x52\x1F\xFF\x49\x4D\x00\x37"[round % 8]);
        ASSERT_EQ(idOf(index.FirstMatch(unit)), idOf(table.MatchUnit(unit))) << round;
    }
    for (const auto& type : table.types()) {
        if (type->signatures().empty()) continue;
        for (std::uint8_t fill : {0x00, 0xFF}) {
            const std::vector<std::uint8_t> signed_ = unitFor(*type, std::vector<std::uint8_t>(kUnitSize, fill));
            EXPECT_EQ(idOf(index.FirstMatch(signed_)), idOf(table.MatchUnit(signed_))) << type->signatureId();
        }
    }
}

TEST(SearchUnitIndex, KeepsTableOrderAmongCandidates) {
    CSearchUnitIndex index(builtinTypes());
    std::vector<std::uint8_t> unit(kUnitSize, 0);
    std::memcpy(unit.data(), "PK\x03\x04\x14\x00\x08\x00", 8);
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 300);  // before JAR
    std::memcpy(unit.data(), "\x1F\x8B\x08", 3);
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 331);  // before GZ
    std::memcpy(unit.data(), "II*\x00", 4);
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 87);   // TIFF before NEF
    std::fill(unit.begin(), unit.end(), 0);
    unit[510] = 0x55;
    unit[511] = 0xAA;
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 1);
    EXPECT_EQ(index.FirstMatch(std::span<const std::uint8_t>(unit).first(511)), nullptr);
}

TEST(SearchUnitIndex, TypesThatFixNoByteAreTriedOnEveryUnitInTheirPlace) {
    CInformationStorage table(u"\\Software\\Unused");
    CFileType* ranged = table.AddFileType(-144, 900, 1, 0, {}, u"ranged", u"x", u"x", u"RNG");
    const std::uint8_t range[4] = {0x00, 0x10, 0xFF, 0x10};  // uint16 0x1000..0x10FF at 2
    ranged->AddSignature(kConditionRange16, range, 2, 4, 0);
    CFileType* pdf = table.AddFileType(-144, 901, 1, 0, {}, u"pdf", u"x", u"x", u"PDF");
    pdf->AddSignature(kConditionBytes, "%PDF", 0, 4, 0);
    CFileType* anything = table.AddFileType(-144, 902, 1, 0, {}, u"any", u"x", u"x", u"ANY");
    anything->AddSignature(64, nullptr, 0, 0, 0);
    table.AddFileType(-144, 903, 1, 0, {}, u"none", u"x", u"x", u"NON");
    CSearchUnitIndex index(table);

    std::vector<std::uint8_t> unit(kUnitSize, 0);
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 902);
    std::memcpy(unit.data(), "%PDF", 4);
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 901);
    unit[3] = 0x10;  // "%P" then 0x44 0x10: uint16 0x1044 at 2
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 900);
}

TEST(SearchUnitIndex, ManyTypesSpanSeveralWords) {
    CInformationStorage table(u"\\Software\\Unused");
    for (std::uint16_t id = 1; id <= 200; ++id) {
        CFileType* type = table.AddFileType(-144, id, 1, 0, {}, u"t", u"x", u"x", u"T");
        type->AddSignature16(static_cast<std::uint16_t>(0x4100 + id % 100), 0, 0);
    }
    CSearchUnitIndex index(table);
    std::vector<std::uint8_t> unit(kUnitSize, 0);
    unit[0] = 50;  // ids 50 and 150 (bits in different words) match: 50 comes first
    unit[1] = 0x41;
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 50);
    unit[0] = 99;  // ids 99 and 199
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 99);
}

}  // namespace

namespace {

TEST(SearchUnitIndex, AnchorPrefersAFixedPairThenTheLowestOffset) {
    CFileSignature signature;
    signature.AddCondition(kConditionUint8, "\xEB", 0, 0, 0);
    signature.AddCondition(kConditionBytes, "NTFS", 3, 4, 0);
    signature.AddCondition(kConditionUint16, "\x55\xAA", 510, 0, 0);
    auto anchor = CSearchUnitIndex::AnchorOf(signature);
    ASSERT_TRUE(anchor);
    EXPECT_EQ(anchor->offset, 3);
    EXPECT_EQ(anchor->first, 'N');
    EXPECT_EQ(anchor->second, 'T');

    CFileSignature single;
    single.AddCondition(kConditionUint8, "\x61", 5, 0, 0);
    single.AddCondition(kConditionRange16, "\x01\x00\xFF\x01", 4, 4, 0);
    anchor = CSearchUnitIndex::AnchorOf(single);
    ASSERT_TRUE(anchor);
    EXPECT_EQ(anchor->offset, 5);
    EXPECT_FALSE(anchor->second);

    // A pair must lie inside the unit; a last byte alone does not anchor.
    CFileSignature tail;
    tail.AddCondition(kConditionUint8, "\x01", 511, 0, 0);
    tail.AddCondition(kConditionBytes, "", 0, 0, 0);
    EXPECT_FALSE(CSearchUnitIndex::AnchorOf(tail));
}

}  // namespace
