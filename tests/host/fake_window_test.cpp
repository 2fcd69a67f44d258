#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/fake/fake_desktop.h"

namespace kv::platform::fake {
namespace {

enum class R { tick, other, radioA, radioB, radioC, radioD, button };

constexpr std::array kControls = {
    ControlSpec{ControlKind::radioButton, R::radioA, {0, 0, 10, 10}, "a", style::groupStart},
    ControlSpec{ControlKind::radioButton, R::radioB, {0, 10, 10, 10}, "b"},
    ControlSpec{ControlKind::radioButton, R::radioC, {0, 20, 10, 10}, "c", style::groupStart},
    ControlSpec{ControlKind::radioButton, R::radioD, {0, 30, 10, 10}, "d"},
    ControlSpec{ControlKind::pushButton, R::button, {0, 40, 10, 10}, "go"},
};
constexpr std::array kTimers = {TimerSpec{R::tick, 0}, TimerSpec{R::other, 40}};
constexpr WindowSpec kSpec{
    .caption = "t", .outerWidth = 100, .outerHeight = 80, .controls = kControls, .timers = kTimers};

struct Press {
    Role control;
    MouseButton button;
    Point point;
    friend bool operator==(const Press&, const Press&) = default;
};

struct Recorder : WindowHandlers {
    FakeDesktop* desktop = nullptr;
    std::vector<long> ticks;
    std::vector<Press> presses;
    void onMousePress(Window&, Role control, MouseButton button, Point point) override {
        presses.push_back({control, button, point});
    }
    int created = 0;
    int destroyed = 0;
    void onCreated(Window&) override { ++created; }
    void onDestroy(Window&) override { ++destroyed; }
    void onTimer(Window&, Role timer) override {
        if (timer.is(R::tick)) {
            ticks.push_back(static_cast<long>(desktop->clock().now()));
        }
    }
};

class FakeWindowTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    Recorder handlers;
    Window* window = nullptr;
    void SetUp() override {
        handlers.desktop = &desktop;
        window = desktop.openWindow(kSpec, handlers, Modality::modeless);
    }
};

TEST_F(FakeWindowTest, TimerPeriodStartsRestartsAndStops) {
    window->setTimerPeriod(R::tick, 100);
    desktop.clock().runUntil(250);
    EXPECT_EQ(handlers.ticks, (std::vector<long>{100, 200}));
    window->setTimerPeriod(R::tick, 100);  // the period it has: nothing changes
    desktop.clock().runUntil(300);
    EXPECT_EQ(handlers.ticks.back(), 300);
    window->setTimerPeriod(R::tick, 30);  // restart with the new period from now
    desktop.clock().runUntil(370);
    EXPECT_EQ(handlers.ticks, (std::vector<long>{100, 200, 300, 330, 360}));
    window->setTimerPeriod(R::tick, 0);
    EXPECT_EQ(window->timerPeriod(R::tick), 0);
    window->setTimerPeriod(R::tick, -5);  // a negative period also stops
    desktop.clock().runUntil(1000);
    EXPECT_EQ(handlers.ticks.size(), 5u);
}

TEST_F(FakeWindowTest, RadioBoxesClearOnlyTheirOwnGroup) {
    window->setChecked(R::radioA, true);
    window->setChecked(R::radioC, true);
    window->setChecked(R::radioB, true);
    EXPECT_FALSE(window->isChecked(R::radioA));
    EXPECT_TRUE(window->isChecked(R::radioB));
    EXPECT_TRUE(window->isChecked(R::radioC));
    EXPECT_FALSE(window->isChecked(R::radioD));
}

TEST_F(FakeWindowTest, OpeningAnOpenWindowOnlyActivatesIt) {
    EXPECT_EQ(desktop.openWindow(kSpec, handlers, Modality::modeless), window);
    EXPECT_EQ(handlers.created, 1);
    EXPECT_EQ(desktop.activations(*desktop.findWindow(kSpec)), 1);
}

TEST_F(FakeWindowTest, ClosingRunsDestroyOnceStopsTimersAndEndsTheLoop) {
    window->setTimerPeriod(R::tick, 10);
    desktop.clock().after(35, [&] { static_cast<FakeWindow*>(window)->userPressesEscape(); });
    desktop.runMessageLoop();
    EXPECT_EQ(desktop.openWindowCount(), 0);
    EXPECT_EQ(handlers.destroyed, 1);
    EXPECT_EQ(handlers.ticks, (std::vector<long>{10, 20, 30}));
    window->close();
    EXPECT_EQ(handlers.destroyed, 1);
}

TEST_F(FakeWindowTest, PressOnADisabledControlLandsOnTheBackgroundBeneathIt) {
    auto& fake = static_cast<FakeWindow&>(*window);
    fake.userPresses(R::button, MouseButton::right, {3, 4});
    window->setEnabled(R::button, false);
    fake.userPresses(R::button, MouseButton::left, {3, 4});
    fake.userPresses(Role{}, MouseButton::middle, {50, 60});
    EXPECT_EQ(handlers.presses, (std::vector<Press>{{R::button, MouseButton::right, {3, 4}},
                                                    {Role{}, MouseButton::left, {3, 44}},
                                                    {Role{}, MouseButton::middle, {50, 60}}}));
}

TEST_F(FakeWindowTest, WindowIsCreatedCentredOnTheScreen) {
    const Rect r = desktop.windowRect(window->handle());
    EXPECT_EQ(r, (Rect{(FakeDesktop::kScreenWidth - 100) / 2, (FakeDesktop::kScreenHeight - 80) / 2,
                       100, 80}));
}

}  // namespace
}  // namespace kv::platform::fake
