// The capture key in the real step editor: a point captured on a monitor
// left of and above the primary is confirmed and played there; a failed
// retry at opening still shows the row being edited; the keys after close.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "capture/step_editor.h"
#include "editor_fixture.h"
#include "hotkeys/hotkey_table.h"
#include "hotkeys/hotkey_windows_layout.h"

namespace kv::capture {
namespace {

constexpr int kF9 = 120;
constexpr int kF10 = 121;

class StepEditorCaptureTest : public EditorFixture {
protected:
    // What the user types into "注册热键" when it opens; nullopt cancels.
    void answerHotkeyInput(std::optional<std::string> text) {
        desktop.clock().after(0, [this, text] {
            FakeWindow* w = desktop.findWindow(hotkeys::kHotkeyInputWindowSpec);
            ASSERT_NE(w, nullptr) << "注册热键 is not open";
            if (text) {
                w->setText(hotkeys::HotkeyInputRole::hotkeyValueEdit, *text);
                w->userClicks(hotkeys::HotkeyInputRole::hotkeyOkButton);
            } else {
                w->userClicks(hotkeys::HotkeyInputRole::hotkeyCancelButton);
            }
        });
    }
    std::vector<int> heldKeys() const {
        std::vector<int> keys;
        for (const auto& h : desktop.hotkeys()) {
            keys.push_back(h.keyCode);
        }
        return keys;
    }
};

TEST_F(StepEditorCaptureTest, PointCapturedLeftOfAndAboveThePrimaryIsConfirmedAndPlayedThere) {
    desktop.setMonitors({{0, 0, 1280, 1024}, {-1920, -300, 1920, 1080}});
    inAddMode([&](FakeWindow& w) {
        EXPECT_EQ(w.text(R::captureHotkeyLabel), "快捷键F9键");
        desktop.setCursorPosition({-1700, -250});
        ASSERT_TRUE(desktop.userPressesHotkey(0, kF9));
        EXPECT_EQ(w.text(R::captureHotkeyLabel), "正在取坐标...F9键停止");
        desktop.clock().runFor(100);
        EXPECT_EQ(w.text(R::xEdit), "-1700");
        EXPECT_EQ(w.text(R::yEdit), "-250");
        desktop.setCursorPosition({-1701, -251});
        desktop.clock().runFor(100);
        ASSERT_TRUE(desktop.userPressesHotkey(0, kF9));
        EXPECT_EQ(w.text(R::captureHotkeyLabel), "快捷键F9键");
        desktop.setCursorPosition({5, 5});
        desktop.clock().runFor(300);
        w.userClicks(R::editorOkButton);
    });
    ASSERT_EQ(steps().rowCount(), 1);
    EXPECT_EQ(steps().readRow(0), (StepRecord{"-1701", "-251", "左键", "单击", "1000", "1", ""}));
    EXPECT_TRUE(heldKeys() ==
                (std::vector<int>{hotkeys::kKeyF5, hotkeys::kKeyF6, hotkeys::kKeyF8}));

    // One row: F5 repeats its click at its point.
    ASSERT_TRUE(desktop.userPressesHotkey(0, hotkeys::kKeyF5));
    desktop.clock().runFor(3000);
    desktop.clock().finishWorkers();
    std::vector<std::string> events;
    for (const auto& r : desktop.fakeInput().records()) {
        if (r.kind == platform::fake::InputRecord::Kind::move) {
            events.push_back("move " + std::to_string(r.point.x) + "," + std::to_string(r.point.y));
        } else if (r.kind == platform::fake::InputRecord::Kind::mouse) {
            events.push_back(platform::fake::mouseEventName(r.event));
        }
    }
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[0], "move -1701,-251");
    EXPECT_EQ(events[1], "leftDown");
    EXPECT_EQ(events[2], "leftUp");
    EXPECT_EQ(desktop.cursorPosition(), (platform::Point{-1701, -251}));
}

TEST_F(StepEditorCaptureTest, AFailedRetryAtOpeningStillFillsTheRowBeingEdited) {
    steps().appendStep({"100", "200", "中键", "双击", "500", "1", "你好"});
    desktop.holdKeyElsewhere(kF9);
    desktop.holdKeyElsewhere(kF10);
    answerHotkeyInput("121");
    FakeWindow& w = openForEdit(0);
    ASSERT_EQ(desktop.messages().size(), 2u);
    EXPECT_EQ(desktop.messages()[0].text, "F9键可能已被占用，请输入其它热键值");
    EXPECT_EQ(desktop.messages()[1].text, "预注册热键可能已被占用，请输入其它热键值");
    EXPECT_EQ(w.text(R::captureHotkeyLabel), "无快捷键");
    EXPECT_EQ(w.text(R::xEdit), "100");
    EXPECT_EQ(w.text(R::textEdit), "你好");
    EXPECT_EQ(w.comboText(R::buttonCombo), "中键");
    EXPECT_EQ(w.comboText(R::actionCombo), "双击");
    // A confirmation keeps the row's button, action and text.
    w.userClicks(R::editorOkButton);
    EXPECT_EQ(steps().readRow(0), (StepRecord{"100", "200", "中键", "双击", "500", "1", "你好"}));
    w.userPressesEscape();
}

TEST_F(StepEditorCaptureTest, ChangeFromTheEditorAndCloseWhileCapturingLeaveOnlyTheMainKeys) {
    FakeWindow& w = openForEdit(0);
    answerHotkeyInput("121");
    w.userPresses(R::changeHotkeyLabel, platform::MouseButton::left, {3, 3});
    EXPECT_EQ(w.text(R::captureHotkeyLabel), "快捷键F10键");
    EXPECT_FALSE(desktop.userPressesHotkey(0, kF9));
    ASSERT_TRUE(desktop.userPressesHotkey(0, kF10));
    EXPECT_EQ(w.timerPeriod(R::captureTimer), 100);
    w.userPressesEscape();
    EXPECT_EQ(heldKeys(), (std::vector<int>{hotkeys::kKeyF5, hotkeys::kKeyF6, hotkeys::kKeyF8}));
    EXPECT_FALSE(desktop.userPressesHotkey(0, kF10));
    EXPECT_EQ(desktop.fakeFiles().contents("C:\\Klikvane\\配置.ini"), "[热键]\r\n值=121\r\n");
}

}  // namespace
}  // namespace kv::capture
