// The wall clock as calendar fields, and a count of seconds to compare and
// move such times with, across midnight and month ends alike.
#pragma once

#include <cstdint>

namespace kv::platform {

struct LocalTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend constexpr bool operator==(const LocalTime&, const LocalTime&) = default;
};

// Seconds since 1 January 1970 at 0:00 of the same (local) clock.
std::int64_t secondsOf(const LocalTime& time);
LocalTime localTimeAt(std::int64_t seconds);
// Seconds since midnight.
inline int secondOfDay(const LocalTime& time) {
    return time.hour * 3600 + time.minute * 60 + time.second;
}

}  // namespace kv::platform
