// The input primitives on the fake desktop's driving thread, which plays the
// UI thread: waits run the virtual clock nested, so what falls due during a
// wait is dispatched inside it.
#include "playback/primitives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_desktop.h"
#include "playback/held_buttons.h"
#include "playback/mouse_action.h"
#include "playback/step_codes.h"
#include "playback/wait_unit.h"

namespace kv::playback {
namespace {

using platform::MouseEvent;
using platform::fake::FakeDesktop;
using platform::fake::mouseEventName;

std::string describe(const std::vector<MouseStep>& steps) {
    std::string text;
    for (const MouseStep& step : steps) {
        text +=
            step.kind == MouseStep::Kind::doubleClickPause ? "pause" : mouseEventName(step.event);
        text += " ";
    }
    return text;
}

TEST(MouseSteps, ButtonAndActionCodesMakeTheirEventSequences) {
    struct Case {
        int button;
        int action;
        const char* events;
    };
    const Case cases[] = {
        {0, 0, "leftDown leftUp "},  // 0 counts as 1 for both
        {1, 1, "leftDown leftUp "},
        {1, 2, "leftDown leftUp pause leftDown leftUp "},
        {1, 3, "leftDown "},
        {1, 4, "leftUp "},
        {2, 0, "rightDown rightUp "},
        {2, 2, "rightDown rightUp pause rightDown rightUp "},
        {2, 3, "rightDown "},
        {2, 4, "rightUp "},
        {3, 1, "middleDown middleUp "},
        {3, 3, "middleDown "},
        {0, 4, "leftUp "},
        {1, 5, ""},  // unknown action
        {4, 1, ""},  // unknown button
        {-1, 1, ""},
        {2, -3, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(describe(mouseSteps(c.button, c.action)), c.events)
            << "button " << c.button << " action " << c.action;
    }
}

TEST(WaitUnit, AmountsBecomeHundredNanosecondUnits) {
    struct Case {
        int amount;
        int unit;
        std::int64_t hundredNs;
    };
    const Case cases[] = {
        {0, 0, 0},
        {300, 0, 3'000'000},
        {1500, 1, 15'000},
        {5, 2, 50'000'000},
        {2, 3, 1'200'000'000},
        {1, 4, 36'000'000'000},
        {1, 5, 864'000'000'000},
        {7'200'000, 0, 72'000'000'000},  // two hours, beyond 32 bits
        {-5, 0, -50'000},
        {5, 6, 0},  // unknown unit: no wait
        {5, -1, 0},
        {2147483647, 5, 9'000'000'000'000'000'000},  // clamped, not undefined
    };
    for (const Case& c : cases) {
        EXPECT_EQ(waitHundredNs(c.amount, c.unit), c.hundredNs)
            << c.amount << " of unit " << c.unit;
    }
}

TEST(StepCodes, OnlyExactTextsMapAndOthersKeepThePreviousCode) {
    struct Case {
        const char* text;
        int previous;
        int button;
        int action;
    };
    const Case cases[] = {
        {"左键", 3, 1, 3},  {"右键", 0, 2, 0}, {"中键", 1, 3, 1},  {"单击", 2, 2, 1},
        {"双击", 0, 0, 2},  {"按下", 0, 0, 3}, {"放开", 1, 1, 4},  {"", 2, 2, 2},
        {"左键 ", 3, 3, 3}, {"左", 2, 2, 2},   {"单击x", 4, 4, 4}, {"left", 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(buttonCodeFor(c.text, c.previous), c.button) << c.text;
        EXPECT_EQ(actionCodeFor(c.text, c.previous), c.action) << c.text;
    }
}

class PrimitivesTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    Primitives primitives{desktop};

    std::vector<std::string> timeline() { return desktop.fakeInput().timeline(); }
    long now() { return static_cast<long>(desktop.clock().now()); }
};

TEST_F(PrimitivesTest, PumpWaitReturnsOnceTheTickCountHasMovedMoreThanTheAmount) {
    primitives.pumpWait(0);
    primitives.pumpWait(-5);
    EXPECT_EQ(now(), 0);
    primitives.pumpWait(300);
    EXPECT_EQ(now(), 301);
}

TEST_F(PrimitivesTest, PumpWaitAcrossTheTickCountWrapStillWaitsItsTime) {
    desktop.setTickBase(0xFFFFFF00u);  // wraps 256 ms in
    primitives.pumpWait(300);
    EXPECT_EQ(now(), 301);
}

TEST_F(PrimitivesTest, PumpWaitDispatchesWhatFallsDueMeanwhile) {
    std::vector<long> ran;
    desktop.clock().at(100, [&] { ran.push_back(now()); });
    desktop.clock().at(250, [&] { ran.push_back(now()); });
    desktop.clock().at(400, [&] { ran.push_back(now()); });
    primitives.pumpWait(300);
    EXPECT_EQ(ran, (std::vector<long>{100, 250}));
}

TEST_F(PrimitivesTest, WaitsEndEarlyWhenTheirSignalIsSet) {
    auto stop = desktop.waits().createSignal();
    desktop.clock().at(120, [&] { stop->set(); });
    primitives.pumpWait(300, stop.get());
    EXPECT_EQ(now(), 120);
    primitives.timerWait(5, static_cast<int>(WaitUnit::second), stop.get());
    EXPECT_EQ(now(), 120);
}

TEST_F(PrimitivesTest, TimerWaitHonoursItsUnit) {
    struct Case {
        int amount;
        int unit;
        long waited;
    };
    // The fake counts whole milliseconds, so 1.5 ms lasts 2.
    const Case cases[] = {{5, 2, 5000}, {1500, 1, 2}, {0, 0, 0}, {-3, 0, 0}, {250, 0, 250}};
    for (const Case& c : cases) {
        const long before = now();
        primitives.timerWait(c.amount, c.unit);
        EXPECT_EQ(now() - before, c.waited) << c.amount << " of unit " << c.unit;
    }
}

TEST_F(PrimitivesTest, DoubleClickPausesHalfTheDoubleClickTimeAndKeepsDispatching) {
    bool dispatched = false;
    desktop.clock().at(100, [&] { dispatched = true; });
    primitives.mouseAction(kLeftButton, kDoubleClick);
    EXPECT_EQ(timeline(),
              (std::vector<std::string>{"0 leftDown", "0 leftUp", "250 leftDown", "250 leftUp"}));
    EXPECT_TRUE(dispatched);

    desktop.fakeInput().clear();
    desktop.fakeInput().setDoubleClickTime(900);
    primitives.mouseAction(kRightButton, kDoubleClick);
    EXPECT_EQ(timeline(), (std::vector<std::string>{"250 rightDown", "250 rightUp", "700 rightDown",
                                                    "700 rightUp"}));
}

TEST_F(PrimitivesTest, PressAndReleaseAreSeparateAndHeldButtonsFollowThem) {
    HeldButtons held;
    primitives.mouseAction(kRightButton, kPress, nullptr, &held);
    EXPECT_TRUE(held.anyHeld());
    primitives.mouseAction(kRightButton, kRelease, nullptr, &held);
    EXPECT_FALSE(held.anyHeld());
    primitives.mouseAction(kMiddleButton, kPress, nullptr, &held);
    primitives.mouseAction(kLeftButton, kPress, nullptr, &held);
    held.releaseAll(desktop.input());
    EXPECT_FALSE(held.anyHeld());
    held.releaseAll(desktop.input());  // nothing is held twice
    EXPECT_EQ(timeline(), (std::vector<std::string>{"0 rightDown", "0 rightUp", "0 middleDown",
                                                    "0 leftDown", "0 leftUp", "0 middleUp"}));
}

TEST_F(PrimitivesTest, MoveCursorIsRelativeToAWindowsClientOriginOrToTheScreen) {
    // A second monitor left of the primary holds the negative point.
    desktop.setMonitors({{0, 0, 1280, 1024}, {-1280, 0, 1280, 1024}});
    const platform::NativeWindow target = desktop.addNativeWindow(0, {100, 50, 200, 100});
    primitives.moveCursor(target, 10, 20);
    EXPECT_EQ(primitives.cursorPosition(), (platform::Point{110, 70}));
    primitives.moveCursor(0, -15, 30);
    EXPECT_EQ(primitives.cursorPosition(), (platform::Point{-15, 30}));
    EXPECT_EQ(primitives.windowAtPoint(150, 60), target);
    EXPECT_EQ(primitives.windowAtPoint(5, 5), 0u);
}

TEST_F(PrimitivesTest, TypeTextSendsTheWholeTextAndAnEmptyTextNothing) {
    const platform::NativeWindow target = desktop.addNativeWindow(0, {0, 0, 50, 50});
    primitives.typeText(target, "", nullptr);
    primitives.typeText(target, "a中");
    const auto records = desktop.fakeInput().records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].window, target);
    EXPECT_EQ(records[0].text, "a\xD6\xD0");  // 中 in code page 936
}

}  // namespace
}  // namespace kv::playback
