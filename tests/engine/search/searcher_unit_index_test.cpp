// The unit index must name the same type as a walk of the whole table, first match wins.

#include "engine/search/searcher_unit_index.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "searcher_test_support.h"

namespace {

using searchtest::builtinTypes;

std::uint16_t idOf(const CFileType* type) { return type ? type->signatureId() : 0; }

// `unit` with the first signature of `type` written on top.
std::vector<std::uint8_t> unitFor(const CFileType& type, std::vector<std::uint8_t> unit) {
    searchtest::signUnit(type, unit);
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
        // Give many random units a common first header byte too.
        if (round % 4 == 0) unit[0] = static_cast<std::uint8_t>("\x50\x52\x1F\xFF\x49\x4D\x00\x37"[round % 8]);
        ASSERT_EQ(idOf(index.FirstMatch(unit)), idOf(table.MatchUnit(unit))) << round;
    }
    // Signed units also pin table order where rows share bytes (ZIP before JAR, TIFF before NEF).
    for (const auto& type : table.types()) {
        if (type->signatures().empty()) continue;
        for (std::uint8_t fill : {0x00, 0xFF}) {
            const std::vector<std::uint8_t> signed_ = unitFor(*type, std::vector<std::uint8_t>(kUnitSize, fill));
            EXPECT_EQ(idOf(index.FirstMatch(signed_)), idOf(table.MatchUnit(signed_))) << type->signatureId();
        }
    }
    std::vector<std::uint8_t> boot(kUnitSize, 0);
    boot[510] = 0x55;
    boot[511] = 0xAA;
    EXPECT_EQ(idOf(index.FirstMatch(boot)), 1);
    EXPECT_EQ(index.FirstMatch(std::span<const std::uint8_t>(boot).first(511)), nullptr);
}

TEST(SearchUnitIndex, TypesThatFixNoByteAreTriedOnEveryUnitInTheirPlace) {
    CInformationStorage table(u"\\Software\\Unused");
    CFileType* last = table.AddFileType(-144, 899, 1, 0, {}, u"last", u"x", u"x", u"LST");
    last->AddSignature8(0x01, 511, 0)->AddCondition(kConditionBytes, "", 0, 0, 0);  // no pair fits
    const std::uint8_t range[4] = {0x00, 0x10, 0xFF, 0x10};  // uint16 0x1000..0x10FF at 2
    table.AddFileType(-144, 900, 1, 0, {}, u"ranged", u"x", u"x", u"RNG")
        ->AddSignature(kConditionRange16, range, 2, 4, 0);
    table.AddFileType(-144, 901, 1, 0, {}, u"pdf", u"x", u"x", u"PDF")->AddSignature(kConditionBytes, "%PDF", 0, 4, 0);
    table.AddFileType(-144, 902, 1, 0, {}, u"any", u"x", u"x", u"ANY")->AddSignature(64, nullptr, 0, 0, 0);
    table.AddFileType(-144, 903, 1, 0, {}, u"none", u"x", u"x", u"NON");
    CSearchUnitIndex index(table);

    std::vector<std::uint8_t> unit(kUnitSize, 0);
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 902);
    std::memcpy(unit.data(), "%PDF", 4);
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 901);
    unit[3] = 0x10;  // "%P" then 0x44 0x10: uint16 0x1044 at 2
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 900);
    unit[511] = 0x01;
    EXPECT_EQ(idOf(index.FirstMatch(unit)), 899);
}

TEST(SearchUnitIndex, ManyTypesSpanSeveralWords) {
    CInformationStorage table(u"\\Software\\Unused");
    for (std::uint16_t id = 1; id <= 200; ++id) {
        table.AddFileType(-144, id, 1, 0, {}, u"t", u"x", u"x", u"T")
            ->AddSignature16(static_cast<std::uint16_t>(0x4100 + id % 100), 0, 0);
    }
    CSearchUnitIndex index(table);
    std::vector<std::uint8_t> unit(kUnitSize, 0);
    unit[1] = 0x41;
    for (std::uint8_t first : {50, 99}) {  // ids `first` and `first + 100` (another word) match
        unit[0] = first;
        EXPECT_EQ(idOf(index.FirstMatch(unit)), first);
    }
}

}  // namespace
