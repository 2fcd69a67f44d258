#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "platform/fake/fake_desktop.h"
#include "steps/step_list.h"

namespace kv::app {
namespace {

using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;

class MainWindowTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    Klikvane program{desktop};
    FakeWindow* window = nullptr;

    void SetUp() override {
        window = static_cast<FakeWindow*>(program.openMainWindow());
        ASSERT_NE(window, nullptr);
    }
    steps::StepList steps() { return steps::StepList(window->list(MainRole::stepList)); }
    void addRows(int n) {
        steps::StepList list = steps();
        for (int i = 0; i < n; ++i) {
            list.appendStep({"1", "2", "左键", "单击", "1000", "1", ""});
        }
    }
};

TEST_F(MainWindowTest, StartsWithItsTimersAndKeepsTheListHandle) {
    EXPECT_EQ(window->caption(), "鼠标自动点击");
    EXPECT_EQ(window->timerPeriod(MainRole::uiRefreshTimer), 100);
    EXPECT_EQ(window->timerPeriod(MainRole::scheduleTimer), 500);
    EXPECT_EQ(window->timerPeriod(MainRole::repeatTimer), 0);
    EXPECT_EQ(window->timerPeriod(MainRole::quickAddTimer), 0);
    EXPECT_EQ(window->text(MainRole::startButton), kCaptionIdle);
    EXPECT_EQ(program.shared().stepListHandle.load(), window->controlHandle(MainRole::stepList));
    EXPECT_NE(program.shared().stepListHandle.load(), 0u);
}

TEST_F(MainWindowTest, FirstRefreshComesAfter100msAndForcesRunOnceOnAnEmptyList) {
    EXPECT_TRUE(window->isEnabled(MainRole::loopRadio));
    desktop.clock().runUntil(99);
    EXPECT_FALSE(window->isChecked(MainRole::runOnceRadio));
    desktop.clock().runUntil(100);
    EXPECT_TRUE(window->isChecked(MainRole::runOnceRadio));
    EXPECT_FALSE(window->isChecked(MainRole::loopRadio));
    EXPECT_FALSE(window->isEnabled(MainRole::runOnceRadio));
    EXPECT_FALSE(window->isEnabled(MainRole::loopRadio));
    EXPECT_FALSE(window->isMenuItemEnabled(MainRole::menuEdit));
    EXPECT_FALSE(window->isMenuItemEnabled(MainRole::menuDelete));
    EXPECT_FALSE(window->isMenuItemEnabled(MainRole::menuDeleteAll));
    EXPECT_TRUE(window->isMenuItemEnabled(MainRole::menuAdd));  // never touched by the refresh
}

TEST_F(MainWindowTest, RadioBoxesFollowTheRowCountAndKeepTheirChecks) {
    addRows(2);
    desktop.clock().runFor(100);
    EXPECT_EQ(program.shared().stepCount.load(), 2);
    EXPECT_TRUE(window->isEnabled(MainRole::runOnceRadio));
    EXPECT_TRUE(window->isEnabled(MainRole::loopRadio));
    EXPECT_FALSE(window->isChecked(MainRole::runOnceRadio));  // neither until the user picks
    EXPECT_FALSE(window->isChecked(MainRole::loopRadio));
    EXPECT_TRUE(window->isMenuItemEnabled(MainRole::menuEdit));

    window->userClicks(MainRole::loopRadio);
    desktop.clock().runFor(100);
    EXPECT_TRUE(window->isChecked(MainRole::loopRadio));

    steps().deleteRow(0);  // one row: loop no longer makes sense
    desktop.clock().runFor(100);
    EXPECT_EQ(program.shared().stepCount.load(), 1);
    EXPECT_TRUE(window->isChecked(MainRole::runOnceRadio));
    EXPECT_FALSE(window->isChecked(MainRole::loopRadio));
    EXPECT_TRUE(window->isMenuItemEnabled(MainRole::menuDeleteAll));

    addRows(1);  // back to two: enabled again, run once stays checked
    desktop.clock().runFor(100);
    EXPECT_TRUE(window->isEnabled(MainRole::loopRadio));
    EXPECT_TRUE(window->isChecked(MainRole::runOnceRadio));
}

TEST_F(MainWindowTest, WindowUnderMouseIsTheSmallestVisibleSiblingUnderTheCursor) {
    const auto top = desktop.addNativeWindow(0, {0, 0, 300, 300});
    // In z-order, front first: a large frame, a small hidden box, a small visible box.
    const auto small = desktop.addNativeWindow(top, {40, 40, 20, 20});
    const auto hidden = desktop.addNativeWindow(top, {45, 45, 5, 5}, false);
    const auto frame = desktop.addNativeWindow(top, {0, 0, 200, 200});
    (void)hidden;
    desktop.setCursorPosition({50, 50});
    desktop.clock().runFor(100);
    EXPECT_EQ(program.shared().windowUnderMouse.load(), small);

    desktop.setCursorPosition({150, 150});  // only the frame holds this point
    desktop.clock().runFor(100);
    EXPECT_EQ(program.shared().windowUnderMouse.load(), frame);

    desktop.setCursorPosition({250, 250});  // the top-level window itself: no parent
    desktop.clock().runFor(100);
    EXPECT_EQ(program.shared().windowUnderMouse.load(), top);
}

TEST_F(MainWindowTest, EscapeClosesTheWindowAndTheMessageLoopEnds) {
    desktop.clock().after(250, [&] { window->userPressesEscape(); });
    desktop.runMessageLoop();
    EXPECT_FALSE(window->isOpen());
    EXPECT_EQ(desktop.clock().now(), 250);
    EXPECT_EQ(desktop.openWindowCount(), 0);
}

TEST(MainWindowStore, FirstStartCreatesTheStoreAndRowsSurviveARestart) {
    FakeDesktop desktop;
    const std::string store = desktop.programDirectory() + "\\数据库.edb";
    {
        Klikvane program(desktop);
        auto* window = static_cast<FakeWindow*>(program.openMainWindow());
        ASSERT_TRUE(desktop.fakeFiles().contents(store).has_value());
        EXPECT_EQ(desktop.fakeFiles().contents(store)->size(), 620u);
        steps::StepList steps(window->list(MainRole::stepList));
        steps.appendStep({"100", "200", "右键", "双击", "500", "3", "你好"});
        steps.appendStep({"1", "2", "左键", "单击", "1000", "1", ""});
        window->userPressesEscape();
    }
    EXPECT_EQ(desktop.fakeFiles().contents(store)->size(), 620u + 2 * 3588u);
    Klikvane again(desktop);
    auto* window = static_cast<FakeWindow*>(again.openMainWindow());
    steps::StepList steps(window->list(MainRole::stepList));
    ASSERT_EQ(steps.rowCount(), 2);
    EXPECT_EQ(steps.readRow(0),
              (steps::StepRecord{"100", "200", "右键", "双击", "500", "3", "你好"}));
    EXPECT_EQ(steps.readCell(1, 0), "1");
    EXPECT_TRUE(desktop.messages().empty());
}

TEST(ProgramTexts, LiteralsAreGbkBytes) {
    EXPECT_EQ(std::string(kMainWindowSpec.caption),
              "\xca\xf3\xb1\xea\xd7\xd4\xb6\xaf\xb5\xe3\xbb\xf7");  // 鼠标自动点击
    EXPECT_EQ(std::string(kCaptionIdle),
              "\xbf\xaa\xca\xbc\xd6\xb4\xd0\xd0\xa3\xa8"
              "F5\xa3\xa9");
    EXPECT_EQ(std::string(kCaptionRunning), "\xcd\xa3\xd6\xb9(F5)");
}

}  // namespace
}  // namespace kv::app
