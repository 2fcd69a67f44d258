// The shipped program as a user starts and ends it.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/program_process.h"

namespace kv {
namespace {

TEST(ProgramStart, EscClosesTheMainWindowAndTheProcessEnds) {
    test::ProgramProcess program;
    ASSERT_TRUE(program.start());
    HWND main = program.waitForWindow(L"鼠标自动点击");
    ASSERT_NE(main, nullptr);
    RECT r{};
    GetWindowRect(main, &r);
    EXPECT_EQ(r.right - r.left, 492);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 492) / 2);

    SetForegroundWindow(main);
    test::pumpUntil([&] { return GetForegroundWindow() == main; }, 2000);
    test::pressKey(VK_ESCAPE);
    EXPECT_EQ(program.waitForExit(10000), 0);

    // The first start in a directory leaves an empty store beside the program.
    WIN32_FILE_ATTRIBUTE_DATA store{};
    ASSERT_TRUE(GetFileAttributesExW((program.directory() + L"\\数据库.edb").c_str(),
                                     GetFileExInfoStandard, &store));
    EXPECT_EQ(store.nFileSizeLow, 620u);
}

TEST(ProgramStart, ClosingWithTheCloseCommandEndsTheProcess) {
    test::ProgramProcess program;
    ASSERT_TRUE(program.start());
    HWND main = program.waitForWindow(L"鼠标自动点击");
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program.waitForExit(10000), 0);
}

}  // namespace
}  // namespace kv
