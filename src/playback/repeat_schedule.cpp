#include "playback/repeat_schedule.h"

#include <algorithm>
#include <limits>

namespace kv::playback {

std::int32_t RepeatSchedule::delayAfterTick(std::int64_t nowMs) {
    if (interval_ <= 0) {
        return 0;
    }
    // A tick that came a little early still counts as the one due; the
    // next one is for the following grid point, never the same one again.
    const std::int64_t passed = nowMs >= start_ ? (nowMs - start_) / interval_ : 0;
    next_ = std::max(next_ + 1, passed + 1);
    const std::int64_t delay = start_ + next_ * interval_ - nowMs;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(delay, 1, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace kv::playback
