#include "platform/shared_memory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {

std::string testName(const char* what) {
    return "/undelete-test-" + std::to_string(::getpid()) + "-" + what;
}

TEST(SharedMemory, ReaderSeesTheBlockAfterTheCreatorUnmapped) {
    auto block = platform::SharedMemoryBlock::create(testName("a"), 1024);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->data()[1023], std::byte{0});
    std::memcpy(block->data(), "hello", 5);
    block->unmap();
    EXPECT_EQ(block->data(), nullptr);

    auto view = platform::SharedMemoryView::open(block->name());
    ASSERT_TRUE(view);
    EXPECT_EQ(view->size(), 1024u);
    EXPECT_EQ(std::memcmp(view->data(), "hello", 5), 0);
}

TEST(SharedMemory, NameIsUnlinkedWithItsBlockButOpenViewsKeepTheMemory) {
    const std::string name = testName("b");
    std::optional<platform::SharedMemoryView> view;
    {
        auto block = platform::SharedMemoryBlock::create(name, 512);
        ASSERT_TRUE(block);
        block->data()[0] = std::byte{42};
        EXPECT_FALSE(platform::SharedMemoryBlock::create(name, 512));  // taken
        view = platform::SharedMemoryView::open(name);
        auto moved = std::move(*block);  // the moved-from block owns nothing
    }
    EXPECT_FALSE(platform::SharedMemoryView::open(name));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->data()[0], std::byte{42});
    EXPECT_FALSE(platform::SharedMemoryBlock::create(testName("c"), 0));
}

}  // namespace
