// One step of the list: seven GBK texts in column order.
#pragma once

#include <array>
#include <string>

namespace kv::steps {

enum class StepColumn : int {
    x = 0,
    y = 1,
    mouseButton = 2,
    action = 3,
    interval = 4,
    clickCount = 5,
    textToType = 6,
};

inline constexpr int kStepColumnCount = 7;

using StepRecord = std::array<std::string, kStepColumnCount>;

}  // namespace kv::steps
