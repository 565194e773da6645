// Search block buffers: zeroed, page-aligned, writable to their last byte, replaceable.

#include "engine/search/block_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace {

TEST(BlockBuffer, ZeroedAlignedAndWholeForAnySize) {
    CBlockBuffer buffer;
    for (std::size_t bytes : {std::size_t{1}, std::size_t{512}, std::size_t{2} << 20, (std::size_t{2} << 20) + 1}) {
        ASSERT_TRUE(buffer.Allocate(bytes)) << bytes;
        ASSERT_EQ(buffer.size(), bytes);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer.data()) % 4096, 0u) << bytes;
        EXPECT_TRUE(std::all_of(buffer.data(), buffer.data() + bytes, [](std::uint8_t b) { return b == 0; }));
        buffer.data()[bytes - 1] = 0xFF;
    }
    ASSERT_TRUE(buffer.Allocate(0));
    EXPECT_EQ(buffer.size(), 0u);
    EXPECT_FALSE(buffer.Allocate(SIZE_MAX));
    EXPECT_EQ(buffer.data(), nullptr);
}

}  // namespace
