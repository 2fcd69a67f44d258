#include "playback/mouse_action.h"

#include <array>

namespace kv::playback {
namespace {

using platform::MouseEvent;

struct ButtonEvents {
    int code;
    MouseEvent press;
    MouseEvent release;
};

constexpr std::array kButtons = {
    ButtonEvents{kLeftButton, MouseEvent::leftDown, MouseEvent::leftUp},
    ButtonEvents{kRightButton, MouseEvent::rightDown, MouseEvent::rightUp},
    ButtonEvents{kMiddleButton, MouseEvent::middleDown, MouseEvent::middleUp},
};

MouseStep event(MouseEvent e) {
    return {MouseStep::Kind::event, e};
}

}  // namespace

std::vector<MouseStep> mouseSteps(int button, int action) {
    if (button == 0) {
        button = kLeftButton;
    }
    if (action == 0) {
        action = kClick;
    }
    for (const ButtonEvents& b : kButtons) {
        if (b.code != button) {
            continue;
        }
        switch (action) {
            case kClick:
                return {event(b.press), event(b.release)};
            case kDoubleClick:
                return {event(b.press),
                        event(b.release),
                        {MouseStep::Kind::doubleClickPause},
                        event(b.press),
                        event(b.release)};
            case kPress:
                return {event(b.press)};
            case kRelease:
                return {event(b.release)};
            default:
                return {};
        }
    }
    return {};
}

}  // namespace kv::playback
