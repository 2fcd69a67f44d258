#include <gtest/gtest.h>

#include <string>

#include "hotkeys/hotkey_input_window.h"
#include "hotkeys/hotkey_windows_layout.h"
#include "hotkeys/key_code_table.h"
#include "hotkeys/notify_hotkeys.h"
#include "platform/fake/fake_desktop.h"

namespace kv::hotkeys {
namespace {

using platform::MouseButton;
using platform::Role;
using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;

enum class TestRole { label, otherLabel };
constexpr platform::ControlSpec kControls[] = {
    {platform::ControlKind::label, TestRole::label, {0, 0, 10, 10}, ""},
    {platform::ControlKind::label, TestRole::otherLabel, {0, 20, 10, 10}, ""},
};
constexpr platform::WindowSpec kTestWindow{
    .caption = "t", .outerWidth = 100, .outerHeight = 50, .controls = kControls};

constexpr int kF9 = 120;
constexpr int kF10 = 121;

class NotifyHotkeysTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    platform::WindowHandlers handlers;
    NotifyHotkeys notify{desktop};
    platform::Window* window =
        desktop.openWindow(kTestWindow, handlers, platform::Modality::modeless);
};

TEST_F(NotifyHotkeysTest, IdsCountFrom33001AndAFailedAttemptUsesUpItsNumber) {
    desktop.holdKeyElsewhere(kF10);
    EXPECT_EQ(notify.registerNotifyHotkey(*window, TestRole::label, 0, kF9), 33001);
    EXPECT_EQ(notify.registerNotifyHotkey(*window, TestRole::label, 0, kF10), 0);
    EXPECT_EQ(notify.registerNotifyHotkey(*window, TestRole::label, 0, kF9), 0);  // held already
    EXPECT_EQ(notify.registerNotifyHotkey(*window, TestRole::otherLabel, 0, 122), 33004);
    EXPECT_EQ(notify.nextId(), 33005);
    ASSERT_EQ(desktop.hotkeys().size(), 2u);
    EXPECT_EQ(desktop.hotkeys()[0].id, 33001);
    EXPECT_EQ(desktop.hotkeys()[1].keyCode, 122);

    EXPECT_EQ(notify.targetOf(window->handle(), 33001), Role(TestRole::label));
    EXPECT_EQ(notify.targetOf(window->handle(), 33004), Role(TestRole::otherLabel));
    EXPECT_EQ(notify.targetOf(window->handle(), 33002), std::nullopt);      // refused
    EXPECT_EQ(notify.targetOf(window->handle() + 4, 33001), std::nullopt);  // another window
    EXPECT_EQ(notify.targetOf(window->handle(), 1), std::nullopt);
}

TEST_F(NotifyHotkeysTest, ReleasedIdNotifiesNothingAndFreesTheKey) {
    const int id = notify.registerNotifyHotkey(*window, TestRole::label, 0, kF9);
    notify.unregisterNotifyHotkey(*window, 0);  // nothing
    EXPECT_EQ(desktop.hotkeys().size(), 1u);
    notify.unregisterNotifyHotkey(*window, id);
    EXPECT_TRUE(desktop.hotkeys().empty());
    // A press that was on its way when the key was released finds no label.
    EXPECT_EQ(notify.targetOf(window->handle(), id), std::nullopt);
    EXPECT_EQ(notify.registerNotifyHotkey(*window, TestRole::label, 0, kF9), id + 1);
}

TEST_F(NotifyHotkeysTest, CodesThatNameNoKeyAreRefusedWithoutAskingTheSystem) {
    for (const int code : {0, -3, 255, 256, 65536 + kF9, INT32_MAX, INT32_MIN}) {
        EXPECT_EQ(notify.registerNotifyHotkey(*window, TestRole::label, 0, code), 0) << code;
    }
    EXPECT_TRUE(desktop.hotkeys().empty());
    EXPECT_EQ(notify.nextId(), 33008);
    EXPECT_NE(notify.registerNotifyHotkey(*window, TestRole::label, 0, 1), 0);
    EXPECT_NE(notify.registerNotifyHotkey(*window, TestRole::label, 0, 254), 0);
}

class HotkeyInputTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    HotkeyInputWindow input{desktop};

    FakeWindow& inputWindow() {
        FakeWindow* window = desktop.findWindow(kHotkeyInputWindowSpec);
        EXPECT_NE(window, nullptr);
        return *window;
    }
    // The user's answer, given once the window is open.
    void answer(std::function<void(FakeWindow&)> act) {
        desktop.clock().after(0, [this, act] { act(inputWindow()); });
    }
    void confirm(std::string text) {
        answer([text](FakeWindow& w) {
            w.setText(HotkeyInputRole::hotkeyValueEdit, text);
            w.userClicks(HotkeyInputRole::hotkeyOkButton);
        });
    }
};

TEST_F(HotkeyInputTest, ConfirmGivesTheBoxsNumberAndAnEmptyBoxGivesZero) {
    confirm("121");
    EXPECT_EQ(input.choose(), 121);
    EXPECT_EQ(input.pendingHotkeyValue(), 121);
    EXPECT_EQ(desktop.findWindow(kHotkeyInputWindowSpec), nullptr);

    confirm("");
    EXPECT_EQ(input.choose(), 0);
    EXPECT_EQ(input.pendingHotkeyValue(), 0);

    // No range or name check here: the caller decides.
    confirm("-5");
    EXPECT_EQ(input.choose(), -5);
    confirm(std::string(5000, '9'));
    EXPECT_EQ(input.choose(), INT32_MAX);
    confirm("-");
    EXPECT_EQ(input.choose(), 0);
}

TEST_F(HotkeyInputTest, CancelCloseBoxAndEscGiveNoValueWhateverWasConfirmedBefore) {
    confirm("121");
    ASSERT_EQ(input.choose(), 121);
    answer([](FakeWindow& w) {
        w.setText(HotkeyInputRole::hotkeyValueEdit, "122");
        w.userClicks(HotkeyInputRole::hotkeyCancelButton);
    });
    EXPECT_EQ(input.choose(), 0);
    answer([](FakeWindow& w) { w.close(); });
    EXPECT_EQ(input.choose(), 0);
    answer([](FakeWindow& w) { w.userPressesEscape(); });
    EXPECT_EQ(input.choose(), 0);
    // The last confirmed value is kept for the process.
    EXPECT_EQ(input.pendingHotkeyValue(), 121);
}

TEST_F(HotkeyInputTest, LeftPressOnTheLinkOpensTheKeyTableModally) {
    bool tableSeen = false;
    answer([&](FakeWindow& w) {
        w.userPresses(HotkeyInputRole::showKeyTableLabel, MouseButton::right, {3, 3});
        EXPECT_EQ(desktop.findWindow(kKeyCodeTableWindowSpec), nullptr);
        desktop.clock().after(0, [&] {
            FakeWindow* table = desktop.findWindow(kKeyCodeTableWindowSpec);
            ASSERT_NE(table, nullptr);
            EXPECT_EQ(table->caption(), "按键数值表");
            EXPECT_EQ(table->text(KeyTableRole::keyTableEdit), keyCodeTableText());
            tableSeen = true;
            table->close();
        });
        w.userPresses(HotkeyInputRole::showKeyTableLabel, MouseButton::left, {3, 3});
        // The press returned when the table closed.
        EXPECT_TRUE(tableSeen);
        w.setText(HotkeyInputRole::hotkeyValueEdit, "120");
        w.userClicks(HotkeyInputRole::hotkeyOkButton);
    });
    EXPECT_EQ(input.choose(), 120);
    EXPECT_TRUE(tableSeen);
}

TEST(HotkeyWindowsLayout, WindowsAndControlsAreWhereTheyBelong) {
    EXPECT_STREQ(kHotkeyInputWindowSpec.caption, "注册热键");
    EXPECT_EQ(kHotkeyInputWindowSpec.outerWidth, 192);
    EXPECT_EQ(kHotkeyInputWindowSpec.outerHeight, 128);
    EXPECT_STREQ(kKeyCodeTableWindowSpec.caption, "按键数值表");
    EXPECT_EQ(kKeyCodeTableWindowSpec.outerWidth, 209);
    EXPECT_EQ(kKeyCodeTableWindowSpec.outerHeight, 360);
    const platform::ControlSpec& table = kKeyCodeTableWindowSpec.controls[0];
    EXPECT_EQ(table.rect, (platform::Rect{2, 2, 200, 326}));
    EXPECT_EQ(table.styles & platform::style::readOnly, platform::style::readOnly);
}

}  // namespace
}  // namespace kv::hotkeys
