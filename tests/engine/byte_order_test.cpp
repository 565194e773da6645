#include "engine/byte_order.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>

namespace {

using engine::loadLittleEndian;
using engine::readLittleEndian;
using engine::storeLittleEndian;

constexpr std::array<std::uint8_t, 8> kCounting = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};

TEST(ByteOrder, LoadsLowByteFirstAndKeepsTheSign) {
    EXPECT_EQ(loadLittleEndian<std::uint16_t>(kCounting.data()), 0x0201u);
    EXPECT_EQ(loadLittleEndian<std::uint32_t>(kCounting.data() + 1), 0x05040302u);
    EXPECT_EQ(loadLittleEndian<std::uint64_t>(kCounting.data()), 0x0807060504030201u);
    const std::array<std::uint8_t, 8> minusTwo = {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(loadLittleEndian<std::int8_t>(minusTwo.data()), -2);
    EXPECT_EQ(loadLittleEndian<std::int16_t>(minusTwo.data()), -2);
    EXPECT_EQ(loadLittleEndian<std::int64_t>(minusTwo.data()), -2);
    const std::array<std::uint8_t, 4> mostNegative = {0x00, 0x00, 0x00, 0x80};
    EXPECT_EQ(loadLittleEndian<std::int32_t>(mostNegative.data()), std::numeric_limits<std::int32_t>::min());
}

TEST(ByteOrder, StoreWritesOnlyItsWidthAndLoadsBack) {
    std::array<std::uint8_t, 10> bytes{};
    bytes.fill(0xAA);
    storeLittleEndian(bytes.data() + 1, std::int64_t{-144});
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 10>{0xAA, 0x70, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xAA}));
    storeLittleEndian(bytes.data(), std::uint64_t{0xFEDCBA9876543210});
    EXPECT_EQ(loadLittleEndian<std::uint64_t>(bytes.data()), 0xFEDCBA9876543210u);
    EXPECT_EQ(bytes[0], 0x10);
    storeLittleEndian(bytes.data(), std::numeric_limits<std::int16_t>::min());
    EXPECT_EQ(loadLittleEndian<std::int16_t>(bytes.data()), std::numeric_limits<std::int16_t>::min());
}

TEST(ByteOrder, ReadsOnlyFieldsWhollyInsideTheBuffer) {
    EXPECT_EQ(readLittleEndian<std::uint64_t>(kCounting, 0), 0x0807060504030201u);
    EXPECT_EQ(readLittleEndian<std::uint16_t>(kCounting, 6), 0x0807u);  // ends exactly at the end
    EXPECT_EQ(readLittleEndian<std::int8_t>(kCounting, 7), 0x08);
    EXPECT_FALSE(readLittleEndian<std::uint8_t>(kCounting, 8));
    EXPECT_FALSE(readLittleEndian<std::uint32_t>(kCounting, 100));
    EXPECT_FALSE(readLittleEndian<std::uint16_t>(std::span<const std::uint8_t>{}, 0));
    EXPECT_FALSE(readLittleEndian<std::uint16_t>(kCounting, 7));  // runs over the end
    EXPECT_FALSE(readLittleEndian<std::uint32_t>(kCounting, 5));
    EXPECT_FALSE(readLittleEndian<std::int64_t>(kCounting, 1));
    EXPECT_FALSE(readLittleEndian<std::uint64_t>(std::span(kCounting).first(7), 0));
    // offset + width would wrap to a small number that a naive check would accept.
    for (std::size_t back = 0; back < 8; ++back) {
        EXPECT_FALSE(readLittleEndian<std::uint64_t>(kCounting, std::numeric_limits<std::size_t>::max() - back)) << back;
        EXPECT_FALSE(readLittleEndian<std::uint16_t>(kCounting, std::numeric_limits<std::size_t>::max() - back)) << back;
    }
}

}  // namespace
