#include "playback/wait_unit.h"

#include <algorithm>
#include <array>

namespace kv::playback {
namespace {

// 100-ns units per unit, indexed by WaitUnit.
constexpr std::array<double, 6> kHundredNsPerUnit = {
    1.0 * 10000,         // millisecond
    10.0,                // microsecond
    1000.0 * 10000,      // second
    60000.0 * 10000,     // minute
    3600000.0 * 10000,   // hour
    86400000.0 * 10000,  // day
};

}  // namespace

std::int64_t waitHundredNs(std::int32_t amount, int unit) {
    if (unit < 0 || unit >= static_cast<int>(kHundredNsPerUnit.size())) {
        return 0;
    }
    const double product = amount * kHundredNsPerUnit[static_cast<std::size_t>(unit)];
    // Days beyond the timer's range are as good as for ever.
    constexpr double kMax = 9.0e18;
    return static_cast<std::int64_t>(std::clamp(product, -kMax, kMax));
}

}  // namespace kv::playback
