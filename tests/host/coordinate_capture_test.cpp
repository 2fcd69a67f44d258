#include "capture/coordinate_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/klikvane.h"
#include "hotkeys/hotkey_table.h"
#include "hotkeys/hotkey_windows_layout.h"
#include "platform/fake/fake_desktop.h"
#include "steps/text_to_int.h"

namespace kv::capture {
namespace {

using platform::Point;
using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;

constexpr int kF9 = 120;
constexpr int kF10 = 121;
constexpr int kF11 = 122;
const std::string kIni = "C:\\Klikvane\\配置.ini";
const std::string kIniF9 = "[热键]\r\n值=120\r\n";

// A window with the editor's capture controls, standing for the step editor.
enum class EditorRole { xEdit, yEdit, captureHotkeyLabel, changeHotkeyLabel, captureTimer };
constexpr platform::ControlSpec kEditorControls[] = {
    {platform::ControlKind::edit, EditorRole::xEdit, {30, 16, 60, 20}, ""},
    {platform::ControlKind::edit, EditorRole::yEdit, {114, 16, 60, 20}, ""},
    {platform::ControlKind::label, EditorRole::captureHotkeyLabel, {184, 16, 168, 20}, "快捷键F9"},
    {platform::ControlKind::label, EditorRole::changeHotkeyLabel, {270, 42, 64, 20}, "修改快捷键"},
};
constexpr platform::TimerSpec kEditorTimers[] = {{EditorRole::captureTimer, 0}};
constexpr platform::WindowSpec kEditorSpec{.caption = "添加",
                                           .outerWidth = 363,
                                           .outerHeight = 239,
                                           .controls = kEditorControls,
                                           .timers = kEditorTimers};
constexpr CaptureControls kControls{EditorRole::captureHotkeyLabel, EditorRole::changeHotkeyLabel,
                                    EditorRole::xEdit, EditorRole::yEdit, EditorRole::captureTimer};

class Editor : public platform::WindowHandlers {
public:
    Editor(platform::Desktop& desktop, hotkeys::NotifyHotkeys& notify,
           hotkeys::HotkeyInputWindow& input)
        : capture(desktop, notify, input, kControls) {}
    void onCreated(platform::Window& w) override {
        capture.setUp(w);
        ++creationsFinished;
    }
    void onDestroy(platform::Window& w) override { capture.release(w); }
    void onHotkey(platform::Window& w, int id) override { capture.onHotkey(w, id); }
    void onTimer(platform::Window& w, platform::Role timer) override {
        if (timer == platform::Role(EditorRole::captureTimer)) {
            capture.captureTick(w);
        }
    }
    void onMousePress(platform::Window& w, platform::Role control, platform::MouseButton button,
                      Point) override {
        if (control == platform::Role(EditorRole::changeHotkeyLabel) &&
            button == platform::MouseButton::left) {
            capture.changeCaptureHotkey(w);
        }
    }
    CoordinateCapture capture;
    int creationsFinished = 0;
};

class CaptureTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    hotkeys::NotifyHotkeys notify{desktop};
    hotkeys::HotkeyInputWindow input{desktop};
    Editor handlers{desktop, notify, input};
    FakeWindow* editor = nullptr;

    void open() {
        editor = static_cast<FakeWindow*>(
            desktop.openWindow(kEditorSpec, handlers, platform::Modality::modeless));
        ASSERT_NE(editor, nullptr);
    }
    void close() { editor->close(); }
    std::string caption() const { return editor->text(EditorRole::captureHotkeyLabel); }
    Point fields() const {
        return {textToInt(editor->text(EditorRole::xEdit)),
                textToInt(editor->text(EditorRole::yEdit))};
    }
    std::string file() { return desktop.fakeFiles().contents(kIni).value_or("<missing>"); }
    std::vector<int> heldKeys() const {
        std::vector<int> keys;
        for (const auto& h : desktop.hotkeys()) {
            keys.push_back(h.keyCode);
        }
        return keys;
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> shown;
        for (const auto& m : desktop.messages()) {
            shown.push_back(m.text + " / " + m.title);
        }
        return shown;
    }
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
    void pressChange() {
        editor->userPresses(EditorRole::changeHotkeyLabel, platform::MouseButton::left, {5, 5});
    }
    bool press(int key) { return desktop.userPressesHotkey(0, key); }
};

TEST_F(CaptureTest, FreshSettingsFileHoldsF9AndF9TogglesCaptureFollowingTheCursor) {
    desktop.setMonitors({{0, 0, 1280, 1024}, {-1920, -200, 1920, 1080}});
    open();
    EXPECT_EQ(file(), kIniF9);
    EXPECT_EQ(caption(), "快捷键F9键");
    EXPECT_EQ(handlers.capture.captureHotkeyId(), 33001);
    EXPECT_EQ(heldKeys(), std::vector<int>{kF9});
    EXPECT_TRUE(messages().empty());

    desktop.setCursorPosition({-1500, -150});
    desktop.clock().runUntil(1000);
    EXPECT_TRUE(press(kF9));
    EXPECT_EQ(caption(), "正在取坐标...F9键停止");
    EXPECT_EQ(editor->timerPeriod(EditorRole::captureTimer), 100);
    EXPECT_FALSE(editor->isEnabled(EditorRole::changeHotkeyLabel));
    EXPECT_EQ(editor->text(EditorRole::xEdit), "");  // the first tick comes 100 ms later
    desktop.clock().runUntil(1100);
    EXPECT_EQ(editor->text(EditorRole::xEdit), "-1500");
    EXPECT_EQ(editor->text(EditorRole::yEdit), "-150");

    // Off every monitor the system keeps the cursor on the nearest one.
    desktop.setCursorPosition({-3000, 900});
    desktop.clock().runUntil(1200);
    EXPECT_EQ(fields(), (Point{-1920, 879}));
    desktop.setCursorPosition({700, -1});
    desktop.clock().runUntil(1300);
    EXPECT_EQ(fields(), (Point{700, 0}));
    desktop.setCursorPosition({-7, -33});
    desktop.clock().runUntil(1400);
    EXPECT_EQ(fields(), (Point{-7, -33}));

    EXPECT_TRUE(press(kF9));
    EXPECT_EQ(caption(), "快捷键F9键");
    EXPECT_EQ(editor->timerPeriod(EditorRole::captureTimer), 0);
    EXPECT_TRUE(editor->isEnabled(EditorRole::changeHotkeyLabel));
    desktop.setCursorPosition({10, 10});
    desktop.clock().runUntil(2000);
    EXPECT_EQ(fields(), (Point{-7, -33}));  // the last point is kept
    EXPECT_EQ(file(), kIniF9);
}

TEST_F(CaptureTest, TickCostsOneCursorReadAndTwoWritesAndNoFileAccess) {
    open();
    press(kF9);
    const int reads = desktop.fakeFiles().readCount();
    desktop.clock().runUntil(60'000);
    EXPECT_EQ(desktop.fakeFiles().readCount(), reads);
    EXPECT_EQ(editor->timerPeriod(EditorRole::captureTimer), 100);
}

TEST_F(CaptureTest, ChangeToF10ReleasesF9AtOnceAndIsKeptForTheNextOpening) {
    open();
    answerHotkeyInput("121");
    pressChange();
    EXPECT_EQ(messages(), std::vector<std::string>{"注册热键F10键成功 / 热键注册"});
    EXPECT_EQ(caption(), "快捷键F10键");
    EXPECT_EQ(file(), "[热键]\r\n值=121\r\n");
    EXPECT_EQ(heldKeys(), std::vector<int>{kF10});
    EXPECT_EQ(handlers.capture.captureHotkeyId(), 33002);
    EXPECT_FALSE(press(kF9));
    EXPECT_TRUE(press(kF10));
    EXPECT_EQ(caption(), "正在取坐标...F10键停止");
    EXPECT_TRUE(press(kF10));
    EXPECT_EQ(caption(), "快捷键F10键");

    close();
    EXPECT_TRUE(heldKeys().empty());
    open();
    EXPECT_EQ(caption(), "快捷键F10键");
    EXPECT_EQ(heldKeys(), std::vector<int>{kF10});
    EXPECT_EQ(handlers.capture.captureHotkeyId(), 33003);
}

TEST_F(CaptureTest, FailedChangeKeepsTheCurrentKeyAndTheFile) {
    desktop.holdKeyElsewhere(kF11);
    open();
    answerHotkeyInput("122");
    pressChange();
    EXPECT_EQ(messages(),
              std::vector<std::string>{"预注册热键可能已被占用，请输入其它热键值 / 热键注册失败"});
    EXPECT_EQ(caption(), "无快捷键");
    EXPECT_EQ(file(), kIniF9);
    EXPECT_EQ(heldKeys(), std::vector<int>{kF9});
    // The key held still toggles: from "无快捷键" a press gives the idle caption.
    EXPECT_TRUE(press(kF9));
    EXPECT_EQ(caption(), "快捷键F9键");
    EXPECT_TRUE(press(kF9));
    EXPECT_EQ(caption(), "正在取坐标...F9键停止");
}

TEST_F(CaptureTest, ChoosingTheKeyHeldSucceedsAndCancelShowsTheIdleCaption) {
    open();
    answerHotkeyInput("120");
    pressChange();
    EXPECT_EQ(messages(), std::vector<std::string>{"注册热键F9键成功 / 热键注册"});
    EXPECT_EQ(caption(), "快捷键F9键");
    EXPECT_EQ(heldKeys(), std::vector<int>{kF9});
    EXPECT_EQ(handlers.capture.captureHotkeyId(), 33001);

    // A cancel after that confirmation gives no value: nothing is registered.
    answerHotkeyInput(std::nullopt);
    pressChange();
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_EQ(caption(), "快捷键F9键");
    EXPECT_EQ(notify.nextId(), 33002);
    EXPECT_EQ(input.pendingHotkeyValue(), 120);
    EXPECT_TRUE(press(kF9));
    EXPECT_EQ(caption(), "正在取坐标...F9键停止");
}

TEST_F(CaptureTest, CaptureKeyIsIgnoredWhileTheUserChoosesANewKey) {
    open();
    desktop.clock().after(0, [&] {
        EXPECT_TRUE(press(kF9));
        EXPECT_EQ(caption(), "快捷键F9键");
        EXPECT_EQ(editor->timerPeriod(EditorRole::captureTimer), 0);
    });
    answerHotkeyInput(std::nullopt);
    pressChange();
    EXPECT_EQ(caption(), "快捷键F9键");
    EXPECT_EQ(editor->timerPeriod(EditorRole::captureTimer), 0);
    EXPECT_TRUE(press(kF9));
    EXPECT_EQ(caption(), "正在取坐标...F9键停止");
}

TEST_F(CaptureTest, ChangeLabelDoesNothingWhileCapturing) {
    open();
    press(kF9);
    pressChange();  // disabled: "注册热键" would block the test if it opened
    EXPECT_EQ(caption(), "正在取坐标...F9键停止");
    EXPECT_EQ(desktop.findWindow(hotkeys::kHotkeyInputWindowSpec), nullptr);
}

struct StoredKeyCase {
    const char* name;
    std::optional<std::string> stored;  // the file's content; nullopt: no file
    int heldElsewhere;                  // 0: none
    std::optional<std::string> answer;  // typed into "注册热键"; nullopt: cancelled
    std::vector<std::string> messages;
    std::string caption;
    std::vector<int> held;
    std::string fileAfter;
};

class StoredKeyTest : public CaptureTest, public ::testing::WithParamInterface<StoredKeyCase> {};

TEST_P(StoredKeyTest, EndsInAWorkingKeyOrTheFailurePathAndStoresOnlyARegisteredKey) {
    const StoredKeyCase& c = GetParam();
    if (c.stored) {
        desktop.fakeFiles().putFile(kIni, *c.stored);
    }
    if (c.heldElsewhere != 0) {
        desktop.holdKeyElsewhere(c.heldElsewhere);
    }
    if (c.answer || c.messages.size() > 0) {
        answerHotkeyInput(c.answer);
    }
    open();
    EXPECT_EQ(messages(), c.messages);
    EXPECT_EQ(caption(), c.caption);
    EXPECT_EQ(heldKeys(), c.held);
    EXPECT_EQ(file(), c.fileAfter);
    EXPECT_EQ(handlers.creationsFinished, 1);
    EXPECT_EQ(handlers.capture.captureHotkeyId() != 0, !c.held.empty());
    for (const int key : c.held) {
        EXPECT_TRUE(press(key));
        EXPECT_EQ(caption().rfind("正在取坐标...", 0), 0u) << caption();
    }
    close();
    EXPECT_TRUE(heldKeys().empty());
}

const std::string kTaken = "可能已被占用，请输入其它热键值 / 热键注册失败";
const std::string kChosenTaken = "预注册热键可能已被占用，请输入其它热键值 / 热键注册失败";

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredKeyTest,
    ::testing::Values(
        StoredKeyCase{"NoFile", std::nullopt, 0, std::nullopt, {}, "快捷键F9键", {kF9}, kIniF9},
        StoredKeyCase{"FullWidthDigits",
                      "[热键]\r\n值=１２１\r\n",
                      0,
                      std::nullopt,
                      {},
                      "快捷键F10键",
                      {kF10},
                      "[热键]\r\n值=１２１\r\n"},
        StoredKeyCase{"NamelessTab",
                      "[热键]\r\n值=9\r\n",
                      0,
                      std::nullopt,
                      {},
                      "快捷键",
                      {9},
                      "[热键]\r\n值=9\r\n"},
        StoredKeyCase{"MissingKeyThenF10",
                      "[其他]\r\n",
                      0,
                      "121",
                      {kTaken, "注册热键F10键成功 / 热键注册"},
                      "快捷键F10键",
                      {kF10},
                      "[其他]\r\n[热键]\r\n值=121\r\n"},
        StoredKeyCase{"EmptyThenCancel",
                      "[热键]\r\n值=\r\n",
                      0,
                      std::nullopt,
                      {kTaken},
                      "无快捷键",
                      {},
                      "[热键]\r\n值=\r\n"},
        StoredKeyCase{"TextThenEmptyBox",
                      "[热键]\r\n值=abc\r\n",
                      0,
                      "",
                      {kTaken},
                      "无快捷键",
                      {},
                      "[热键]\r\n值=abc\r\n"},
        StoredKeyCase{"NegativeThenTooLarge",
                      "[热键]\r\n值=-3\r\n",
                      0,
                      "99999999999",
                      {kTaken, kChosenTaken},
                      "无快捷键",
                      {},
                      "[热键]\r\n值=-3\r\n"},
        StoredKeyCase{"HugeThenMinusOnly",
                      "[热键]\r\n值=99999999999\r\n",
                      0,
                      "-",
                      {kTaken},
                      "无快捷键",
                      {},
                      "[热键]\r\n值=99999999999\r\n"},
        StoredKeyCase{"HeldElsewhereThenSameKey",
                      kIniF9,
                      kF9,
                      "120",
                      {"F9键" + kTaken, kChosenTaken},
                      "无快捷键",
                      {},
                      kIniF9},
        StoredKeyCase{"HeldElsewhereThenNameless",
                      kIniF9,
                      kF9,
                      "9",
                      {"F9键" + kTaken, "注册热键成功 / 热键注册"},
                      "快捷键",
                      {9},
                      "[热键]\r\n值=9\r\n"},
        StoredKeyCase{"ThousandsOfDigitsTyped",
                      "[热键]\r\n值=0\r\n",
                      0,
                      std::string(3000, '7'),
                      {kTaken, kChosenTaken},
                      "无快捷键",
                      {},
                      "[热键]\r\n值=0\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CaptureTest, StoredKeyHeldByTheMainWindowFailsAndF5F6F8KeepWorking) {
    app::Klikvane program(desktop);
    FakeWindow* main = static_cast<FakeWindow*>(program.openMainWindow());
    desktop.fakeFiles().putFile(kIni, "[热键]\r\n值=116\r\n");  // F5
    answerHotkeyInput("121");
    open();
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"F5键" + kTaken, "注册热键F10键成功 / 热键注册"}));
    EXPECT_EQ(heldKeys(),
              (std::vector<int>{hotkeys::kKeyF5, hotkeys::kKeyF6, hotkeys::kKeyF8, kF10}));

    // Closed while capturing: the timer stops, the key is free, F5 is the main window's.
    EXPECT_TRUE(press(kF10));
    close();
    EXPECT_EQ(editor->timerPeriod(EditorRole::captureTimer), 0);
    EXPECT_EQ(heldKeys(), (std::vector<int>{hotkeys::kKeyF5, hotkeys::kKeyF6, hotkeys::kKeyF8}));
    EXPECT_FALSE(press(kF10));
    for (const auto& h : desktop.hotkeys()) {
        EXPECT_EQ(h.window, main->handle());  // the main window's keys, still registered
    }
    main->close();
}

TEST_F(CaptureTest, SettingsFileThatCannotBeWrittenKeepsTheKeyForThisOpeningAndSaysSo) {
    desktop.fakeFiles().putFile(kIni, kIniF9);
    desktop.fakeFiles().setReplaceFails(true);  // read-only
    open();
    answerHotkeyInput("121");
    pressChange();
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              "注册热键F10键成功 / 热键注册",
                              "快捷键F10键无法保存到配置.ini，只在本次打开时有效 / 热键保存失败"}));
    EXPECT_EQ(file(), kIniF9);
    EXPECT_EQ(heldKeys(), std::vector<int>{kF10});
    // The toggle goes by the key held, not by the stale file.
    EXPECT_TRUE(press(kF10));
    EXPECT_EQ(caption(), "正在取坐标...F10键停止");
    EXPECT_TRUE(press(kF10));
    EXPECT_EQ(caption(), "快捷键F10键");
}

TEST_F(CaptureTest, SettingsFileLockedOrNotCreatableGivesF9ForThisOpening) {
    for (const bool locked : {true, false}) {
        SCOPED_TRACE(locked ? "locked" : "not creatable");
        FakeDesktop fresh;
        hotkeys::NotifyHotkeys freshNotify{fresh};
        hotkeys::HotkeyInputWindow freshInput{fresh};
        Editor freshHandlers{fresh, freshNotify, freshInput};
        if (locked) {
            fresh.fakeFiles().putFile(kIni, "[热键]\r\n值=121\r\n");
            fresh.fakeFiles().lock(kIni);
        } else {
            fresh.fakeFiles().addDirectory(kIni);  // a directory where the file should be
        }
        auto* w = static_cast<FakeWindow*>(
            fresh.openWindow(kEditorSpec, freshHandlers, platform::Modality::modeless));
        ASSERT_EQ(fresh.messages().size(), 1u);
        EXPECT_EQ(fresh.messages()[0].text, "快捷键F9键无法保存到配置.ini，只在本次打开时有效");
        EXPECT_EQ(fresh.messages()[0].title, "热键保存失败");
        EXPECT_EQ(w->text(EditorRole::captureHotkeyLabel), "快捷键F9键");
        EXPECT_TRUE(fresh.userPressesHotkey(0, kF9));
        EXPECT_EQ(w->text(EditorRole::captureHotkeyLabel), "正在取坐标...F9键停止");
        w->close();
        EXPECT_TRUE(fresh.hotkeys().empty());
    }
}

TEST_F(CaptureTest, ManyOpeningsAndChangesLeaveOneCaptureKeyWhileOpenAndNoneAfter) {
    desktop.holdKeyElsewhere(kF11);
    for (int round = 0; round < 200; ++round) {
        open();
        answerHotkeyInput(round % 3 == 2 ? "122" : (round % 2 == 0 ? "121" : "120"));
        pressChange();
        ASSERT_EQ(heldKeys().size(), 1u) << round;
        EXPECT_TRUE(press(heldKeys()[0]));
        close();
        ASSERT_TRUE(heldKeys().empty()) << round;
    }
    // Round 199 chose F9 over F10; F11 (held elsewhere) was never stored.
    EXPECT_EQ(file(), kIniF9);
}

}  // namespace
}  // namespace kv::capture
