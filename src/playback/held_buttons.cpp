#include "playback/held_buttons.h"

#include <array>

namespace kv::playback {
namespace {

using platform::MouseEvent;

struct ButtonBit {
    unsigned bit;
    MouseEvent press;
    MouseEvent release;
};

constexpr std::array kBits = {
    ButtonBit{1u << 0, MouseEvent::leftDown, MouseEvent::leftUp},
    ButtonBit{1u << 1, MouseEvent::rightDown, MouseEvent::rightUp},
    ButtonBit{1u << 2, MouseEvent::middleDown, MouseEvent::middleUp},
};

}  // namespace

void HeldButtons::note(MouseEvent event) {
    for (const ButtonBit& b : kBits) {
        if (event == b.press) {
            mask_ |= b.bit;
        } else if (event == b.release) {
            mask_ &= ~b.bit;
        }
    }
}

void HeldButtons::releaseAll(platform::Input& input) {
    const unsigned held = mask_.exchange(0);
    for (const ButtonBit& b : kBits) {
        if ((held & b.bit) != 0) {
            input.sendMouseEvent(b.release);
        }
    }
}

}  // namespace kv::playback
