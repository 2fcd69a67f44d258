// Coordinate capture on the real desktop, in a window of the test that has
// the step editor's capture controls: the capture key pressed as a real key,
// real timer ticks writing the cursor's position, a real click on the change
// label, the real "注册热键" and message boxes answered from a second thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "capture/coordinate_capture.h"
#include "platform/win32/win32_desktop.h"
#include "support/message_box.h"
#include "support/other_process_hotkey.h"
#include "support/program_process.h"
#include "support/pump.h"
#include "support/remote_window.h"

namespace kv::capture {
namespace {

using test::pumpFor;
using test::pumpUntil;

enum class EditorRole { xEdit, yEdit, captureHotkeyLabel, changeHotkeyLabel, captureTimer };
constexpr platform::ControlSpec kControls[] = {
    {platform::ControlKind::edit, EditorRole::xEdit, {30, 16, 60, 20}, ""},
    {platform::ControlKind::edit, EditorRole::yEdit, {114, 16, 60, 20}, ""},
    {platform::ControlKind::label, EditorRole::captureHotkeyLabel, {184, 16, 168, 20}, "快捷键F9"},
    {platform::ControlKind::label,
     EditorRole::changeHotkeyLabel,
     {270, 42, 64, 20},
     "修改快捷键",
     platform::style::handCursor},
};
constexpr platform::TimerSpec kTimers[] = {{EditorRole::captureTimer, 0}};
constexpr platform::WindowSpec kSpec{.caption = "取坐标测试",
                                     .outerWidth = 363,
                                     .outerHeight = 239,
                                     .controls = kControls,
                                     .timers = kTimers};

struct Editor : platform::WindowHandlers {
    CoordinateCapture* capture = nullptr;
    void onCreated(platform::Window& w) override { capture->setUp(w); }
    void onDestroy(platform::Window& w) override { capture->release(w); }
    void onHotkey(platform::Window& w, int id) override { capture->onHotkey(w, id); }
    void onTimer(platform::Window& w, platform::Role) override { capture->captureTick(w); }
    void onMousePress(platform::Window& w, platform::Role control, platform::MouseButton button,
                      platform::Point) override {
        if (control == platform::Role(EditorRole::changeHotkeyLabel) &&
            button == platform::MouseButton::left) {
            capture->changeCaptureHotkey(w);
        }
    }
};

class CaptureDesktopTest : public ::testing::Test {
protected:
    platform::win32::Win32Desktop desktop;
    hotkeys::NotifyHotkeys notify{desktop};
    hotkeys::HotkeyInputWindow input{desktop};
    CoordinateCapture capture{
        desktop, notify, input,
        CaptureControls{EditorRole::captureHotkeyLabel, EditorRole::changeHotkeyLabel,
                        EditorRole::xEdit, EditorRole::yEdit, EditorRole::captureTimer}};
    Editor handlers;
    platform::Window* window = nullptr;

    void SetUp() override {
        DeleteFileW(settingsPath().c_str());
        handlers.capture = &capture;
    }
    void TearDown() override {
        if (window != nullptr) {
            window->close();
        }
        test::forgetQuitRequest();
        DeleteFileW(settingsPath().c_str());
    }
    static std::wstring settingsPath() {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring p(path);
        return p.substr(0, p.find_last_of(L'\\')) + L"\\配置.ini";
    }
    void open() {
        window = desktop.openWindow(kSpec, handlers, platform::Modality::modeless);
        ASSERT_NE(window, nullptr);
        pumpFor(100);
    }
    std::string label() const { return window->text(EditorRole::captureHotkeyLabel); }
};

TEST_F(CaptureDesktopTest, RealF9TogglesAndTheTimerWritesTheCursorPosition) {
    open();
    EXPECT_EQ(label(), "快捷键F9键");
    SetCursorPos(321, 234);
    test::pressKey(VK_F9);
    ASSERT_TRUE(pumpUntil([&] { return label() == "正在取坐标...F9键停止"; }));
    EXPECT_TRUE(pumpUntil([&] {
        return window->text(EditorRole::xEdit) == "321" && window->text(EditorRole::yEdit) == "234";
    }));
    SetCursorPos(17, 1000);
    EXPECT_TRUE(pumpUntil([&] {
        return window->text(EditorRole::xEdit) == "17" && window->text(EditorRole::yEdit) == "1000";
    }));
    test::pressKey(VK_F9);
    ASSERT_TRUE(pumpUntil([&] { return label() == "快捷键F9键"; }));
    SetCursorPos(500, 500);
    pumpFor(300);
    EXPECT_EQ(window->text(EditorRole::xEdit), "17");
}

TEST_F(CaptureDesktopTest, ClickOnTheChangeLabelChangesTheKeyAndFreesTheOldOne) {
    open();
    std::optional<test::SeenMessageBox> box;
    std::atomic<bool> answered{false};
    std::thread user([&] {
        HWND dialog = test::waitForTopWindow(L"注册热键");
        ASSERT_NE(dialog, nullptr);
        SendMessageW(test::childAt(dialog, {20, 40}), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(L"121"));
        test::pushButtonAt(dialog, {30, 72});
        box = test::answerMessageBox();
        answered = true;
    });
    HWND editor = reinterpret_cast<HWND>(window->handle());
    test::clickClientPoint(editor, {290, 50});
    pumpUntil([&] { return answered.load(); }, 10000);
    user.join();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"注册热键F10键成功");
    EXPECT_EQ(box->title, L"热键注册");
    EXPECT_EQ(label(), "快捷键F10键");
    EXPECT_TRUE(test::anotherProcessCanRegister(VK_F9));
    EXPECT_FALSE(test::anotherProcessCanRegister(VK_F10));
    test::pressKey(VK_F10);
    EXPECT_TRUE(pumpUntil([&] { return label() == "正在取坐标...F10键停止"; }));
    // Disabled while capturing: a click opens nothing.
    test::clickClientPoint(editor, {290, 50});
    pumpFor(500);
    EXPECT_EQ(FindWindowW(nullptr, L"注册热键"), nullptr);
    window->close();
    window = nullptr;
    EXPECT_TRUE(test::anotherProcessCanRegister(VK_F10));
}

}  // namespace
}  // namespace kv::capture
