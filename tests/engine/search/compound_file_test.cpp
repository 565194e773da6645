// Compound documents: header checks, the size, the directory read and the stream rules.

#include "engine/search/compound_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/byte_order.h"
#include "searcher_test_support.h"

namespace {

using namespace searchtest;

std::vector<std::uint8_t> header(std::uint16_t shift, std::uint32_t fatSectors, std::uint32_t directorySector) {
    std::vector<std::uint8_t> unit(512, 0);
    const std::uint8_t magic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(unit.data(), magic, 8);
    engine::storeLittleEndian(unit.data() + 30, shift);
    engine::storeLittleEndian(unit.data() + 44, fatSectors);
    engine::storeLittleEndian(unit.data() + 48, directorySector);
    return unit;
}

std::vector<std::uint8_t> directoryOf(const std::vector<std::u16string>& names) {
    std::vector<std::uint8_t> directory(compound::kDirectoryBytes, 0);
    std::size_t entry = 0;
    for (const std::u16string& name : names) {
        std::memcpy(directory.data() + 128 * entry++, name.data(), name.size() * 2);
    }
    return directory;
}

TEST(CompoundHeader, NeedsAllMagicBytesAndAUsableSectorShift) {
    const auto valid = header(9, 1, 0);
    auto parsed = compound::ParseHeader(valid);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->sectorSize, 512u);
    EXPECT_EQ(parsed->addressableBytes, 65536u);  // 128 sectors of 512 per FAT sector
    EXPECT_EQ(parsed->directoryOffset, 512u);

    auto wrongMagic = header(9, 1, 0);
    wrongMagic[7] = 0;
    EXPECT_FALSE(compound::ParseHeader(wrongMagic));
    EXPECT_FALSE(compound::ParseHeader(std::span(valid).first(511)));
    for (std::uint16_t shift : {6, 17, 41}) EXPECT_FALSE(compound::ParseHeader(header(shift, 1, 0))) << shift;
    EXPECT_TRUE(compound::ParseHeader(header(7, 1, 0)));

    // The largest figures do not overflow.
    auto huge = compound::ParseHeader(header(16, 0xFFFFFFFF, 0xFFFFFFFF));
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->addressableBytes, std::uint64_t{0xFFFFFFFF} << 30);
    EXPECT_EQ(huge->directoryOffset, std::uint64_t{0x100000000} << 16);
}

TEST(CompoundClassify, FirstKnownStreamInEntryOrderWins) {
    const std::pair<std::vector<std::u16string>, int> cases[] = {
        {{u"Root Entry", u"x", u"WordDocument", u"Workbook"}, 12}, {{u"ROOT ENTRY", u"workbook"}, 11},
        {{u"Root", u"WordDocument"}, 10}, {{u"Root Entry", u"Symbol 12"}, 33}, {{u"Root Entry", u"Symbol"}, 10},
        {{u"Root Entry", u"PowerPoint Document"}, 13}, {{u"Root Entry", u"DocumentViewStyles"}, 27},
        {{u"Root Entry", u"Scene", u"Props"}, 30}, {{u"Root Entry", u"WordDocumentX"}, 10}};
    for (const auto& [names, type] : cases) {
        EXPECT_EQ(compound::ClassifyStorage(directoryOf(names)), type) << std::string(names[1].begin(), names[1].end());
    }
    EXPECT_EQ(compound::ClassifyStorage({}), 10);
}

TEST(CompoundClassify, NamesWithoutTerminatorStopAt32Units) {
    auto directory = directoryOf({u"Root Entry"});
    // 64 bytes of 'W' with no terminator, then more bytes of the entry.
    for (std::size_t i = 0; i < 64; ++i) directory[128 + 2 * i] = 'W';
    EXPECT_EQ(compound::ClassifyStorage(directory), 10);
    // Only the entries that are there count.
    auto cut = directoryOf({u"Root Entry", u"Workbook"});
    EXPECT_EQ(compound::ClassifyStorage(std::span(cut).first(200)), 10);
    EXPECT_EQ(compound::ClassifyStorage(std::span(cut).first(256)), 11);
}

TEST(CompoundExtract, ReadsTheDirectoryAfterTheHeaderAndCapsTheSize) {
    ScopedSearchSettings scoped;
    std::vector<std::uint8_t> image(64 * kSector, 0);
    const std::uint64_t at = 4 * kSector;
    auto unit = header(9, 1, 0);
    std::memcpy(image.data() + at, unit.data(), unit.size());
    auto directory = directoryOf({u"Root Entry", u"WordDocument"});
    std::memcpy(image.data() + at + 512, directory.data(), 512);
    MemoryImageDrive memory(std::move(image));

    FoundFileRecord record{};
    record.DataPosition = at;
    EXPECT_EQ(compound::ExtractDocInfo(memory.drive, record, unit), 12);
    EXPECT_EQ(+record.Size, 60u * kSector);  // 65536 capped at the drive's end

    record.DataPosition = at;
    EXPECT_EQ(compound::ExtractDocInfo(memory.drive, record, header(9, 1, 1000)), 0);  // directory past the end

    auto broken = header(9, 1, 0);
    broken[5] = 0;
    record.Size = kUnknownSize;
    EXPECT_EQ(compound::ExtractDocInfo(memory.drive, record, broken), 10);
    EXPECT_EQ(+record.Size, kUnknownSize);
}

TEST(CompoundExtract, SmallSectorsPlaceTheDirectoryInsideASector) {
    ScopedSearchSettings scoped;
    std::vector<std::uint8_t> image(64 * kSector, 0);
    auto unit = header(7, 2, 2);  // sectors of 128 bytes: directory at 3 x 128
    std::memcpy(image.data(), unit.data(), unit.size());
    auto directory = directoryOf({u"Root Entry", u"VisioDocument"});
    std::memcpy(image.data() + 384, directory.data(), 512);
    MemoryImageDrive memory(std::move(image));
    FoundFileRecord record{};
    EXPECT_EQ(compound::ExtractDocInfo(memory.drive, record, unit), 15);
    EXPECT_EQ(+record.Size, 32u * 2 * 128);
}

}  // namespace
