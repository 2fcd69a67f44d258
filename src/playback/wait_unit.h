// The units of a timer wait and the length of a wait in the system's timer
// units (100 ns).
#pragma once

#include <cstdint>

namespace kv::playback {

enum class WaitUnit : int {
    millisecond = 0,
    microsecond = 1,
    second = 2,
    minute = 3,
    hour = 4,
    day = 5,
};

// amount × unit in 100-ns units, formed in double precision and truncated
// toward zero. An unknown unit gives 0: no wait.
std::int64_t waitHundredNs(std::int32_t amount, int unit);

}  // namespace kv::playback
