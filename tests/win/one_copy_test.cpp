// One copy of the shipped program per folder, as separate processes: a
// second start from the same folder brings the first copy forward and ends;
// a copy in another folder runs beside it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/text_encoding.h"
#include "steps/store_format.h"
#include "support/program_process.h"
#include "support/remote_list_view.h"
#include "support/store_file.h"

namespace kv {
namespace {

using platform::win32::toWide;
using steps::StepRecord;
namespace store = steps::store;

constexpr wchar_t kMainCaption[] = L"鼠标自动点击";
constexpr DWORD kSecondCopyMs = 10000;

BOOL CALLBACK countMainWindows(HWND window, LPARAM count) {
    if (IsWindowVisible(window) && test::windowTextOf(window) == kMainCaption) {
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

int visibleMainWindows() {
    int count = 0;
    EnumWindows(countMainWindows, reinterpret_cast<LPARAM>(&count));
    return count;
}

void closeAndWait(test::ProgramProcess& program, HWND main) {
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program.waitForExit(10000), 0);
}

TEST(OneCopy, ASecondStartInTheSameFolderBringsTheFirstBackAndEndsWithoutTouchingTheList) {
    test::ProgramProcess program;
    const std::vector<StepRecord> rows = {{"10", "20", "左键", "单击", "1000", "1", "原来"}};
    const std::wstring store = test::storeFileIn(program.directory());
    ASSERT_TRUE(test::writeStoreFile(store, rows));
    ASSERT_TRUE(program.start());
    HWND main = program.waitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr);

    // Edited in the first copy and not yet saved.
    test::RemoteListView list(test::listViewIn(main));
    ASSERT_TRUE(list.usable());
    ASSERT_TRUE(list.setCell(0, 6, L"改过的文字"));

    // Minimised, and then also hidden as it is in the notification area.
    for (const bool hidden : {false, true}) {
        ShowWindow(main, SW_MINIMIZE);
        if (hidden) {
            ShowWindow(main, SW_HIDE);
        }
        test::pumpUntil([&] { return IsIconic(main) != FALSE; }, 2000);
        EXPECT_EQ(program.runAnotherCopy(kSecondCopyMs), 0) << "hidden " << hidden;
        test::pumpUntil([&] { return IsIconic(main) == FALSE && IsWindowVisible(main); }, 2000);
        EXPECT_FALSE(IsIconic(main)) << "hidden " << hidden;
        EXPECT_TRUE(IsWindowVisible(main)) << "hidden " << hidden;
        EXPECT_EQ(visibleMainWindows(), 1) << "hidden " << hidden;
    }
    // The second copy wrote nothing: the store still holds the old row.
    const std::string before = test::fileBytes(store);
    closeAndWait(program, main);

    const store::Opened opened = store::openStore(before);
    ASSERT_EQ(opened.problem, store::Problem::none);
    EXPECT_EQ(store::readRecord(before, opened.layout, 0), rows[0]);
    const std::string after = test::fileBytes(store);
    const store::Opened saved = store::openStore(after);
    ASSERT_EQ(saved.problem, store::Problem::none);
    ASSERT_EQ(saved.layout.recordCount, 1);
    EXPECT_EQ(store::readRecord(after, saved.layout, 0)[6], "改过的文字");
}

TEST(OneCopy, CopiesInTwoFoldersBothRun) {
    test::ProgramProcess first;
    test::ProgramProcess second;
    ASSERT_TRUE(first.start());
    HWND firstMain = first.waitForWindow(kMainCaption);
    ASSERT_NE(firstMain, nullptr);
    ASSERT_TRUE(second.start());
    HWND secondMain = second.waitForWindow(kMainCaption);
    ASSERT_NE(secondMain, nullptr);
    EXPECT_EQ(visibleMainWindows(), 2);
    closeAndWait(second, secondMain);
    closeAndWait(first, firstMain);
    EXPECT_FALSE(test::fileBytes(test::storeFileIn(first.directory())).empty());
    EXPECT_FALSE(test::fileBytes(test::storeFileIn(second.directory())).empty());
}

TEST(OneCopy, AFolderIsFreeAgainOnceItsCopyHasEnded) {
    test::ProgramProcess program;
    ASSERT_TRUE(program.start());
    HWND main = program.waitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr);
    closeAndWait(program, main);
    ASSERT_TRUE(program.start());
    main = program.waitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr);
    closeAndWait(program, main);
}

}  // namespace
}  // namespace kv
