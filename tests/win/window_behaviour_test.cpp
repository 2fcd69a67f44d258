// The shared window behaviours of the Win32 backend on small windows of the
// test's own: modal and non-modal opening, reopening, frames, Esc, message
// boxes, in-place editing of a list's first column.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/win32/win32_desktop.h"
#include "steps/step_list.h"
#include "support/mouse_input.h"
#include "support/program_process.h"
#include "support/pump.h"

namespace kv::platform::win32 {
namespace {

enum class R { list, button, closeTimer };

constexpr std::array kColumns = {ColumnSpec{"甲", 60}, ColumnSpec{"乙", 60}};
constexpr std::array kControls = {
    ControlSpec{ControlKind::reportList,
                R::list,
                {0, 0, 200, 100},
                "",
                style::editFirstColumn | style::singleSelection,
                kColumns},
    ControlSpec{ControlKind::pushButton, R::button, {10, 110, 80, 24}, "按钮"},
};
constexpr std::array kTimers = {TimerSpec{R::closeTimer, 0}};
constexpr WindowSpec kMainSpec{.caption = "主窗口",
                               .outerWidth = 320,
                               .outerHeight = 200,
                               .minimizeBox = true,
                               .controls = kControls,
                               .timers = kTimers};
constexpr WindowSpec kDialogSpec{
    .caption = "对话框", .outerWidth = 200, .outerHeight = 120, .timers = kTimers};
constexpr WindowSpec kBorderlessSpec{
    .caption = "无边框", .outerWidth = 150, .outerHeight = 100, .frame = Frame::none};

struct Press {
    Role control;
    MouseButton button;
    Point point;
    bool buttonSawItFirst;  // the control had not handled the press yet
};

struct Counting : WindowHandlers {
    int created = 0;
    int destroyed = 0;
    int clicks = 0;
    std::vector<Press> presses;
    void onMousePress(Window&, Role control, MouseButton button, Point point) override {
        presses.push_back({control, button, point, clicks == 0});
    }
    void onCreated(Window&) override { ++created; }
    void onDestroy(Window&) override { ++destroyed; }
    void onClicked(Window&, Role) override { ++clicks; }
    // The dialog closes itself on its timer, so a modal open can return.
    void onTimer(Window& window, Role) override { window.close(); }
};

class WindowBehaviourTest : public ::testing::Test {
protected:
    Win32Desktop desktop;
    Counting mainHandlers;
    Window* main = nullptr;
    HWND mainHwnd = nullptr;

    void SetUp() override {
        main = desktop.openWindow(kMainSpec, mainHandlers, Modality::modeless);
        ASSERT_NE(main, nullptr);
        mainHwnd = reinterpret_cast<HWND>(main->handle());
    }
    void TearDown() override {
        main->close();
        test::forgetQuitRequest();
    }
};

TEST_F(WindowBehaviourTest, ModalOpeningReturnsAfterCloseAndDisablesTheOthersMeanwhile) {
    Counting dialogHandlers;
    std::atomic<bool> mainDisabledDuringDialog{false};
    struct Probe : Counting {
        HWND main;
        std::atomic<bool>* seen;
        void onCreated(Window& window) override {
            ++created;
            *seen = !IsWindowEnabled(main);
            window.setTimerPeriod(R::closeTimer, 200);
        }
    } probe;
    probe.main = mainHwnd;
    probe.seen = &mainDisabledDuringDialog;
    const DWORD start = GetTickCount();
    EXPECT_EQ(desktop.openWindow(kDialogSpec, probe, Modality::modal), nullptr);
    EXPECT_GE(GetTickCount() - start, 150u);
    EXPECT_TRUE(mainDisabledDuringDialog);
    EXPECT_EQ(probe.destroyed, 1);
    EXPECT_TRUE(IsWindowEnabled(mainHwnd));
    EXPECT_TRUE(IsWindow(mainHwnd));  // the main window lives on; no quit was asked
}

TEST_F(WindowBehaviourTest, OpeningAnOpenWindowOnlyRestoresAndActivatesIt) {
    main->minimize();
    ASSERT_TRUE(test::pumpUntil([&] { return IsIconic(mainHwnd) != FALSE; }));
    EXPECT_EQ(desktop.openWindow(kMainSpec, mainHandlers, Modality::modeless), main);
    EXPECT_TRUE(test::pumpUntil([&] { return !IsIconic(mainHwnd); }));
    EXPECT_EQ(mainHandlers.created, 1);
}

TEST_F(WindowBehaviourTest, FramesAndBoxes) {
    EXPECT_TRUE(GetWindowLongW(mainHwnd, GWL_STYLE) & WS_MINIMIZEBOX);
    Counting handlers;
    Window* borderless = desktop.openWindow(kBorderlessSpec, handlers, Modality::modeless);
    HWND hwnd = reinterpret_cast<HWND>(borderless->handle());
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 150) / 2);
    EXPECT_EQ(r.bottom - r.top, 100);
    borderless->close();
    EXPECT_EQ(handlers.destroyed, 1);
}

TEST_F(WindowBehaviourTest, EscClosesTheWindowThatHasTheFocus) {
    Counting handlers;
    Window* second = desktop.openWindow(kDialogSpec, handlers, Modality::modeless);
    HWND hwnd = reinterpret_cast<HWND>(second->handle());
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    test::pumpFor(100);
    test::pressKey(VK_ESCAPE);
    EXPECT_TRUE(test::pumpUntil([&] { return !IsWindow(hwnd); }));
    EXPECT_EQ(handlers.destroyed, 1);
    EXPECT_TRUE(IsWindow(mainHwnd));
}

TEST_F(WindowBehaviourTest, ButtonClickReachesItsHandler) {
    SendMessageW(reinterpret_cast<HWND>(main->controlHandle(R::button)), BM_CLICK, 0, 0);
    EXPECT_EQ(mainHandlers.clicks, 1);
}

// Real mouse input: the press handler runs before the control acts, with
// the point in the pressed control's client coordinates (the window's for
// its background).
TEST_F(WindowBehaviourTest, MousePressesReachTheHandlerBeforeTheControl) {
    HWND button = reinterpret_cast<HWND>(main->controlHandle(R::button));
    SetForegroundWindow(mainHwnd);
    test::pumpFor(100);
    POINT onButton{7, 5};
    ClientToScreen(button, &onButton);
    test::clickAt(onButton, MouseButton::left);
    ASSERT_TRUE(test::pumpUntil([&] { return mainHandlers.clicks == 1; }));
    POINT onBackground{250, 150};
    ClientToScreen(mainHwnd, &onBackground);
    test::clickAt(onBackground, MouseButton::right);
    test::clickAt(onBackground, MouseButton::middle);
    ASSERT_TRUE(test::pumpUntil([&] { return mainHandlers.presses.size() == 3; }));
    const Press& first = mainHandlers.presses[0];
    EXPECT_EQ(first.control, Role(R::button));
    EXPECT_EQ(first.button, MouseButton::left);
    EXPECT_EQ(first.point, (Point{7, 5}));
    EXPECT_TRUE(first.buttonSawItFirst);
    EXPECT_EQ(mainHandlers.presses[1].control, Role{});
    EXPECT_EQ(mainHandlers.presses[1].button, MouseButton::right);
    EXPECT_EQ(mainHandlers.presses[1].point, (Point{250, 150}));
    EXPECT_EQ(mainHandlers.presses[2].button, MouseButton::middle);
}

TEST_F(WindowBehaviourTest, FirstColumnEditedInPlaceIsTakenAsTyped) {
    steps::StepList list(main->list(R::list));
    list.writeCell(list.appendRow(), 0, "10");
    HWND listHwnd = reinterpret_cast<HWND>(main->controlHandle(R::list));
    SetFocus(listHwnd);
    HWND edit = reinterpret_cast<HWND>(SendMessageW(listHwnd, LVM_EDITLABELW, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"abc 中");
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);  // Enter ends the edit and keeps the text
    test::pumpFor(50);
    EXPECT_EQ(list.readCell(0, 0), "abc 中");
}

TEST_F(WindowBehaviourTest, MessageBoxIsOwnerlessWithOneOkButtonAndNoIcon) {
    std::atomic<bool> inspected{false};
    std::atomic<bool> ownerless{false}, oneButton{false}, noIcon{false};
    std::thread inspector([&] {
        HWND box = nullptr;
        for (int i = 0; i < 100 && box == nullptr; ++i) {
            Sleep(50);
            box = FindWindowW(L"#32770", L"标题");
        }
        // The box lays out its buttons and icon while it appears; look once it is shown.
        for (int i = 0; i < 100 && box != nullptr && !IsWindowVisible(box); ++i) {
            Sleep(20);
        }
        Sleep(300);
        if (box != nullptr) {
            ownerless = GetWindow(box, GW_OWNER) == nullptr;
            int buttons = 0;
            int icons = 0;
            for (HWND child = GetWindow(box, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                const std::wstring cls = test::classNameOf(child);
                if (cls == L"Button" && IsWindowVisible(child)) {
                    ++buttons;
                }
                // An icon control may exist in the box's template; it must hold no icon.
                if (cls == L"Static" && SendMessageW(child, STM_GETICON, 0, 0) != 0) {
                    ++icons;
                }
            }
            oneButton = buttons == 1;
            noIcon = icons == 0;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        inspected = true;
    });
    desktop.showMessage("正文", "标题");
    inspector.join();
    EXPECT_TRUE(inspected);
    EXPECT_TRUE(ownerless);
    EXPECT_TRUE(oneButton);
    EXPECT_TRUE(noIcon);
}

}  // namespace
}  // namespace kv::platform::win32
