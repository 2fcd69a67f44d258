// The single-step repeat: set up by the pass's worker thread, then clicking
// on repeatTimer ticks on the driving thread, which plays the UI thread.
#include <gtest/gtest.h>

#include "playback/repeat_schedule.h"
#include "playback_harness.h"

namespace kv::playback::test {
namespace {

using Lines = std::vector<std::string>;

TEST(RepeatSchedule, TicksAreAimedAtTheGridAndALateTimerCatchesUp) {
    RepeatSchedule schedule(0, 1000);
    struct Step {
        std::int64_t tickAt;
        int maxClicks;
        int clicks;
        std::int32_t delay;
        std::int64_t deadline;
    };
    const Step steps[] = {
        {1000, 2, 1, 1000, 2000},
        {2015, 2, 1, 985, 3000},   // late: the next one is not pushed back
        {2990, 2, 1, 1010, 4000},  // early: still the one for 3000, never 3000 twice
        {5500, 2, 2, 500, 6000},   // 4000 and 5000 passed: both clicked now
        {6000, 2, 1, 1000, 7000},
        {9100, 2, 2, 900, 10000},   // three passed: two clicked, one dropped
        {12400, 1, 1, 600, 13000},  // a click with waits in it does not catch up
    };
    for (const Step& s : steps) {
        const RepeatSchedule::Tick tick = schedule.onTick(s.tickAt, s.maxClicks);
        EXPECT_EQ(tick.clicks, s.clicks) << "tick at " << s.tickAt;
        EXPECT_EQ(tick.delay, s.delay) << "tick at " << s.tickAt;
        EXPECT_EQ(schedule.nextDeadline(), s.deadline) << "tick at " << s.tickAt;
    }
}

TEST(RepeatSchedule, ATimerThatIsAlwaysALittleLateStaysWithinAnIntervalOfTheGrid) {
    // A 10 ms timer that cannot fire sooner than 10 ms and comes 1 ms late.
    RepeatSchedule schedule(0, 10);
    std::int64_t now = 11;
    std::int64_t clicks = 0;
    for (int tick = 0; tick < 1000; ++tick) {
        const RepeatSchedule::Tick t = schedule.onTick(now, 2);
        clicks += t.clicks;
        ASSERT_LE(clicks * 10, now) << "ahead of the grid at " << now;
        ASSERT_GT(clicks * 10 + 10, now) << "an interval behind the grid at " << now;
        now += std::max<std::int32_t>(t.delay, 10) + 1;
    }
}

TEST(RepeatSchedule, TwoHourIntervalsStayExactFarBeyond32Bits) {
    const std::int64_t start = 5'000'000'000;  // the steady clock is already past 2^32
    RepeatSchedule schedule(start, 7'200'000);
    for (std::int64_t k = 1; k <= 400; ++k) {
        const RepeatSchedule::Tick tick = schedule.onTick(start + k * 7'200'000 + 3, 2);
        ASSERT_EQ(tick.clicks, 1);
        ASSERT_EQ(tick.delay, 7'200'000 - 3);
    }
    EXPECT_EQ(schedule.nextDeadline(), start + 401 * std::int64_t{7'200'000});
}

class PlaybackRepeatThread : public PlaybackFixture, public ::testing::Test {
protected:
    void startRepeat(const char* interval, const char* count, const char* text = "") {
        addRow({"10", "20", "左键", "单击", interval, count, text});
        pressStart();
    }
    // The times of the presses, one per click.
    std::vector<long> clickTimes() {
        std::vector<long> times;
        for (const auto& r : desktop.fakeInput().records()) {
            if (r.kind == platform::fake::InputRecord::Kind::mouse &&
                r.event == platform::MouseEvent::leftDown) {
                times.push_back(static_cast<long>(r.at));
            }
        }
        return times;
    }
};

TEST_F(PlaybackRepeatThread, ClicksOneIntervalApartUntilTheCountOnTheUiThread) {
    startRepeat("1000", "3");
    desktop.clock().runUntil(2999);
    EXPECT_TRUE(running());
    desktop.clock().runUntil(20000);
    // No wait between the move and the click in a repeat.
    EXPECT_EQ(timeline(), (Lines{"1000 move 10,20", "1000 leftDown", "1000 leftUp",
                                 "2000 move 10,20", "2000 leftDown", "2000 leftUp",
                                 "3000 move 10,20", "3000 leftDown", "3000 leftUp"}));
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
    EXPECT_EQ(window->timerPeriod(MainRole::repeatTimer), 0);
    EXPECT_TRUE(allInputFrom(std::this_thread::get_id(), true));
    EXPECT_EQ(handlers.shutdowns, 0);
}

TEST_F(PlaybackRepeatThread, LoopRadioPlaysNoPartForOneRow) {
    window->userClicks(MainRole::loopRadio);
    startRepeat("1000", "1");
    desktop.clock().runUntil(20000);
    EXPECT_EQ(clickTimes(), (std::vector<long>{1000}));
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
}

TEST_F(PlaybackRepeatThread, TextIsTypedAtEveryTickAfterTheClick) {
    startRepeat("1000", "2", "ok");
    desktop.clock().runUntil(20000);
    EXPECT_EQ(timeline(),
              (Lines{"1000 move 10,20", "1000 leftDown", "1000 leftUp", "1301 text ok",
                     "2000 move 10,20", "2000 leftDown", "2000 leftUp", "2301 text ok"}));
}

TEST_F(PlaybackRepeatThread, TickDueWhileTheLastOneStillWaitsIsSkipped) {
    startRepeat("100", "3", "x");
    desktop.clock().runUntil(20000);
    EXPECT_EQ(clickTimes(), (std::vector<long>{100, 500, 900}));
    EXPECT_EQ(timeline().back(), "1201 text x");
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
}

TEST_F(PlaybackRepeatThread, CountsThatAreNoPositiveNumberRepeatUntilStopped) {
    for (const char* count : {"0", "abc", "-2"}) {
        desktop.fakeInput().clear();
        const long start = static_cast<long>(desktop.clock().now());
        steps().deleteAllRows();
        startRepeat("1000", count);
        pressStartAt(start + 5500);
        desktop.clock().runFor(20000);
        EXPECT_EQ(clickTimes(), (std::vector<long>{start + 1000, start + 2000, start + 3000,
                                                   start + 4000, start + 5000}))
            << count;
        EXPECT_EQ(caption(), mainwin::kCaptionIdle);
    }
}

TEST_F(PlaybackRepeatThread, IntervalThatIsNoPositiveNumberClicksNeverButShowsARun) {
    for (const char* interval : {"0", "-5", "x"}) {
        steps().deleteAllRows();
        startRepeat(interval, "3");
        desktop.clock().runFor(60000);
        EXPECT_TRUE(running()) << interval;
        EXPECT_EQ(window->timerPeriod(MainRole::repeatTimer), 0);
        pressStart();
        EXPECT_EQ(caption(), mainwin::kCaptionIdle);
    }
    EXPECT_TRUE(timeline().empty());
}

TEST_F(PlaybackRepeatThread, StopAfterTwoOfFiveEndsAtOnceWithoutShutdown) {
    shared.shutdownWhenDone = 1;
    startRepeat("1000", "5");
    pressStartAt(2500);
    desktop.clock().runUntil(2500);
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
    EXPECT_EQ(window->timerPeriod(MainRole::repeatTimer), 0);
    desktop.clock().runUntil(20000);
    EXPECT_EQ(clickTimes(), (std::vector<long>{1000, 2000}));
    EXPECT_EQ(handlers.shutdowns, 0);

    // The next start counts from zero again.
    pressStart();
    desktop.clock().runFor(20000);
    EXPECT_EQ(clickTimes().size(), 7u);
    EXPECT_EQ(handlers.shutdowns, 1);  // the last click of a completed repeat
}

TEST_F(PlaybackRepeatThread, StopDuringATicksWaitCutsItShortAndReleasesPressedButtons) {
    addRow({"10", "20", "右键", "按下", "1000", "0", "t"});
    pressStart();
    pressStartAt(2100);  // the second tick waits to type from 2000 to 2301
    desktop.clock().runUntil(20000);
    EXPECT_EQ(timeline(), (Lines{"1000 move 10,20", "1000 rightDown", "1301 text t",
                                 "2000 move 10,20", "2000 rightDown", "2100 rightUp"}));
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
}

TEST_F(PlaybackRepeatThread, StopInTheMiddleOfADoubleClickEndsItAfterTheFirstClick) {
    addRow({"10", "20", "左键", "双击", "1000", "0", ""});
    pressStart();
    pressStartAt(1100);  // the pause between the clicks lasts from 1000 to 1250
    desktop.clock().runUntil(20000);
    EXPECT_EQ(timeline(), (Lines{"1000 move 10,20", "1000 leftDown", "1000 leftUp"}));
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
}

TEST_F(PlaybackRepeatThread, KthClickFallsOnKTimesTheIntervalForTwoHourIntervals) {
    // The tick count wraps at 32 bits inside the first typing delay.
    desktop.setTickBase(0xFFFFFFFFu - 7'200'100u);
    startRepeat("7200000", "0", "z");
    constexpr std::int64_t kClicks = 300;  // 300 × 2 h is past 2^31 ms
    pressStartAt(static_cast<long>(kClicks * 7'200'000 + 1000));
    desktop.clock().runUntil(kClicks * 7'200'000 + 2000);
    const std::vector<long> times = clickTimes();
    ASSERT_EQ(times.size(), static_cast<std::size_t>(kClicks));
    for (std::int64_t k = 1; k <= kClicks; ++k) {
        ASSERT_EQ(times[static_cast<std::size_t>(k - 1)], k * 7'200'000) << "click " << k;
    }
    const auto records = desktop.fakeInput().records();
    EXPECT_EQ(records[3].text, "z");
    EXPECT_EQ(records[3].at, 7'200'301);
}

TEST_F(PlaybackRepeatThread, ShortIntervalsRaiseTheTimerResolutionForTheRepeatOnly) {
    startRepeat("50", "4");
    desktop.clock().runUntil(1000);
    using Log = std::vector<std::pair<std::int64_t, bool>>;
    EXPECT_EQ(desktop.fakeWaits().timerResolutionLog(), (Log{{0, true}, {200, false}}));

    steps().deleteAllRows();
    startRepeat("50", "0");
    pressStartAt(1325);
    desktop.clock().runUntil(2000);
    EXPECT_EQ(desktop.fakeWaits().timerResolutionLog(),
              (Log{{0, true}, {200, false}, {1000, true}, {1325, false}}));

    steps().deleteAllRows();
    startRepeat("1000", "2");
    desktop.clock().runUntil(5000);
    EXPECT_EQ(desktop.fakeWaits().timerResolutionLog().size(), 4u);
    EXPECT_EQ(desktop.fakeWaits().timerResolutionRaises(), 0);
}

TEST_F(PlaybackRepeatThread, IntervalsUnderTenMillisecondsClickOnEveryDeadline) {
    struct Case {
        const char* interval;
        long ms;
        int clicks;
    };
    for (const Case c : {Case{"1", 1, 1000}, Case{"5", 5, 200}, Case{"10", 10, 100}}) {
        desktop.fakeInput().clear();
        steps().deleteAllRows();
        const long start = static_cast<long>(desktop.clock().now());
        startRepeat(c.interval, std::to_string(c.clicks).c_str());
        desktop.clock().runFor(c.ms * c.clicks + 1000);
        const std::vector<long> times = clickTimes();
        ASSERT_EQ(times.size(), static_cast<std::size_t>(c.clicks)) << c.interval;
        for (int k = 1; k <= c.clicks; ++k) {
            ASSERT_EQ(times[static_cast<std::size_t>(k - 1)], start + k * c.ms)
                << "interval " << c.interval << ", click " << k;
        }
        EXPECT_EQ(window->timerSource(MainRole::repeatTimer),
                  platform::TimerSource::highResolution);
        EXPECT_EQ(caption(), mainwin::kCaptionIdle);
    }
}

TEST_F(PlaybackRepeatThread, WithoutAHighResolutionTimerTheNormalOneKeepsTheDeadlines) {
    desktop.fakeWaits().setTimersAvailable(false, true);
    startRepeat("2", "300");
    desktop.clock().runFor(2000);
    const std::vector<long> times = clickTimes();
    ASSERT_EQ(times.size(), 300u);
    for (std::size_t k = 0; k < times.size(); ++k) {
        ASSERT_EQ(times[k], 2 * static_cast<long>(k + 1)) << "click " << k + 1;
    }
    EXPECT_EQ(window->timerSource(MainRole::repeatTimer), platform::TimerSource::waitable);
}

// A window timer ticks 10 ms apart at best: a 5 ms repeat then clicks twice
// a tick, on average on time, never more than two at once, and it still ends.
TEST_F(PlaybackRepeatThread, WithoutAnyWaitableTimerTheWindowTimerCatchesUpInPairs) {
    desktop.fakeWaits().setTimersAvailable(false, false);
    startRepeat("5", "100");
    desktop.clock().runFor(2000);
    EXPECT_EQ(window->timerSource(MainRole::repeatTimer), platform::TimerSource::windowTimer);
    const std::vector<long> times = clickTimes();
    ASSERT_EQ(times.size(), 100u);
    for (std::size_t k = 0; k < times.size(); ++k) {
        const long deadline = 5 * static_cast<long>(k + 1);
        ASSERT_GE(times[k], deadline) << "click " << k + 1 << " before its deadline";
        ASSERT_LE(times[k], deadline + 10) << "click " << k + 1 << " behind the schedule";
        if (k >= 2) {
            ASSERT_GT(times[k], times[k - 2]) << "three clicks at once at " << times[k];
        }
    }
    EXPECT_EQ(caption(), mainwin::kCaptionIdle);
}

TEST_F(PlaybackRepeatThread, StopBetweenShortTicksEndsTheClicksAtOnce) {
    startRepeat("3", "0");
    pressStartAt(301);
    desktop.clock().runFor(2000);
    const std::vector<long> times = clickTimes();
    ASSERT_EQ(times.size(), 100u);
    EXPECT_EQ(times.back(), 300);
    EXPECT_EQ(window->timerPeriod(MainRole::repeatTimer), 0);
    EXPECT_EQ(desktop.fakeWaits().timerResolutionRaises(), 0);
}

}  // namespace
}  // namespace kv::playback::test
