// The timed start: twice a second scheduleTimer's tick reads the arming from
// 配置.ini (one read for all four keys), shows the time left on the main
// window's countdownLabel and, at the set second, disarms and starts a run
// as F5 does.
//
// A tick that comes late still starts the run when the set time was reached
// since the previous tick, at most kLateStartLimit seconds ago. A time missed
// by longer (the computer slept, the clock was moved forward) never starts
// late: the run waits for that time on the next day. Each arming starts at
// most one run, even when "否" cannot be written back.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/desktop.h"

namespace kv::schedule {

inline constexpr int kLateStartLimit = 5;

// "定时点击任务已启动剩余1小时5分9秒" for 3909 seconds.
std::string countdownText(std::int64_t secondsLeft);

// The second of the day the three texts name, or nullopt when they name no
// valid time of day (empty, negative, out of range, not a whole number).
std::optional<int> targetSecondOfDay(std::string_view hour, std::string_view minute,
                                     std::string_view second);

class TimedStart {
public:
    explicit TimedStart(platform::Desktop& desktop) : desktop_(desktop) {}

    // scheduleTick, on the UI thread; toggleRun starts the run.
    void tick(platform::Window& main, const std::function<void()>& toggleRun);

    // The schedule window's OK armed or disarmed anew.
    void rearm() { firedThisArming_ = false; }

private:
    static void showOnLabel(platform::Window& main, const std::string& text);

    platform::Desktop& desktop_;
    std::optional<std::int64_t> previousTick_;  // wall-clock seconds
    bool firedThisArming_ = false;
};

}  // namespace kv::schedule
