#include <sys/mman.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>

#include <gtest/gtest.h>

#include "engine/disk/bit_array.h"

namespace {

constexpr std::uint64_t kMaxIndex = std::numeric_limits<std::uint64_t>::max();

TEST(BitArray, BitsAreLeastSignificantFirstInWholeBytes) {
    CBitArray bits;
    ASSERT_TRUE(bits.Init(10, false));
    EXPECT_EQ(bits.sizeInBytes(), 2u);
    EXPECT_EQ(bits.sizeInBits(), 16u);
    bits.SetBit(1, true);
    bits.SetBit(7, true);
    bits.SetBit(9, true);
    EXPECT_EQ(bits.GetData()[0], 0x82);
    EXPECT_EQ(bits.GetData()[1], 0x02);
    EXPECT_TRUE(bits.GetBit(9));
    EXPECT_EQ(bits.ToString(), u"0100000101000000");
    bits.SetBit(9, false);
    EXPECT_EQ(bits.GetData()[1], 0x00);

    // Padding bits count too.
    CBitArray padded(10, true);
    EXPECT_EQ(padded.GetData()[1], 0xFF);
    std::uint64_t clear = 0, set = 0;
    ASSERT_TRUE(padded.CountBits(clear, set));
    EXPECT_EQ(set, 16u);
    EXPECT_EQ(clear, 0u);
    std::uint8_t byte = 0x0F;
    ASSERT_TRUE(bits.Attach(&byte, 8));
    ASSERT_TRUE(bits.CountBits(clear, set));
    EXPECT_EQ(clear, 4u);
    EXPECT_EQ(set, 4u);
}

TEST(BitArray, EmptyArrayReadsClearAndIgnoresWrites) {
    CBitArray bits;
    EXPECT_FALSE(bits.Init(0, true));
    EXPECT_EQ(bits.sizeInBytes(), 0u);
    EXPECT_EQ(bits.GetData(), nullptr);
    EXPECT_FALSE(bits.GetBit(0));
    bits.SetBit(0, true);
    EXPECT_EQ(bits.FindNext(0, false), CBitArray::kNotFound);
    std::uint64_t clear = 7, set = 7;
    EXPECT_FALSE(bits.CountBits(clear, set));
    EXPECT_TRUE(bits.ToString().empty());
}

TEST(BitArray, IndexesPastTheBufferAreIgnored) {
    CBitArray bits(16, false);
    bits.SetBit(16, true);
    bits.SetBit(kMaxIndex, true);
    EXPECT_FALSE(bits.GetBit(16));
    EXPECT_FALSE(bits.GetBit(kMaxIndex));
    EXPECT_EQ(bits.GetData()[1], 0x00);
}

TEST(BitArray, FindNextLooksFromStartToTheEnd) {
    CBitArray bits(16, false);
    bits.SetBit(9, true);
    EXPECT_EQ(bits.FindNext(3, true), 9);
    EXPECT_EQ(bits.FindNext(9, true), 9);
    EXPECT_EQ(bits.FindNext(10, true), CBitArray::kNotFound);
    EXPECT_EQ(bits.FindNext(17, false), CBitArray::kNotFound);
    EXPECT_EQ(bits.FindNext(16, false), CBitArray::kNotFound);

    bits.Fill(true);
    bits.SetBit(14, false);
    EXPECT_EQ(bits.FindNext(0, false), 14);
}

TEST(BitArray, IndexesBeyond32BitsWork) {
    // 2^33 clusters: a 4 TiB volume with 512-byte clusters. Only the pages written are touched.
    constexpr std::uint64_t kBits = std::uint64_t{1} << 33;
    void* pages = ::mmap(nullptr, kBits / 8, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(pages, MAP_FAILED);
    std::unique_ptr<void, std::function<void(void*)>> unmap(pages, [](void* p) { ::munmap(p, kBits / 8); });
    CBitArray bits;
    ASSERT_TRUE(bits.Attach(static_cast<std::uint8_t*>(pages), kBits));
    const std::uint64_t high = kBits - 3;
    bits.SetBit(high, true);
    EXPECT_TRUE(bits.GetBit(high));
    EXPECT_FALSE(bits.GetBit(high & 0xFFFFFFFFu));
    EXPECT_EQ(bits.FindNext(high - 100, true), static_cast<std::int64_t>(high));
}

TEST(BitArray, SizesAndBuffersItCannotUseAreRefused) {
    CBitArray bits(16, true);
    EXPECT_FALSE(bits.Init(kMaxIndex, false));
    EXPECT_EQ(bits.GetData(), nullptr);
    EXPECT_EQ(bits.sizeInBits(), 0u);
    EXPECT_FALSE(bits.Init((CBitArray::kMaxBytes + 1) * 8, false));
    EXPECT_EQ(bits.GetData(), nullptr);

    std::uint8_t buffer[2] = {0xAA, 0x55};
    ASSERT_TRUE(bits.Init(8, true));
    EXPECT_FALSE(bits.Attach(buffer, 12));
    EXPECT_EQ(bits.GetData(), nullptr);
    EXPECT_FALSE(bits.Attach(nullptr, 16));
    EXPECT_FALSE(bits.Attach(buffer, 0));
    ASSERT_TRUE(bits.Attach(buffer, 16));
    EXPECT_EQ(buffer[0], 0xAA);  // attached, not filled
    bits.SetBit(0, true);
    EXPECT_EQ(buffer[0], 0xAB);
}

TEST(BitArray, GivenBufferIsFilledButNotOwned) {
    std::uint8_t buffer[3] = {1, 2, 3};
    {
        CBitArray bits(buffer, 17, false);
        EXPECT_EQ(bits.sizeInBytes(), 3u);
        EXPECT_EQ(bits.GetData(), buffer);
    }  // must not free a stack buffer
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[2], 0);
}

TEST(BitArray, BitIndexOfOneSetBitAndOfZero) {
    EXPECT_EQ(CBitArray::BitIndex(0x01), 0);
    EXPECT_EQ(CBitArray::BitIndex(0x10), 4);
    EXPECT_EQ(CBitArray::BitIndex(0x80), 7);
    EXPECT_EQ(CBitArray::BitIndex(0x00), -1);
}

}  // namespace
