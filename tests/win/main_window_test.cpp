// The real main window, created by the program's own code on the Win32
// desktop, inspected through the system's own functions.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_desktop.h"
#include "steps/step_list.h"
#include "support/pump.h"

namespace kv {
namespace {

using mainwin::MainRole;
using test::childRect;
using test::classNameOf;
using test::windowTextOf;

class MainWindowTest : public ::testing::Test {
protected:
    platform::win32::Win32Desktop desktop;
    app::Klikvane program{desktop};
    platform::Window* window = nullptr;
    HWND hwnd = nullptr;

    void SetUp() override {
        test::removeStoreBesideExecutable();
        window = program.openMainWindow();
        ASSERT_NE(window, nullptr);
        hwnd = reinterpret_cast<HWND>(window->handle());
    }
    void TearDown() override {
        window->close();
        test::forgetQuitRequest();
        test::removeStoreBesideExecutable();
    }
    HWND control(MainRole role) const {
        return reinterpret_cast<HWND>(window->controlHandle(role));
    }
};

TEST_F(MainWindowTest, CaptionOuterSizeCentringAndFrame) {
    EXPECT_EQ(windowTextOf(hwnd), L"鼠标自动点击");
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, 492);
    EXPECT_EQ(r.bottom - r.top, 340);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 492) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 340) / 2);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_FALSE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

struct ExpectedControl {
    MainRole role;
    const wchar_t* className;
    RECT rect;  // left, top, right, bottom in client coordinates
    const wchar_t* text;
};

TEST_F(MainWindowTest, EveryControlAtItsPlaceWithItsCaption) {
    const ExpectedControl expected[] = {
        {MainRole::stepList, L"SysListView32", {0, 0, 488, 232}, L""},
        {MainRole::startButton, L"Button", {116, 240, 212, 272}, L"开始执行（F5）"},
        {MainRole::quickAddButton, L"Button", {224, 240, 320, 272}, L"快速添加（F6）"},
        {MainRole::advancedButton, L"Button", {332, 240, 428, 272}, L"高级设置"},
        {MainRole::runOnceRadio, L"Button", {13, 238, 101, 253}, L"仅执行一次"},
        {MainRole::loopRadio, L"Button", {13, 258, 101, 273}, L"循环执行"},
        {MainRole::countdownLabel, L"Static", {16, 279, 296, 295}, L""},
        {MainRole::linkLabel, L"Static", {304, 279, 484, 295}, nullptr},
    };
    for (const ExpectedControl& e : expected) {
        SCOPED_TRACE(static_cast<int>(e.role));
        HWND child = control(e.role);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(GetParent(child), hwnd);
        EXPECT_EQ(classNameOf(child), e.className);
        const RECT r = childRect(child);
        EXPECT_EQ(r.left, e.rect.left);
        EXPECT_EQ(r.top, e.rect.top);
        EXPECT_EQ(r.right, e.rect.right);
        EXPECT_EQ(r.bottom, e.rect.bottom);
        if (e.text != nullptr) {
            EXPECT_EQ(windowTextOf(child), e.text);
        }
        EXPECT_TRUE(IsWindowVisible(child));
    }
    EXPECT_EQ(SendMessageW(control(MainRole::startButton), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(GetWindowLongW(control(MainRole::runOnceRadio), GWL_STYLE) & WS_GROUP);
    EXPECT_FALSE(GetWindowLongW(control(MainRole::loopRadio), GWL_STYLE) & WS_GROUP);
}

TEST_F(MainWindowTest, StepListColumnsAndStyles) {
    HWND list = control(MainRole::stepList);
    const std::array<std::pair<const wchar_t*, int>, 7> columns = {{
        {L"X（水平坐标）", 90},
        {L"Y（垂直坐标）", 90},
        {L"鼠标键", 50},
        {L"控制", 45},
        {L"间隔时间", 60},
        {L"点击次数", 60},
        {L"加入文字", 80},
    }};
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 7);
    for (int i = 0; i < 7; ++i) {
        wchar_t title[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = title;
        column.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(title, columns[i].first);
        EXPECT_EQ(column.cx, columns[i].second);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    const LONG style = GetWindowLongW(list, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_TRUE(style & LVS_EDITLABELS);
    EXPECT_FALSE(style & LVS_SHOWSELALWAYS);
    EXPECT_FALSE(style & LVS_NOCOLUMNHEADER);
    EXPECT_FALSE(style & (LVS_SORTASCENDING | LVS_SORTDESCENDING));
    EXPECT_TRUE(IsWindowVisible(header));
    const auto extended = SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
}

TEST_F(MainWindowTest, RefreshTickForcesRunOnceWithFewerThanTwoRows) {
    EXPECT_EQ(window->timerPeriod(MainRole::uiRefreshTimer), 100);
    EXPECT_EQ(window->timerPeriod(MainRole::scheduleTimer), 500);
    EXPECT_EQ(window->timerPeriod(MainRole::repeatTimer), 0);
    EXPECT_EQ(window->timerPeriod(MainRole::quickAddTimer), 0);
    ASSERT_TRUE(test::pumpUntil([&] { return window->isChecked(MainRole::runOnceRadio); }, 3000));
    EXPECT_FALSE(IsWindowEnabled(control(MainRole::runOnceRadio)));
    EXPECT_FALSE(IsWindowEnabled(control(MainRole::loopRadio)));
    EXPECT_FALSE(window->isMenuItemEnabled(MainRole::menuEdit));
    EXPECT_TRUE(window->isMenuItemEnabled(MainRole::menuAdd));

    steps::StepList steps(window->list(MainRole::stepList));
    steps.appendStep({"1", "2", "左键", "单击", "1000", "1", ""});
    steps.appendStep({"3", "4", "左键", "单击", "1000", "1", ""});
    ASSERT_TRUE(
        test::pumpUntil([&] { return IsWindowEnabled(control(MainRole::loopRadio)); }, 3000));
    EXPECT_EQ(program.shared().stepCount.load(), 2);
    EXPECT_TRUE(window->isMenuItemEnabled(MainRole::menuDeleteAll));
    // Checking loop clears run-once: the two form one group.
    window->setChecked(MainRole::loopRadio, true);
    EXPECT_FALSE(window->isChecked(MainRole::runOnceRadio));
}

TEST_F(MainWindowTest, TimerPeriodIsAPropertyOnTheRealWindow) {
    window->setTimerPeriod(MainRole::quickAddTimer, 50);
    EXPECT_EQ(window->timerPeriod(MainRole::quickAddTimer), 50);
    window->setTimerPeriod(MainRole::quickAddTimer, 0);
    EXPECT_EQ(window->timerPeriod(MainRole::quickAddTimer), 0);
    window->setTimerPeriod(MainRole::quickAddTimer, -3);
    EXPECT_EQ(window->timerPeriod(MainRole::quickAddTimer), 0);
}

TEST_F(MainWindowTest, ProgramDirectoryIsTheExecutablesDirectory) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring expected(path);
    expected.resize(expected.find_last_of(L'\\'));
    EXPECT_EQ(platform::win32::toWide(desktop.programDirectory()), expected);
}

}  // namespace
}  // namespace kv
