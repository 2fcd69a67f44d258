#include "platform/win32/win32_input.h"

#include <windows.h>

#include "platform/win32/text_encoding.h"

namespace kv::platform::win32 {
namespace {

// In code page 936 a byte from 0x81 on starts a two-byte character.
constexpr unsigned char kFirstLeadByte = 0x81;

DWORD mouseFlag(MouseEvent event) {
    switch (event) {
        case MouseEvent::leftDown:
            return MOUSEEVENTF_LEFTDOWN;
        case MouseEvent::leftUp:
            return MOUSEEVENTF_LEFTUP;
        case MouseEvent::rightDown:
            return MOUSEEVENTF_RIGHTDOWN;
        case MouseEvent::rightUp:
            return MOUSEEVENTF_RIGHTUP;
        case MouseEvent::middleDown:
            return MOUSEEVENTF_MIDDLEDOWN;
        case MouseEvent::middleUp:
            return MOUSEEVENTF_MIDDLEUP;
    }
    return 0;
}

}  // namespace

void Win32Input::moveCursor(NativeWindow window, int x, int y) {
    POINT origin{0, 0};
    if (window != 0) {
        ClientToScreen(reinterpret_cast<HWND>(window), &origin);
    }
    const POINT target{origin.x + x, origin.y + y};
    // A repeat puts the cursor on the same point at every click. Where it
    // already is, moving it changes nothing, yet costs a round trip to the
    // display on some systems (under wine about as long as a 1 ms interval).
    POINT now{};
    if (GetCursorPos(&now) && now.x == target.x && now.y == target.y) {
        return;
    }
    SetCursorPos(target.x, target.y);
}

// No movement and no extra data: the event acts where the cursor is.
void Win32Input::sendMouseEvent(MouseEvent event) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = mouseFlag(event);
    SendInput(1, &input, sizeof input);
}

int Win32Input::doubleClickTime() const {
    return static_cast<int>(GetDoubleClickTime());
}

// A stop is looked at before each character, never between the two bytes
// or the two UTF-16 units of one.
void Win32Input::typeText(NativeWindow window, std::string_view gbkText, const Signal* cancel) {
    const HWND target = reinterpret_cast<HWND>(window);
    auto cancelled = [cancel] { return cancel != nullptr && cancel->isSet(); };
    if (GetACP() == kProgramCodePage) {
        for (std::size_t at = 0; at < gbkText.size() && !cancelled(); ++at) {
            const auto byte = static_cast<unsigned char>(gbkText[at]);
            SendMessageA(target, WM_CHAR, byte, 0);
            if (byte >= kFirstLeadByte && at + 1 < gbkText.size()) {
                ++at;
                SendMessageA(target, WM_CHAR, static_cast<unsigned char>(gbkText[at]), 0);
            }
        }
        return;
    }
    const std::wstring text = toWide(gbkText);
    for (std::size_t at = 0; at < text.size() && !cancelled(); ++at) {
        SendMessageW(target, WM_CHAR, text[at], 0);
        if (IS_HIGH_SURROGATE(text[at]) && at + 1 < text.size()) {
            ++at;
            SendMessageW(target, WM_CHAR, text[at], 0);
        }
    }
}

}  // namespace kv::platform::win32
