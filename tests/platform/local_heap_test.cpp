#include <cstring>

#include <gtest/gtest.h>

#include "platform/handles.h"
#include "platform/local_heap.h"

namespace {

TEST(LocalHeap, ZeroInitClearsTheBlockAndZeroSizesGiveDistinctBlocks) {
    constexpr std::size_t kSize = 4096;
    auto* block = static_cast<unsigned char*>(LocalAlloc(LPTR, kSize));
    ASSERT_NE(block, nullptr);
    for (std::size_t i = 0; i < kSize; ++i) ASSERT_EQ(block[i], 0) << i;
    std::memset(block, 0xAB, kSize);  // the whole block is writable
    EXPECT_EQ(LocalFree(block), nullptr);

    HLOCAL first = LocalAlloc(LMEM_FIXED, 0);
    HLOCAL second = LocalAlloc(LPTR, 0);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(LocalFree(first), nullptr);
    EXPECT_EQ(LocalFree(second), nullptr);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

}  // namespace
