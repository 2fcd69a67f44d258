// "注册热键" and "按键数值表" on the real desktop, and notify hotkeys pressed
// as real keys. The windows are driven from a second thread while the UI
// thread sits in the modal loop, as a user would drive them.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "hotkeys/hotkey_input_window.h"
#include "hotkeys/key_code_table.h"
#include "hotkeys/notify_hotkeys.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_desktop.h"
#include "support/mouse_input.h"
#include "support/other_process_hotkey.h"
#include "support/program_process.h"
#include "support/pump.h"
#include "support/remote_window.h"
#include "support/screenshot.h"

namespace kv {
namespace {

using platform::win32::toWide;
using test::pumpUntil;

HWND childWithText(HWND parent, const wchar_t* text) {
    return FindWindowExW(parent, nullptr, nullptr, text);
}

HWND childOfClass(HWND parent, const wchar_t* className) {
    return FindWindowExW(parent, nullptr, className, nullptr);
}

void clickAt(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    test::clickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, platform::MouseButton::left);
}

class HotkeyWindowsTest : public ::testing::Test {
protected:
    platform::win32::Win32Desktop desktop;
    hotkeys::HotkeyInputWindow input{desktop};

    void TearDown() override { test::forgetQuitRequest(); }

    // Runs the user's part on a second thread while the window is modal here.
    int chooseWhile(const std::function<void(HWND)>& user) {
        std::thread driver([&] {
            HWND window = test::waitForTopWindow(L"注册热键");
            ASSERT_NE(window, nullptr);
            user(window);
        });
        const int chosen = input.choose();
        driver.join();
        return chosen;
    }
};

TEST_F(HotkeyWindowsTest, TypedCodeIsConfirmedAndTheLinkShowsTheReadOnlyKeyTable) {
    std::wstring tableText;
    LONG tableStyle = 0;
    LONG tableExStyle = 0;
    RECT tableOuter{};
    const int chosen = chooseWhile([&](HWND window) {
        RECT outer{};
        GetWindowRect(window, &outer);
        EXPECT_EQ(outer.right - outer.left, 192);
        EXPECT_EQ(outer.bottom - outer.top, 128);
        HWND edit = childOfClass(window, L"Edit");
        ASSERT_NE(edit, nullptr);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"121"));
        Sleep(200);  // repainted
        test::saveScreenshot(window, L"hotkey_input");

        HWND link = childWithText(window, L"查看热键值");
        ASSERT_NE(link, nullptr);
        clickAt(link);
        HWND table = test::waitForTopWindow(L"按键数值表");
        ASSERT_NE(table, nullptr);
        GetWindowRect(table, &tableOuter);
        HWND tableEdit = childOfClass(table, L"Edit");
        ASSERT_NE(tableEdit, nullptr);
        tableText = test::remoteText(tableEdit);
        tableStyle = GetWindowLongW(tableEdit, GWL_STYLE);
        tableExStyle = GetWindowLongW(tableEdit, GWL_EXSTYLE);
        // The user cannot type into it.
        SendMessageW(tableEdit, WM_CHAR, L'x', 0);
        EXPECT_EQ(test::remoteText(tableEdit), tableText);
        test::saveScreenshot(table, L"key_code_table");
        PostMessageW(table, WM_CLOSE, 0, 0);
        Sleep(300);
        EXPECT_FALSE(IsWindow(table));
        PostMessageW(childWithText(window, L"确定"), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(chosen, 121);
    EXPECT_EQ(input.pendingHotkeyValue(), 121);
    EXPECT_EQ(tableText, toWide(hotkeys::keyCodeTableText()));
    EXPECT_NE(tableText.find(L"名称：ScrollLock键 值：145\r\n"), std::wstring::npos);
    EXPECT_TRUE(tableStyle & ES_READONLY);
    EXPECT_TRUE(tableStyle & ES_MULTILINE);
    EXPECT_TRUE(tableStyle & WS_VSCROLL);
    EXPECT_FALSE(tableExStyle & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(tableStyle & WS_BORDER);
    EXPECT_EQ(tableOuter.right - tableOuter.left, 209);
    EXPECT_EQ(tableOuter.bottom - tableOuter.top, 360);
}

TEST_F(HotkeyWindowsTest, CancelAndEscGiveNoValueAfterAnEarlierConfirmation) {
    ASSERT_EQ(chooseWhile([](HWND window) {
                  SendMessageW(childOfClass(window, L"Edit"), WM_SETTEXT, 0,
                               reinterpret_cast<LPARAM>(L"122"));
                  PostMessageW(childWithText(window, L"确定"), BM_CLICK, 0, 0);
              }),
              122);
    EXPECT_EQ(chooseWhile([](HWND window) {
                  PostMessageW(childWithText(window, L"取消"), BM_CLICK, 0, 0);
              }),
              0);
    EXPECT_EQ(chooseWhile([](HWND window) {
                  SetForegroundWindow(window);
                  Sleep(100);
                  test::pressKey(VK_ESCAPE);
              }),
              0);
    EXPECT_EQ(input.pendingHotkeyValue(), 122);
}

enum class Role { label };
constexpr platform::ControlSpec kControls[] = {
    {platform::ControlKind::label, Role::label, {10, 10, 100, 20}, "标签"},
};
constexpr platform::WindowSpec kSpec{
    .caption = "热键测试", .outerWidth = 200, .outerHeight = 100, .controls = kControls};

struct Notified : platform::WindowHandlers {
    hotkeys::NotifyHotkeys* notify = nullptr;
    std::atomic<int> presses{0};
    std::atomic<int> lastId{0};
    void onHotkey(platform::Window& w, int id) override {
        if (notify->targetOf(w.handle(), id) == platform::Role(Role::label)) {
            ++presses;
            lastId = id;
        }
    }
};

TEST_F(HotkeyWindowsTest, NotifyHotkeyPressedAsARealKeyReachesItsLabelUntilReleased) {
    hotkeys::NotifyHotkeys notify(desktop);
    Notified handlers;
    handlers.notify = &notify;
    platform::Window* window = desktop.openWindow(kSpec, handlers, platform::Modality::modeless);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(notify.registerNotifyHotkey(*window, Role::label, 0, 0), 0);  // no key: 33001 used
    const int id = notify.registerNotifyHotkey(*window, Role::label, 0, VK_F9);
    EXPECT_EQ(id, 33002);
    EXPECT_FALSE(test::anotherProcessCanRegister(VK_F9));
    test::pressKey(VK_F9);
    EXPECT_TRUE(pumpUntil([&] { return handlers.presses == 1; }));
    EXPECT_EQ(handlers.lastId, 33002);

    notify.unregisterNotifyHotkey(*window, id);
    EXPECT_TRUE(test::anotherProcessCanRegister(VK_F9));
    test::pressKey(VK_F9);
    test::pumpFor(300);
    EXPECT_EQ(handlers.presses, 1);

    {
        test::HotkeyHolder holder(VK_F10);
        ASSERT_TRUE(holder.holds());
        EXPECT_EQ(notify.registerNotifyHotkey(*window, Role::label, 0, VK_F10), 0);
    }
    const int f10 = notify.registerNotifyHotkey(*window, Role::label, 0, VK_F10);
    EXPECT_EQ(f10, 33004);
    notify.unregisterNotifyHotkey(*window, f10);
    window->close();
}

}  // namespace
}  // namespace kv
