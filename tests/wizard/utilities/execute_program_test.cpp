#include "wizard/utilities/execute_program.h"

#include <gtest/gtest.h>

#include "wizard/support/wizard_test.h"

namespace {

using Kind = ShellRequest::Kind;
using ExecuteProgramTest = WizardTest;

TEST_F(ExecuteProgramTest, ExplorerOpensTheFolderAndAddressesOpenAsTheyAre) {
    EXPECT_TRUE(ExecuteProgram(QStringLiteral("explorer.exe"),
                               QStringLiteral("/srv/Recovered Files/")));
    EXPECT_TRUE(ExecuteProgram(QStringLiteral("https://example.org/support"), QString()));
    EXPECT_EQ(shell.requests,
              (std::vector<ShellRequest>{
                  {Kind::Folder, QStringLiteral("/srv/Recovered Files/")},
                  {Kind::Address, QStringLiteral("https://example.org/support")}}));
}

TEST_F(ExecuteProgramTest, FailureIsReportedNamingTheProgram) {
    shell.accepts = false;
    prompts.expect(QStringLiteral("Unable to execute external program xdg-open."), kPromptOk);
    EXPECT_FALSE(ExecuteProgram(QStringLiteral("EXPLORER.EXE"), QStringLiteral("/srv/out")));
    shell.accepts = true;
    prompts.expect(QStringLiteral("Unable to execute external program xdg-open."), kPromptOk);
    EXPECT_FALSE(ExecuteProgram(QStringLiteral("explorer.exe"), QString()));
    shell.accepts = false;
    prompts.expect(QStringLiteral("Unable to execute external program https://example.org/."), kPromptOk);
    EXPECT_FALSE(ExecuteProgram(QStringLiteral("https://example.org/"), QString()));
    EXPECT_EQ(shell.requests.size(), 2u);  // nothing to open the second time
    ASSERT_EQ(prompts.shown().size(), 3u);
    EXPECT_EQ(prompts.shown()[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Error);
}

}  // namespace
