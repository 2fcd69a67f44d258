#include "support/mouse_input.h"

namespace kv::test {
namespace {

DWORD flagOf(platform::MouseButton button, bool down) {
    switch (button) {
        case platform::MouseButton::left:
            return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        case platform::MouseButton::right:
            return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
        case platform::MouseButton::middle:
            return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    }
    return 0;
}

void sendButton(POINT screen, platform::MouseButton button, bool down) {
    SetCursorPos(screen.x, screen.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flagOf(button, down);
    SendInput(1, &input, sizeof input);
}

}  // namespace

void pressButtonAt(POINT screen, platform::MouseButton button) {
    sendButton(screen, button, true);
}

void releaseButtonAt(POINT screen, platform::MouseButton button) {
    sendButton(screen, button, false);
}

void clickAt(POINT screen, platform::MouseButton button) {
    pressButtonAt(screen, button);
    releaseButtonAt(screen, button);
}

}  // namespace kv::test
