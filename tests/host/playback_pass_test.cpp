// Passes over lists of two or more rows. Each runs on a real worker thread
// whose waits follow the virtual clock, so the timelines are exact.
#include <gtest/gtest.h>

#include "app/klikvane.h"
#include "playback_harness.h"

namespace kv::playback::test {
namespace {

using Lines = std::vector<std::string>;

class PlaybackPassThread : public PlaybackFixture, public ::testing::Test {};

TEST_F(PlaybackPassThread, ThreeRowsAreMovedToWaitedForClickedAndTypedInOrder) {
    const auto target = desktop.addNativeWindow(0, {250, 350, 100, 100});
    addRow({"100", "200", "左键", "单击", "5000", "10", ""});
    addRow({"300", "400", "右键", "单击", "5000", "10", "abc"});
    addRow({"5", "6", "中键", "单击", "5000", "10", ""});
    pressStart();
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(running());
    desktop.clock().runUntil(1203);
    EXPECT_TRUE(running());
    desktop.clock().runUntil(1204);
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
    desktop.clock().finishWorkers();
    // The interval and click-count cells play no part in a pass.
    EXPECT_EQ(timeline(), (Lines{"0 move 100,200", "301 leftDown", "301 leftUp", "301 move 300,400",
                                 "602 rightDown", "602 rightUp", "903 text abc", "903 move 5,6",
                                 "1204 middleDown", "1204 middleUp"}));
    EXPECT_EQ(desktop.fakeInput().records()[6].window, target);
    EXPECT_TRUE(allInputFrom(std::this_thread::get_id(), false));
    EXPECT_EQ(shared.stepCount, 3);
    EXPECT_EQ(handlers.shutdowns, 0);
}

TEST_F(PlaybackPassThread, DoubleClickPressAndReleaseRowsKeepTheirTiming) {
    desktop.fakeInput().setDoubleClickTime(500);
    addRow({"1", "1", "左键", "双击", "", "", ""});
    addRow({"2", "2", "右键", "按下", "", "", ""});
    addRow({"3", "3", "右键", "放开", "", "", ""});
    pressStart();
    desktop.clock().finishWorkers();
    EXPECT_EQ(timeline(),
              (Lines{"0 move 1,1", "301 leftDown", "301 leftUp", "551 leftDown", "551 leftUp",
                     "551 move 2,2", "852 rightDown", "852 move 3,3", "1153 rightUp"}));
}

TEST_F(PlaybackPassThread, UnknownTextsPlayWithTheCodesOfTheStepBeforeEvenAcrossRuns) {
    addRow({"1", "1", "鼠标", "点", "", "", ""});  // nothing played yet: a left click
    addRow({"2", "2", "右键", "双击", "", "", ""});
    addRow({"3", "3", "右键 ", "双击2", "", "", ""});
    addRow({"4", "4", "中键", "", "", "", ""});
    pressStart();
    desktop.clock().finishWorkers();
    EXPECT_EQ(mouseEvents(),
              "leftDown leftUp rightDown rightUp rightDown rightUp rightDown rightUp rightDown "
              "rightUp middleDown middleUp middleDown middleUp ");

    desktop.fakeInput().clear();
    steps().deleteAllRows();
    addRow({"1", "1", "?", "?", "", "", ""});
    addRow({"2", "2", "?", "?", "", "", ""});
    pressStart();
    desktop.clock().finishWorkers();
    EXPECT_EQ(mouseEvents(),
              "middleDown middleUp middleDown middleUp middleDown middleUp middleDown middleUp ");
}

TEST_F(PlaybackPassThread, CoordinatesThatAreNoNumbersCountAsZero) {
    addRow({"x", "１２", "左键", "单击", "", "", ""});  // full-width digits fold to 12
    addRow({"-7", "", "左键", "单击", "", "", ""});
    pressStart();
    desktop.clock().finishWorkers();
    EXPECT_EQ(timeline()[0], "0 move 0,12");
    EXPECT_EQ(timeline()[3], "301 move -7,0");
}

TEST_F(PlaybackPassThread, LoopStartsOverUntilStoppedAndTheStopDropsTheWaitingRow) {
    addRow({"1", "1", "左键", "单击", "", "", ""});
    addRow({"2", "2", "左键", "单击", "", "", ""});
    window->userClicks(MainRole::loopRadio);
    pressStart();
    pressStartAt(1300);  // row 1 of the third pass is waiting from 1204 to 1505
    desktop.clock().runUntil(1300);
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
    desktop.clock().runUntil(10000);
    EXPECT_EQ(timeline(),
              (Lines{"0 move 1,1", "301 leftDown", "301 leftUp", "301 move 2,2", "602 leftDown",
                     "602 leftUp", "602 move 1,1", "903 leftDown", "903 leftUp", "903 move 2,2",
                     "1204 leftDown", "1204 leftUp", "1204 move 1,1"}));
    EXPECT_EQ(desktop.clock().runningWorkers(), 0);
}

TEST_F(PlaybackPassThread, StopInRunOnceModeDropsTheWaitingRowAndEveryRowAfterIt) {
    addRow({"1", "1", "左键", "单击", "", "", ""});
    addRow({"2", "2", "左键", "单击", "", "", "hi"});
    addRow({"3", "3", "左键", "单击", "", "", ""});
    pressStartAt(0);
    pressStartAt(450);  // row 2 waits from 301 to 602
    desktop.clock().runUntil(10000);
    // Row 2 drops its click and its typing; row 3 never comes.
    EXPECT_EQ(timeline(), (Lines{"0 move 1,1", "301 leftDown", "301 leftUp", "301 move 2,2"}));
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
}

TEST_F(PlaybackPassThread, StopReleasesEveryButtonTheRunLeftPressed) {
    addRow({"1", "1", "左键", "按下", "", "", ""});
    addRow({"2", "2", "右键", "按下", "", "", ""});
    addRow({"3", "3", "中键", "单击", "", "", ""});
    pressStartAt(0);
    pressStartAt(450);
    desktop.clock().runUntil(10000);
    EXPECT_EQ(timeline(), (Lines{"0 move 1,1", "301 leftDown", "301 move 2,2", "450 leftUp"}));
}

// After a stop no new press and no new character, whichever wait of its row
// the stop finds the pass in.
TEST_F(PlaybackPassThread, AStopInAnyWaitOfARowMakesNoFurtherPressOrCharacter) {
    struct Case {
        const char* where;
        const char* action;
        const char* text;
        long stopAt;
        Lines tail;  // what row 2 still does
    };
    const Case cases[] = {
        {"before the action", "单击", "", 450, {}},
        {"between the clicks of a double click", "双击", "", 700, {"602 leftDown", "602 leftUp"}},
        {"before the typing", "单击", "hi", 700, {"602 leftDown", "602 leftUp"}},
        {"in the typing",
         "单击",
         "ab中de",
         925,
         {"602 leftDown", "602 leftUp", "903 text a", "913 text b", "923 text \xD6\xD0"}},
    };
    for (const Case& c : cases) {
        FakeDesktop desk;
        mainwin::SharedValues values;
        PlaybackHandlers h{desk, values};
        auto* w = static_cast<FakeWindow*>(
            desk.openWindow(app::kMainWindowSpec, h, platform::Modality::modeless));
        w->setTimerPeriod(MainRole::uiRefreshTimer, 0);
        w->setTimerPeriod(MainRole::scheduleTimer, 0);
        desk.fakeInput().setCharacterTime(10);
        steps::StepList list(w->list(MainRole::stepList));
        list.appendStep({"1", "1", "左键", "按下", "", "", ""});
        list.appendStep({"2", "2", "左键", c.action, "", "", c.text});
        list.appendStep({"3", "3", "左键", "单击", "", "", ""});
        w->userClicks(MainRole::startButton);
        desk.clock().at(c.stopAt, [w] { w->userClicks(MainRole::startButton); });
        desk.clock().runUntil(10000);

        Lines expected{"0 move 1,1", "301 leftDown", "301 move 2,2"};
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        // The button row 1 left pressed is let go at the stop.
        expected.push_back(std::to_string(c.stopAt) + " leftUp");
        if (c.tail.size() >= 2) {
            // Row 2's own click released it already.
            expected.pop_back();
        }
        EXPECT_EQ(desk.fakeInput().timeline(), expected) << c.where;
        EXPECT_EQ(w->text(MainRole::startButton), mainwin::kCaptionIdle) << c.where;
    }
}

TEST_F(PlaybackPassThread, CompletedRunLeavesAPressOnlyRowPressed) {
    addRow({"1", "1", "左键", "单击", "", "", ""});
    addRow({"2", "2", "左键", "按下", "", "", ""});
    pressStart();
    desktop.clock().finishWorkers();
    EXPECT_EQ(mouseEvents(), "leftDown leftUp leftDown ");
}

TEST_F(PlaybackPassThread, StartWhileAStoppedPassFinishesWaitsForItToEnd) {
    addRow({"1", "1", "左键", "单击", "", "", ""});
    addRow({"2", "2", "右键", "单击", "", "", "ab"});
    pressStart();
    desktop.clock().at(450, [this] {
        pressStart();  // stop: the pass drops row 2
        pressStart();  // start again at once
    });
    desktop.clock().runUntil(451);
    EXPECT_TRUE(running());  // the finished pass leaves the new run's caption alone
    desktop.clock().finishWorkers();
    EXPECT_EQ(timeline(), (Lines{"0 move 1,1", "301 leftDown", "301 leftUp", "301 move 2,2",
                                 "450 move 1,1", "751 leftDown", "751 leftUp", "751 move 2,2",
                                 "1052 rightDown", "1052 rightUp", "1353 text ab"}));
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
}

TEST_F(PlaybackPassThread, LoopThatFindsOneRowHandsOverToTheRepeat) {
    addRow({"1", "1", "左键", "单击", "1000", "2", ""});
    addRow({"2", "2", "左键", "单击", "", "", ""});
    window->userClicks(MainRole::loopRadio);
    pressStart();
    desktop.clock().at(100, [this] {
        steps().deleteRow(1);
        shared.stepCount = 1;  // as the refresh or quick add would count
    });
    desktop.clock().runUntil(5000);
    EXPECT_EQ(timeline(),
              (Lines{"0 move 1,1", "301 leftDown", "301 leftUp", "1301 move 1,1", "1301 leftDown",
                     "1301 leftUp", "2301 move 1,1", "2301 leftDown", "2301 leftUp"}));
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
}

TEST_F(PlaybackPassThread, ShutdownFollowsACompletedOrStoppedPassWhenArmed) {
    addRow({"1", "1", "左键", "单击", "", "", ""});
    addRow({"2", "2", "左键", "单击", "", "", ""});
    pressStart();
    desktop.clock().finishWorkers();
    EXPECT_EQ(handlers.shutdowns, 0);

    shared.shutdownWhenDone = 1;
    pressStart();
    desktop.clock().finishWorkers();
    EXPECT_EQ(handlers.shutdowns, 1);

    window->userClicks(MainRole::loopRadio);
    pressStart();
    pressStartAt(desktop.clock().now() + 2000);
    desktop.clock().runFor(5000);
    EXPECT_EQ(handlers.shutdowns, 2);
}

TEST_F(PlaybackPassThread, EmptyListIsRefusedWithItsMessageAndTheEditor) {
    shared.editorMode = mainwin::kEditorEdit;
    pressStart();
    EXPECT_TRUE(window->isMinimized());
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].text, "无任务可执行,请添加任务");
    EXPECT_EQ(desktop.messages()[0].title, "任务列表空");
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
    EXPECT_EQ(shared.editorMode, mainwin::kEditorAdd);
    EXPECT_EQ(handlers.editorOpens, 1);
    EXPECT_EQ(desktop.clock().runningWorkers(), 0);
}

// The real main window, whose 100 ms refresh counts the rows.
class PlaybackLoopThread : public ::testing::Test {
protected:
    FakeDesktop desktop;
    app::Klikvane program{desktop};
    FakeWindow* window = nullptr;

    void SetUp() override {
        window = static_cast<FakeWindow*>(program.openMainWindow());
        for (int i = 1; i <= 3; ++i) {
            steps().appendStep({std::to_string(i), "0", "左键", "单击", "", "", ""});
        }
        window->userClicks(MainRole::loopRadio);
    }
    steps::StepList steps() { return steps::StepList(window->list(MainRole::stepList)); }
    std::vector<std::string> timeline() { return desktop.fakeInput().timeline(); }
};

TEST_F(PlaybackLoopThread, RowsAddedDuringAPassEndTheLoopAfterThePassOwnRows) {
    steps().deleteRow(2);
    window->userClicks(MainRole::startButton);
    desktop.clock().at(150, [this] { steps().appendStep({"9", "9", "左键", "单击"}); });
    desktop.clock().runUntil(5000);
    EXPECT_EQ(timeline(), (Lines{"0 move 1,0", "301 leftDown", "301 leftUp", "301 move 2,0",
                                 "602 leftDown", "602 leftUp"}));
    EXPECT_EQ(window->text(MainRole::startButton), mainwin::kCaptionIdle);
}

TEST_F(PlaybackLoopThread, ListThatShrankToTheRowInProgressStartsOverEarly) {
    window->userClicks(MainRole::startButton);
    desktop.clock().at(350, [this] { steps().deleteRow(2); });
    desktop.clock().at(700, [this] { desktop.userPressesHotkey(0, 116); });
    desktop.clock().runUntil(5000);
    EXPECT_EQ(timeline(), (Lines{"0 move 1,0", "301 leftDown", "301 leftUp", "301 move 2,0",
                                 "602 leftDown", "602 leftUp", "602 move 1,0"}));
    EXPECT_EQ(program.shared().stepCount, 2);
}

}  // namespace
}  // namespace kv::playback::test
