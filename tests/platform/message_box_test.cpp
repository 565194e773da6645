#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MessageBox, HookSeesTextCaptionAndStyleUntilRemoved) {
    std::string seen;
    auto previous = platform::setMessageBoxHook(
        [&](HWND owner, std::string_view text, std::string_view caption, UINT type) {
            seen = std::string(caption) + "|" + std::string(text) + "|" + std::to_string(type) +
                   "|" + std::to_string(owner);
            return 7;
        });
    EXPECT_FALSE(previous);
    EXPECT_EQ(MessageBoxA(0, "Can't create viewer process!", "Viewer error", MB_ICONERROR), 7);
    EXPECT_EQ(seen, "Viewer error|Can't create viewer process!|16|0");
    EXPECT_TRUE(platform::setMessageBoxHook({}));

    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(0, "text", nullptr, MB_OK), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ": text\n");
}

}  // namespace
