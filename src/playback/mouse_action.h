// What a mouse action is made of: the button and action codes of a step
// turned into button events, with the pause inside a double click.
#pragma once

#include <vector>

#include "platform/input.h"

namespace kv::playback {

// Button codes: 1 left, 2 right, 3 middle; 0 counts as 1.
// Action codes: 1 click, 2 double click, 3 press, 4 release; 0 counts as 1.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 3;
inline constexpr int kClick = 1;
inline constexpr int kDoubleClick = 2;
inline constexpr int kPress = 3;
inline constexpr int kRelease = 4;

struct MouseStep {
    enum class Kind { event, doubleClickPause };
    Kind kind;
    platform::MouseEvent event{};  // for Kind::event
    friend bool operator==(const MouseStep&, const MouseStep&) = default;
};

// The steps of an action; none for a button or action code not listed above.
std::vector<MouseStep> mouseSteps(int button, int action);

}  // namespace kv::playback
