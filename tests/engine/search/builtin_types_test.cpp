#include "engine/search/builtin_types.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/search/information_storage.h"
#include "engine/search/searcher_unit_index.h"
#include "engine/support/test_images.h"

namespace {

using Unit = std::array<std::uint8_t, kUnitSize>;

class BuiltinTable : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        table_ = new CInformationStorage(u"\\Software\\Unused");
        table_->AddBuiltinFileTypes();
        table_->AddFileCategories();
    }
    static void TearDownTestSuite() {
        delete table_;
        table_ = nullptr;
    }

    // The id of the first type that matches, 0 for none.
    static std::uint16_t detect(const Unit& unit) {
        const CFileType* type = table_->MatchUnit(unit);
        return type ? type->signatureId() : 0;
    }
    static Unit unitWith(std::initializer_list<std::pair<std::size_t, std::string>> pieces) {
        Unit unit{};
        for (const auto& [offset, bytes] : pieces) std::memcpy(unit.data() + offset, bytes.data(), bytes.size());
        return unit;
    }

    static CInformationStorage* table_;
};

CInformationStorage* BuiltinTable::table_ = nullptr;

TEST_F(BuiltinTable, HoldsEveryRowWithAUniqueIdAndAKnownCategory) {
    ASSERT_EQ(table_->count(), 94u);
    std::set<std::uint16_t> ids;
    for (const auto& type : table_->types()) {
        EXPECT_TRUE(ids.insert(type->signatureId()).second) << type->signatureId();
        EXPECT_TRUE(type->categoryCode() == -16 || table_->FindCategory(type->categoryCode()))
            << type->signatureId();
    }
}

TEST_F(BuiltinTable, EveryConditionHasTheWidthOfItsKind) {
    for (const BuiltinType& row : builtinFileTypes()) {
        for (const BuiltinSignature& signature : row.signatures) {
            ASSERT_FALSE(signature.empty()) << row.id;
            for (const BuiltinCondition& condition : signature) {
                std::size_t width = condition.kind == kConditionRange16 ? 4 : condition.kind;
                if (condition.kind != kConditionBytes) {
                    EXPECT_EQ(condition.value.size(), width) << row.id;
                }
                EXPECT_GE(condition.offset, 0);
                EXPECT_LE(condition.offset + condition.value.size(), kUnitSize) << row.id;
            }
        }
    }
}

// A unit built to meet one signature is reported as its type, unless an earlier row
// claims it: exactly the shadowing that the table order implies.
TEST_F(BuiltinTable, OnlyKnownSignaturesAreShadowedByEarlierRows) {
    std::set<std::pair<std::uint16_t, std::size_t>> shadowed;
    for (const BuiltinType& row : builtinFileTypes()) {
        for (std::size_t index = 0; index < row.signatures.size(); ++index) {
            Unit unit{};
            for (const BuiltinCondition& condition : row.signatures[index]) {
                std::size_t length = condition.kind == kConditionRange16 ? 2 : condition.value.size();
                std::memcpy(unit.data() + condition.offset, condition.value.data(), length);
            }
            std::uint16_t found = detect(unit);
            ASSERT_NE(found, 0) << "row " << row.id << " signature " << index << " cannot be met";
            if (found != row.id) shadowed.insert({row.id, index});
        }
    }
    const std::set<std::pair<std::uint16_t, std::size_t>> expected = {
        {114, 0}, {114, 1},  // same signatures as TIFF, which comes first
        {344, 0},            // gzip's two bytes come first
        {338, 0},            // starts with the ZIP signature
        {95, 0},             // "II*" with a zero fourth byte is a TIFF header
    };
    EXPECT_EQ(shadowed, expected);
}

TEST_F(BuiltinTable, RecognisesRealHeaders) {
    using namespace std::string_literals;
    const std::tuple<std::size_t, std::string, std::uint16_t> headers[] = {
        {0, "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x01\0"s, 88}, {0, "GIF89a\x10\0\x10\0"s, 85},
        {0, "GIF87a"s, 85}, {0, "BM\x36\x0c\0\0\0\0\0\0\x36\0\0\0"s, 84},
        {0, "\xFF\xD8\xFF\xE0\0\x10JFIF\0"s, 83}, {0, "\xFF\xD8\xFF\xE1\x1c\x45" "Exif\0\0"s, 83},
        {0, "\xFF\xD8\xFF\xDB"s, 0}, {0, "II*\0\x08\0\0\0"s, 87}, {0, "MM\0*\0\0\0\x08"s, 87},
        {0, "PK\x03\x04\x0a\0\0\0"s, 300}, {0, "PK\x03\x04\x14\0\x08\0"s, 300}, {0, "JARCS\0"s, 338},
        {0, "\x1f\x8b\x08\0\0\0\0\0\0\x03"s, 331}, {0, "7z\xBC\xAF\x27\x1C\0\x04"s, 345},
        {0, "7z\xBC\xAF\x27\x1D"s, 0}, {0, "Rar!\x1a\x07\0"s, 310}, {4, "\x1a\x07\0"s, 310},
        {0, "%PDF-1.4\n"s, 47}, {0, "MSCF\0\0\0\0\x10\x27\0\0"s, 336}, {0, "OggS\0\x02\0\0\0\0"s, 202},
        {0, "RIFF\x24\x08\0\0WAVEfmt \x10\0\0\0"s, 200}, {0, "RIFF\x24\x08\0\0" "AVI LIST"s, 130},
        {0, "RIFF\x24\x08\0\0" "CDR9vrsn"s, 94}, {0, "MZ\x90\0\x03\0"s, 400}, {2, "-lz5-"s, 333},
        {0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"s, 10}, {0, "FILE0\0\x03\0"s, 4}, {0, ""s, 0},
        // Videos as encoders and phones write them: the ISO brands, QuickTime, 3GPP2.
        {0, "\0\0\0\x20" "ftypisom\0\0\x02\0isomiso2avc1mp41"s, 141},
        {0, "\0\0\0\x1c" "ftypmp42\0\0\0\0isommp42"s, 141},
        {0, "\0\0\0\x20" "ftypM4V \0\0\x02\0M4V isomiso2avc1"s, 141},
        {0, "\0\0\0\x18" "ftypdash\0\0\0\0iso6mp41"s, 141},
        {0, "\0\0\0\x18" "ftypiso5\0\0\x02\0iso5iso6"s, 141},
        {0, "\0\0\0\x18" "ftypmp42\0\0\0\0mp41mp42"s, 141},  // the older rule
        {0, "\0\0\0\x14" "ftypqt  \0\0\x02\0qt  "s, 170},
        {0, "\0\0\0\x1c" "ftyp3g2a\0\x01\0\0" "3g2aisomiso2"s, 181},
        {0, "\0\0\0\x1c" "ftyp3gp4\0\0\x02\0" "3gp4isomiso2"s, 181},
        // Other boxes of that family are no video.
        {0, "\0\0\0\x18" "ftypheic\0\0\0\0mif1heic"s, 0}, {0, "\0\0\0\x1c" "ftypM4A \0\0\0\0M4A isom"s, 0},
        {0, "\0\0\0\x18" "ftypisox\0\0\0\0isoxisom"s, 0}};
    for (const auto& [offset, bytes, id] : headers) {
        EXPECT_EQ(detect(unitWith({{offset, bytes}})), id) << offset << " " << bytes;
    }
}

// Wherever a video type claims a unit of a committed image, no other type would have:
// the video rows take no hit from the types after them.
TEST_F(BuiltinTable, VideoTypesTakeNoHitOfAnotherTypeOnTheFixtures) {
    const auto isVideo = [](std::uint16_t id) { return id == 141 || id == 170 || id == 181; };
    const CSearchUnitIndex index(*table_);
    std::size_t videoUnits = 0;
    for (const char* name : {"search/fat12-hits", "search/videos", "fat/fat12", "fat/fat16", "fat/fat16-4k",
                             "fat/fat32", "ntfs/ntfs-basic", "ntfs/ntfs-sector4k", "ntfs/ntfs-cluster8k",
                             "disks/bare_fat", "disks/gpt_fat", "disks/lost_logical", "disks/lost_primary",
                             "disks/mbr_fat_ntfs"}) {
        const std::vector<std::uint8_t> image = test_images::gunzip(std::string(name) + ".img.gz");
        ASSERT_FALSE(image.empty()) << name;
        for (std::size_t at = 0; at + kUnitSize <= image.size(); at += kUnitSize) {
            const std::span<const std::uint8_t> unit(image.data() + at, image.size() - at);
            const CFileType* found = index.FirstMatch(unit);
            if (!found || !isVideo(found->signatureId())) continue;
            ++videoUnits;
            for (const auto& type : table_->types()) {
                EXPECT_TRUE(isVideo(type->signatureId()) || !type->Matches(unit))
                    << name << " at " << at << ": " << type->signatureId();
            }
        }
    }
    EXPECT_GE(videoUnits, 5u);  // the videos' own first units at least
}

TEST_F(BuiltinTable, NtfsBootSectorComesBeforeAnyBootSector) {
    using namespace std::string_literals;
    Unit boot = unitWith({{0, "\xEB\x52\x90NTFS    \0\x02\x08"s}, {36, "\x80\0\x80\0"s}, {510, "\x55\xAA"s}});
    EXPECT_EQ(detect(boot), 6);
    std::memcpy(boot.data() + 3, "MSDOS5.0", 8);
    EXPECT_EQ(detect(boot), 1);
    EXPECT_EQ(detect(unitWith({{510, "\x55\xAA"s}})), 1);
}

}  // namespace
