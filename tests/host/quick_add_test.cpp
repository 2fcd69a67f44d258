#include "capture/quick_add.h"

#include <gtest/gtest.h>

#include "app/klikvane.h"
#include "mainwin/main_role.h"
#include "mainwin/run_captions.h"
#include "platform/fake/fake_desktop.h"
#include "steps/step_list.h"

namespace kv::capture {
namespace {

using mainwin::MainRole;
using platform::Point;
using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;
using steps::StepRecord;

constexpr int kF6 = 117;

class QuickAddTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    app::Klikvane program{desktop};
    FakeWindow* main = nullptr;

    void SetUp() override {
        main = static_cast<FakeWindow*>(program.openMainWindow());
        ASSERT_NE(main, nullptr);
    }
    steps::StepList steps() { return steps::StepList(main->list(MainRole::stepList)); }
    std::string caption() const { return main->text(MainRole::quickAddButton); }
    std::vector<std::string> points() {
        std::vector<std::string> all;
        for (int row = 0; row < steps().rowCount(); ++row) {
            all.push_back(steps().readCell(row, 0) + "," + steps().readCell(row, 1));
        }
        return all;
    }
    // The cursor rests at `point` from now on; time moves by `ms`.
    void restAt(Point point, int ms = 500) {
        desktop.setCursorPosition(point);
        desktop.clock().runFor(ms);
    }
};

TEST_F(QuickAddTest, ButtonAndF6ToggleTheSameState) {
    EXPECT_EQ(caption(), "快速添加（F6）");
    main->userClicks(MainRole::quickAddButton);
    EXPECT_EQ(caption(), "停止（F6）");
    EXPECT_EQ(main->timerPeriod(MainRole::quickAddTimer), 500);
    EXPECT_TRUE(desktop.userPressesHotkey(0, kF6));
    EXPECT_EQ(caption(), "快速添加（F6）");
    EXPECT_EQ(main->timerPeriod(MainRole::quickAddTimer), 0);
    EXPECT_TRUE(desktop.userPressesHotkey(0, kF6));
    EXPECT_EQ(caption(), "停止（F6）");
    main->userClicks(MainRole::quickAddButton);
    EXPECT_EQ(caption(), "快速添加（F6）");
    // Any other caption leaves both alone.
    main->setText(MainRole::quickAddButton, "别的");
    main->userClicks(MainRole::quickAddButton);
    EXPECT_EQ(caption(), "别的");
    EXPECT_EQ(main->timerPeriod(MainRole::quickAddTimer), 0);
}

TEST_F(QuickAddTest, RecordsEachNewRestingPointEvery500ms) {
    // A second monitor left of the primary holds the negative point.
    desktop.setMonitors({{0, 0, 1280, 1024}, {-1280, 0, 1280, 1024}});
    desktop.setCursorPosition({0, 0});
    main->userClicks(MainRole::quickAddButton);
    desktop.clock().runFor(1000);
    EXPECT_EQ(steps().rowCount(), 0);  // at (0, 0), as an empty last row says
    restAt({10, 20}, 499);
    EXPECT_EQ(steps().rowCount(), 0);  // the tick is not due yet
    desktop.clock().runFor(1);
    ASSERT_EQ(steps().rowCount(), 1);
    EXPECT_EQ(steps().readRow(0), (StepRecord{"10", "20", "左键", "单击", "1000", "1", ""}));
    restAt({10, 20}, 2000);
    restAt({-12, 5});
    restAt({10, 20});  // an older point, not the last one
    EXPECT_EQ(points(), (std::vector<std::string>{"10,20", "-12,5", "10,20"}));
}

TEST_F(QuickAddTest, ComparesWithTheLastRowOnly) {
    steps().appendStep({"10", "20", "右键", "双击", "5", "5", ""});
    steps().appendStep({"abc", "7", "右键", "双击", "5", "5", ""});
    main->userClicks(MainRole::quickAddButton);
    restAt({0, 7});  // "abc" counts as 0
    EXPECT_EQ(steps().rowCount(), 2);
    steps().deleteRow(1);
    restAt({10, 20});
    EXPECT_EQ(steps().rowCount(), 1);
    steps().deleteRow(0);
    desktop.clock().runFor(500);
    EXPECT_EQ(points(), (std::vector<std::string>{"10,20"}));  // the same point again
}

TEST_F(QuickAddTest, AnUnreadableCursorAddsNothing) {
    desktop.setCursorPosition({300, 400});
    desktop.setCursorReadable(false);
    main->userClicks(MainRole::quickAddButton);
    desktop.clock().runFor(2000);
    EXPECT_EQ(steps().rowCount(), 0);
    desktop.setCursorReadable(true);
    desktop.clock().runFor(500);
    EXPECT_EQ(points(), (std::vector<std::string>{"300,400"}));
}

TEST_F(QuickAddTest, PausesWhileARunIsInProgressAndResumesAfter) {
    steps().appendStep({"1", "1", "左键", "单击", "1000", "1", ""});
    steps().appendStep({"2", "2", "左键", "单击", "1000", "1", ""});
    desktop.clock().runFor(100);
    main->userClicks(MainRole::loopRadio);
    main->userClicks(MainRole::quickAddButton);
    main->userClicks(MainRole::startButton);
    ASSERT_EQ(main->text(MainRole::startButton), mainwin::kCaptionRunning);
    for (int i = 0; i < 6; ++i) {
        restAt({500 + i, 500});
        EXPECT_EQ(main->text(MainRole::quickAddButton), "停止（F6）");
    }
    EXPECT_EQ(steps().rowCount(), 2);
    main->userClicks(MainRole::startButton);
    desktop.clock().finishWorkers();
    restAt({600, 600});
    EXPECT_EQ(steps().rowCount(), 3);
}

}  // namespace
}  // namespace kv::capture
