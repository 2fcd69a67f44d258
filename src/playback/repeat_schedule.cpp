#include "playback/repeat_schedule.h"

#include <algorithm>
#include <limits>

namespace kv::playback {

RepeatSchedule::Tick RepeatSchedule::onTick(std::int64_t nowMs, int maxClicks) {
    if (interval_ <= 0) {
        return {1, 0};
    }
    const std::int64_t reached = nowMs >= start_ ? (nowMs - start_) / interval_ : 0;
    const std::int64_t due = std::max<std::int64_t>(1, reached - done_);
    const int clicks = static_cast<int>(std::clamp<std::int64_t>(due, 1, std::max(1, maxClicks)));
    // An early tick still counts as the one due; the next is never the same
    // grid point again.
    done_ = std::max(done_ + 1, reached);
    const std::int64_t delay = nextDeadline() - nowMs;
    return {clicks, static_cast<std::int32_t>(std::clamp<std::int64_t>(
                        delay, 1, std::numeric_limits<std::int32_t>::max()))};
}

}  // namespace kv::playback
