// When the ticks of the single-step repeat fall: on a fixed grid of
// start + k × interval, so a late tick does not push every later one back.
// All arithmetic is 64-bit: an interval of hours times many clicks fits.
#pragma once

#include <cstdint>

namespace kv::playback {

class RepeatSchedule {
public:
    RepeatSchedule(std::int64_t startMs, std::int32_t intervalMs)
        : start_(startMs), interval_(intervalMs) {}

    // Called at a tick at time nowMs: the delay from now to the next grid
    // point. Grid points already passed (a tick that came very late) are
    // skipped rather than made up in a burst; the result is at least 1.
    std::int32_t delayAfterTick(std::int64_t nowMs);
    // The grid point the timer is set for.
    std::int64_t nextDeadline() const { return start_ + next_ * interval_; }

private:
    std::int64_t start_;
    std::int64_t interval_;
    std::int64_t next_ = 1;  // index of the grid point the next tick is for
};

}  // namespace kv::playback
