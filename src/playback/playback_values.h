// The values one run works on: the step being played and the codes mapped
// from it. Each pass has its own copy, so two runs never share them.
#pragma once

#include <cstdint>
#include <string>

namespace kv::playback {

struct PlaybackValues {
    std::int32_t passRow = 0;  // 1-based row the pass is playing
    std::string curX;
    std::string curY;
    std::string curButton;
    std::string curAction;
    std::string curText;  // may be empty
    // Last mapped codes; a text that maps to nothing keeps them.
    std::int32_t buttonCode = 0;
    std::int32_t actionCode = 0;
    // Single-step repeat only.
    std::int32_t clickCounter = 0;
    std::int32_t clickLimit = 0;
    std::string intervalText;
};

}  // namespace kv::playback
