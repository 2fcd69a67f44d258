// When the clicks of the single-step repeat fall: on a fixed grid of
// start + k × interval, so a late tick does not push every later click back.
// All arithmetic is 64-bit: an interval of hours times many clicks fits.
#pragma once

#include <cstdint>

namespace kv::playback {

class RepeatSchedule {
public:
    RepeatSchedule(std::int64_t startMs, std::int32_t intervalMs)
        : start_(startMs), interval_(intervalMs) {}

    struct Tick {
        int clicks;          // clicks to make now, at least 1
        std::int32_t delay;  // from now to the next grid point, at least 1
    };
    // Called at a tick at time nowMs. A tick stands for every grid point
    // reached since the last one: when the timer has fallen more than an
    // interval behind (it cannot tick faster than the system's minimum),
    // up to maxClicks of them are clicked now to catch up; the rest, and a
    // tick that came a little early, make no extra click.
    Tick onTick(std::int64_t nowMs, int maxClicks);
    // The grid point the next tick is for.
    std::int64_t nextDeadline() const { return start_ + (done_ + 1) * interval_; }

private:
    std::int64_t start_;
    std::int64_t interval_;
    std::int64_t done_ = 0;  // grid points already accounted for
};

}  // namespace kv::playback
