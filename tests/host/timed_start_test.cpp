#include "schedule/timed_start.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "platform/fake/fake_desktop.h"
#include "steps/settings_file.h"
#include "steps/step_list.h"

namespace kv::schedule {
namespace {

using app::MainRole;
using platform::LocalTime;
using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;
namespace settings = steps::settings;

constexpr const char* kDir = "C:\\Klikvane";

TEST(CountdownTextTest, HoursMinutesAndSecondsWithoutLeadingZeros) {
    EXPECT_EQ(countdownText(3909), "定时点击任务已启动剩余1小时5分9秒");
    EXPECT_EQ(countdownText(5), "定时点击任务已启动剩余0小时0分5秒");
    EXPECT_EQ(countdownText(86399), "定时点击任务已启动剩余23小时59分59秒");
}

TEST(CountdownTextTest, OnlyPlainNumbersInRangeFormATarget) {
    EXPECT_EQ(targetSecondOfDay("8", "50", "0"), 8 * 3600 + 50 * 60);
    EXPECT_EQ(targetSecondOfDay("23", "59", "59"), 86399);
    EXPECT_EQ(targetSecondOfDay("0", "0", "0"), 0);
    for (const char* bad : {"", "-1", "24", "60", "abc", "1x", " 5", "+5", "999"}) {
        const std::string minute = std::string(bad) == "24" ? "0" : bad;
        EXPECT_EQ(targetSecondOfDay(bad, "0", "0").has_value(), false) << bad;
        EXPECT_EQ(targetSecondOfDay("0", minute, "0").has_value(), minute == "0") << bad;
    }
}

// The main window's own ticks are stopped; each test ticks by hand at the
// virtual moments it names, with the wall clock where it sets it.
class TimedStartTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    platform::WindowHandlers idle;
    FakeWindow* main = nullptr;
    TimedStart timedStart{desktop};
    std::vector<std::string> flagAtStart;  // "是否" as each run started

    void SetUp() override {
        desktop.setProgramDirectory(kDir);
        main = static_cast<FakeWindow*>(
            desktop.openWindow(app::kMainWindowSpec, idle, platform::Modality::modeless));
        main->setTimerPeriod(MainRole::uiRefreshTimer, 0);
        main->setTimerPeriod(MainRole::scheduleTimer, 0);
        steps::createScheduleSettings(desktop.fakeFiles(), kDir);
    }
    void arm(const char* hour, const char* minute, const char* second) {
        const steps::SettingWrite writes[] = {
            {settings::kScheduleSection, settings::kEnabledKey, "是"},
            {settings::kScheduleSection, settings::kHourKey, hour},
            {settings::kScheduleSection, settings::kMinuteKey, minute},
            {settings::kScheduleSection, settings::kSecondKey, second},
        };
        ASSERT_TRUE(steps::writeSettings(desktop.fakeFiles(), kDir, writes));
        timedStart.rearm();
    }
    // Ticks at virtual time `at` (ms); returns the label afterwards.
    std::string tickAt(long at) {
        desktop.clock().runUntil(at);
        timedStart.tick(*main, [&] {
            flagAtStart.push_back(steps::readSetting(
                desktop.files(), kDir, settings::kScheduleSection, settings::kEnabledKey));
        });
        return main->text(MainRole::countdownLabel);
    }
    int starts() const { return static_cast<int>(flagAtStart.size()); }
};

TEST_F(TimedStartTest, CountsDownAndStartsOnceAtTheSetSecondWithTheFlagAlreadyOff) {
    desktop.setLocalTime({2011, 6, 4, 8, 0, 0});
    arm("9", "5", "9");
    EXPECT_EQ(tickAt(0), "定时点击任务已启动剩余1小时5分9秒");
    EXPECT_EQ(tickAt(500), "定时点击任务已启动剩余1小时5分9秒");
    EXPECT_EQ(tickAt(1000), "定时点击任务已启动剩余1小时5分8秒");
    arm("8", "0", "3");
    EXPECT_EQ(tickAt(2500), "定时点击任务已启动剩余0小时0分1秒");
    EXPECT_EQ(tickAt(3000), "");
    EXPECT_EQ(starts(), 1);
    EXPECT_EQ(flagAtStart[0], "否");
    tickAt(3500);  // the same second again
    EXPECT_EQ(starts(), 1);
}

TEST_F(TimedStartTest, ATimeEarlierTodayWaitsForTheNextDayAndMidnightStartsOnce) {
    desktop.setLocalTime({2011, 6, 4, 23, 59, 58});
    arm("0", "0", "0");
    EXPECT_EQ(tickAt(0), "");  // today's 0:00 has passed
    main->setText(MainRole::countdownLabel, "x");
    EXPECT_EQ(tickAt(500), "");  // blanked at every tick
    EXPECT_EQ(starts(), 0);
    tickAt(1000);
    tickAt(1500);
    tickAt(2000);  // 2011-06-05 0:00:00
    EXPECT_EQ(starts(), 1);
    tickAt(2500);
    EXPECT_EQ(starts(), 1);
}

TEST_F(TimedStartTest, LateTicksStartUpToFiveSecondsLateAndNeverLater) {
    struct Case {
        const char* name;
        long secondTickMs;  // first tick at 0 (8:00:00), target 8:00:02
        int starts;
    };
    const Case cases[] = {
        {"on time", 2000, 1},    {"2 s late", 4000, 1}, {"5 s late", 7000, 1},
        {"10 s late", 12000, 0}, {"before", 1500, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        flagAtStart.clear();
        TimedStart local(desktop);
        const long base = desktop.clock().now();
        desktop.setLocalTime({2011, 6, 4, 8, 0, 0});
        arm("8", "0", "2");
        auto tick = [&](long at) {
            desktop.clock().runUntil(base + at);
            local.tick(*main, [&] { flagAtStart.push_back("started"); });
        };
        tick(0);
        tick(c.secondTickMs);
        EXPECT_EQ(starts(), c.starts);
        if (c.starts == 0 && c.secondTickMs > 2000) {
            EXPECT_EQ(main->text(MainRole::countdownLabel), "");
        }
    }
}

TEST_F(TimedStartTest, ClockMovedBackOrForwardNeverStartsTwiceOrLate) {
    desktop.setLocalTime({2011, 6, 4, 8, 0, 0});
    arm("8", "0", "2");
    tickAt(0);
    desktop.moveWallClock(-10);  // 7:59:50
    EXPECT_EQ(tickAt(500), "定时点击任务已启动剩余0小时0分12秒");
    tickAt(12000);  // 8:00:02
    EXPECT_EQ(starts(), 1);
    desktop.moveWallClock(-5);  // back over the start: already disarmed
    for (long t = 12500; t <= 20000; t += 500) {
        tickAt(t);
    }
    EXPECT_EQ(starts(), 1);

    arm("8", "1", "0");
    tickAt(20500);
    desktop.moveWallClock(120);  // forward past 8:01:00 (a sleep)
    EXPECT_EQ(tickAt(21000), "");
    EXPECT_EQ(starts(), 1);
}

TEST_F(TimedStartTest, AnUnwritableFlagStartsOnceUntilTheNextArming) {
    desktop.setLocalTime({2011, 6, 4, 8, 0, 0});
    arm("8", "0", "1");
    desktop.fakeFiles().setReplaceFails(true);
    tickAt(0);
    tickAt(1000);
    EXPECT_EQ(starts(), 1);
    EXPECT_EQ(flagAtStart[0], "是");  // could not be written
    desktop.moveWallClock(-2);        // and the clock goes back over it
    for (long t = 1500; t <= 4000; t += 500) {
        tickAt(t);
    }
    EXPECT_EQ(starts(), 1);
    desktop.fakeFiles().setReplaceFails(false);
    timedStart.rearm();  // the next OK
    desktop.setLocalTime({2011, 6, 4, 8, 0, 1});
    tickAt(4500);
    EXPECT_EQ(starts(), 2);
}

TEST_F(TimedStartTest, NoFileOrNoArmingLeavesTheLabelAndAnInvalidTimeNeverStarts) {
    desktop.setLocalTime({2011, 6, 4, 0, 0, 0});
    arm("8", "0", "0");
    EXPECT_EQ(tickAt(0), "定时点击任务已启动剩余8小时0分0秒");
    desktop.fakeFiles().removeFile(steps::settingsPath(kDir));
    EXPECT_EQ(tickAt(500), "定时点击任务已启动剩余8小时0分0秒");
    steps::createScheduleSettings(desktop.fakeFiles(), kDir);  // "否"
    EXPECT_EQ(tickAt(1000), "定时点击任务已启动剩余8小时0分0秒");
    for (const char* bad : {"24", "-1", "", "x"}) {
        desktop.setLocalTime({2011, 6, 4, 0, 0, 0});
        arm(bad, "0", "0");
        EXPECT_EQ(tickAt(desktop.clock().now() + 500), "") << bad;
    }
    steps::writeSetting(desktop.fakeFiles(), kDir, settings::kScheduleSection, settings::kHourKey,
                        "0");
    EXPECT_EQ(starts(), 0);
}

TEST_F(TimedStartTest, ATickReadsTheFileOnceEvenAMegabyteOne) {
    desktop.setLocalTime({2011, 6, 4, 8, 0, 0});
    arm("9", "0", "0");
    const std::string path = steps::settingsPath(kDir);
    desktop.fakeFiles().putFile(path, *desktop.fakeFiles().contents(path) + "[填充]\r\n" +
                                          std::string(1 << 20, 'a') + "=1\r\n");
    const int reads = desktop.fakeFiles().readCount();
    EXPECT_EQ(tickAt(0), "定时点击任务已启动剩余1小时0分0秒");
    EXPECT_EQ(desktop.fakeFiles().readCount(), reads + 1);
}

// The real main window: scheduleTimer's tick starts a run as F5 does.
TEST(TimedStartProgramThread, TheMainWindowStartsARunAtTheSetSecond) {
    FakeDesktop desktop;
    desktop.setProgramDirectory(kDir);
    desktop.setLocalTime({2011, 6, 4, 8, 0, 0});
    app::Klikvane program(desktop);
    auto* main = static_cast<FakeWindow*>(program.openMainWindow());
    steps::StepList steps(main->list(MainRole::stepList));
    steps.appendStep({"10", "20", "左键", "单击", "100", "1", ""});
    steps.appendStep({"30", "40", "左键", "单击", "100", "1", ""});
    steps::createScheduleSettings(desktop.fakeFiles(), kDir);
    const steps::SettingWrite writes[] = {
        {settings::kScheduleSection, settings::kEnabledKey, "是"},
        {settings::kScheduleSection, settings::kHourKey, "8"},
        {settings::kScheduleSection, settings::kMinuteKey, "0"},
        {settings::kScheduleSection, settings::kSecondKey, "3"},
    };
    steps::writeSettings(desktop.fakeFiles(), kDir, writes);
    desktop.clock().runUntil(2600);
    EXPECT_EQ(main->text(MainRole::countdownLabel), "定时点击任务已启动剩余0小时0分1秒");
    EXPECT_EQ(main->text(MainRole::startButton), app::kCaptionIdle);
    desktop.clock().runUntil(3000);
    EXPECT_EQ(main->text(MainRole::startButton), app::kCaptionRunning);
    EXPECT_EQ(main->text(MainRole::countdownLabel), "");
    EXPECT_TRUE(main->isMinimized());
    desktop.clock().finishWorkers();
    desktop.clock().runFor(100);
    EXPECT_EQ(main->text(MainRole::startButton), app::kCaptionIdle);
    const auto timeline = desktop.fakeInput().timeline();
    ASSERT_GE(timeline.size(), 2u);
    EXPECT_NE(timeline.front().find("move 10,20"), std::string::npos);
}

}  // namespace
}  // namespace kv::schedule
