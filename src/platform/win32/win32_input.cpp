#include "platform/win32/win32_input.h"

#include <windows.h>

#include "platform/mouse_hook.h"
#include "platform/win32/text_encoding.h"

namespace kv::platform::win32 {
namespace {

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
    SetCursorPos(origin.x + x, origin.y + y);
}

// No movement: the event acts where the cursor is. The mark tells the
// program's own mouse hook that this click is playback, not the user.
void Win32Input::sendMouseEvent(MouseEvent event) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = mouseFlag(event);
    input.mi.dwExtraInfo = kProgramInputMark;
    SendInput(1, &input, sizeof input);
}

int Win32Input::doubleClickTime() const {
    return static_cast<int>(GetDoubleClickTime());
}

void Win32Input::typeText(NativeWindow window, std::string_view gbkText) {
    const HWND target = reinterpret_cast<HWND>(window);
    if (GetACP() == kProgramCodePage) {
        for (const char byte : gbkText) {
            SendMessageA(target, WM_CHAR, static_cast<unsigned char>(byte), 0);
        }
        return;
    }
    for (const wchar_t unit : toWide(gbkText)) {
        SendMessageW(target, WM_CHAR, unit, 0);
    }
}

}  // namespace kv::platform::win32
