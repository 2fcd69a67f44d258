#include "hotkeys/hotkey_table.h"

#include <gtest/gtest.h>

#include <string>

#include "app/about_window_layout.h"
#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "capture/step_editor_layout.h"
#include "platform/fake/fake_desktop.h"
#include "steps/step_list.h"

namespace kv::hotkeys {
namespace {

using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;

constexpr platform::NativeWindow kWindow = 0x500;
constexpr platform::NativeWindow kOtherWindow = 0x600;

TEST(HotkeyTable, IdsFollowRegistrationsWithoutGapsAndARefusedKeyTakesNone) {
    FakeDesktop desktop;
    desktop.holdKeyElsewhere(kKeyF6);
    HotkeyTable table(desktop);
    std::string pressed;
    EXPECT_EQ(table.registerHotkey(kWindow, 0, kKeyF5, [&] { pressed += "F5;"; }), 1);
    EXPECT_EQ(table.registerHotkey(kWindow, 0, kKeyF6, [&] { pressed += "F6;"; }), 0);
    EXPECT_EQ(table.registerHotkey(kWindow, 0, kKeyF8, [&] { pressed += "F8;"; }), 2);
    ASSERT_EQ(table.entries().size(), 2u);
    EXPECT_EQ(table.entries()[1].keyCode, kKeyF8);
    EXPECT_EQ(table.entries()[1].id, 2);

    EXPECT_TRUE(table.dispatch(kWindow, 2));
    EXPECT_TRUE(table.dispatch(kWindow, 1));
    EXPECT_FALSE(table.dispatch(kWindow, 3));  // no entry: ignored
    EXPECT_FALSE(table.dispatch(kWindow, 0));
    EXPECT_EQ(pressed, "F8;F5;");
}

TEST(HotkeyTable, OnlyTheFirstRegistrationsWindowDispatches) {
    FakeDesktop desktop;
    HotkeyTable table(desktop);
    int presses = 0;
    table.registerHotkey(kWindow, 0, kKeyF5, [&] { ++presses; });
    // Registered with the system, but its presses never reach the handler.
    EXPECT_EQ(table.registerHotkey(kOtherWindow, 0, kKeyF6, [&] { ++presses; }), 2);
    EXPECT_EQ(desktop.hotkeys().size(), 2u);
    EXPECT_FALSE(table.dispatch(kOtherWindow, 2));
    EXPECT_EQ(presses, 0);
}

class MainWindowHotkeysThread : public ::testing::Test {
protected:
    FakeDesktop desktop;
    app::Klikvane program{desktop};
    FakeWindow* window = nullptr;

    void open() { window = static_cast<FakeWindow*>(program.openMainWindow()); }
    void addRows(int n) {
        steps::StepList steps(window->list(mainwin::MainRole::stepList));
        for (int i = 0; i < n; ++i) {
            steps.appendStep({"1", "1", "左键", "单击", "", "", ""});
        }
    }
    std::string caption() { return window->text(mainwin::MainRole::startButton); }
    std::vector<std::pair<int, int>> registered() {  // {key, id}
        std::vector<std::pair<int, int>> keys;
        for (const auto& h : desktop.hotkeys()) {
            EXPECT_EQ(h.window, window->handle());
            EXPECT_EQ(h.modifiers, 0);
            keys.emplace_back(h.keyCode, h.id);
        }
        return keys;
    }
};

using Keys = std::vector<std::pair<int, int>>;

TEST_F(MainWindowHotkeysThread, F5F6F8AreRegisteredInOrderAndReleasedAtClose) {
    open();
    EXPECT_EQ(registered(), (Keys{{kKeyF5, 1}, {kKeyF6, 2}, {kKeyF8, 3}}));
    window->userPressesEscape();
    EXPECT_TRUE(desktop.hotkeys().empty());
}

TEST_F(MainWindowHotkeysThread, WithF5HeldElsewhereF6AndF8GetIds1And2) {
    desktop.holdKeyElsewhere(kKeyF5);
    open();
    EXPECT_EQ(registered(), (Keys{{kKeyF6, 1}, {kKeyF8, 2}}));
    EXPECT_TRUE(desktop.userPressesHotkey(0, kKeyF6));
    // F8 opens the about window modally; the user closes it with Esc.
    desktop.clock().after(10,
                          [&] { desktop.findWindow(app::kAboutWindowSpec)->userPressesEscape(); });
    EXPECT_TRUE(desktop.userPressesHotkey(0, kKeyF8));
    EXPECT_EQ(desktop.findWindow(app::kAboutWindowSpec), nullptr);
    EXPECT_FALSE(desktop.userPressesHotkey(0, kKeyF5));
    window->userPressesEscape();
    EXPECT_TRUE(desktop.hotkeys().empty());
}

TEST_F(MainWindowHotkeysThread, F5StartsAndStopsARunFromAnyApplicationAsTheButtonDoes) {
    open();
    addRows(2);
    EXPECT_TRUE(desktop.userPressesHotkey(0, kKeyF5));
    EXPECT_TRUE(window->isMinimized());
    EXPECT_EQ(caption(), mainwin::kCaptionRunning);
    window->userRestores();
    desktop.clock().runUntil(100);
    EXPECT_TRUE(desktop.userPressesHotkey(0, kKeyF5));
    EXPECT_TRUE(window->isMinimized());  // every press minimises
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
    desktop.clock().finishWorkers();

    window->userClicks(mainwin::MainRole::startButton);
    EXPECT_EQ(caption(), mainwin::kCaptionRunning);
    desktop.clock().finishWorkers();
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
}

TEST_F(MainWindowHotkeysThread, HoldingF5TogglesOnceUnlessTheSystemRepeatsHeldKeys) {
    open();
    addRows(2);
    EXPECT_EQ(desktop.userHoldsHotkey(0, kKeyF5, 10), 1);
    EXPECT_EQ(caption(), mainwin::kCaptionRunning);
    desktop.clock().finishWorkers();
}

TEST_F(MainWindowHotkeysThread, OnASystemWithoutNoRepeatAHeldF5RepeatsAndStillWorks) {
    desktop.setNoRepeatSupported(false);
    open();
    addRows(2);
    EXPECT_EQ(registered(), (Keys{{kKeyF5, 1}, {kKeyF6, 2}, {kKeyF8, 3}}));
    EXPECT_EQ(desktop.userHoldsHotkey(0, kKeyF5, 3), 4);
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);  // start, stop, start, stop
    desktop.clock().finishWorkers();
}

TEST_F(MainWindowHotkeysThread, F5OnAnEmptyListShowsTheMessageAndMinimises) {
    open();
    // The step editor opens modally after the message; the user closes it.
    bool editorOpened = false;
    desktop.clock().after(0, [&] {
        if (FakeWindow* editor = desktop.findWindow(capture::kStepEditorSpec)) {
            editorOpened = true;
            editor->userPressesEscape();
        }
    });
    EXPECT_TRUE(desktop.userPressesHotkey(0, kKeyF5));
    EXPECT_TRUE(editorOpened);
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].text, "无任务可执行,请添加任务");
    EXPECT_EQ(desktop.messages()[0].title, "任务列表空");
    EXPECT_TRUE(window->isMinimized());
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
}

}  // namespace
}  // namespace kv::hotkeys
