#include "wizard/utilities/execute_program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/message_box.h"

namespace {

struct ShownMessage {
    std::string text;
    std::string caption;
    UINT type;
};

// Answers every open with `accept` and records opens and message boxes.
class ExecuteProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousShell_ = SetShellOpenHook([this](const QUrl& url) {
            opened_.push_back(url);
            return accept_;
        });
        previousBox_ = platform::setMessageBoxHook(
            [this](HWND, std::string_view text, std::string_view caption, UINT type) {
                shown_.push_back({std::string(text), std::string(caption), type});
                return IDOK;
            });
    }
    void TearDown() override {
        SetShellOpenHook(previousShell_);
        platform::setMessageBoxHook(previousBox_);
    }

    bool accept_ = true;
    std::vector<QUrl> opened_;
    std::vector<ShownMessage> shown_;

private:
    ShellOpenHook previousShell_;
    platform::MessageBoxHook previousBox_;
};

TEST_F(ExecuteProgramTest, ExplorerOpensTheFolder) {
    EXPECT_TRUE(ExecuteProgram(QStringLiteral("explorer.exe"), QStringLiteral("/srv/Recovered Files/")));
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], QUrl::fromLocalFile(QStringLiteral("/srv/Recovered Files/")));
    EXPECT_TRUE(shown_.empty());
}

TEST_F(ExecuteProgramTest, AddressesOpenAsTheyAre) {
    EXPECT_TRUE(ExecuteProgram(QStringLiteral("https://example.org/support"), QString()));
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], QUrl(QStringLiteral("https://example.org/support")));
}

TEST_F(ExecuteProgramTest, FailureIsReportedNamingTheProgram) {
    accept_ = false;
    EXPECT_FALSE(ExecuteProgram(QStringLiteral("EXPLORER.EXE"), QStringLiteral("/srv/out")));
    EXPECT_EQ(opened_.size(), 1u);
    accept_ = true;
    EXPECT_FALSE(ExecuteProgram(QStringLiteral("explorer.exe"), QString()));
    EXPECT_EQ(opened_.size(), 1u);  // nothing to open
    ASSERT_EQ(shown_.size(), 2u);
    EXPECT_EQ(shown_[0].text, "Unable to execute external program EXPLORER.EXE.");
    EXPECT_EQ(shown_[0].caption, "Error");
    EXPECT_EQ(shown_[0].type & MB_ICONERROR, MB_ICONERROR);
}

}  // namespace
