#include "platform/shell.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_desktop.h"

namespace kv::platform {
namespace {

TEST(ShellTest, StoredShowCodesMapToShowCommands) {
    struct Case {
        int code;
        ShowMode mode;
        int showCommand;
    };
    const Case cases[] = {
        {1, ShowMode::hidden, 0},  {2, ShowMode::minimizedNoActivate, 7},
        {0, ShowMode::normal, 1},  {3, ShowMode::normal, 1},
        {-1, ShowMode::normal, 1}, {1000, ShowMode::normal, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(showModeFromCode(c.code), c.mode) << c.code;
        EXPECT_EQ(showCommandOf(showModeFromCode(c.code)), c.showCommand) << c.code;
    }
}

TEST(ShellTest, FakeShellRecordsEachOpenAndAnswersAsTold) {
    fake::FakeDesktop desktop;
    Shell& shell = desktop.shell();
    EXPECT_EQ(shell.open("C:\\a b\\x.exe", "", ShowMode::normal, "C:\\a b"), ShellResult::ok);
    desktop.fakeShell().answer(ShellResult::noAssociation);
    EXPECT_EQ(shell.open("iexplore.exe", "https://x", ShowMode::hidden, ""),
              ShellResult::noAssociation);
    const auto calls = desktop.fakeShell().calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].workingFolder, "C:\\a b");
    EXPECT_EQ(calls[1].parameters, "https://x");
    EXPECT_EQ(calls[1].show, ShowMode::hidden);
}

}  // namespace
}  // namespace kv::platform
