#include "playback/step_codes.h"

#include <array>

#include "playback/mouse_action.h"

namespace kv::playback {
namespace {

struct CodeText {
    const char* text;
    int code;
};

constexpr std::array kButtonTexts = {
    CodeText{"左键", kLeftButton},
    CodeText{"右键", kRightButton},
    CodeText{"中键", kMiddleButton},
};

constexpr std::array kActionTexts = {
    CodeText{"单击", kClick},
    CodeText{"双击", kDoubleClick},
    CodeText{"按下", kPress},
    CodeText{"放开", kRelease},
};

template <std::size_t N>
int lookUp(const std::array<CodeText, N>& table, std::string_view text, int previous) {
    for (const CodeText& entry : table) {
        if (text == entry.text) {
            return entry.code;
        }
    }
    return previous;
}

}  // namespace

int buttonCodeFor(std::string_view text, int previous) {
    return lookUp(kButtonTexts, text, previous);
}

int actionCodeFor(std::string_view text, int previous) {
    return lookUp(kActionTexts, text, previous);
}

}  // namespace kv::playback
