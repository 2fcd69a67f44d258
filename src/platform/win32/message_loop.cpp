#include "platform/win32/message_loop.h"

#include <cwchar>

#include "platform/win32/win32_window.h"

namespace kv::platform::win32 {
namespace {

bool isProgramWindow(HWND window) {
    wchar_t className[64] = {};
    return window != nullptr && GetClassNameW(window, className, 64) > 0 &&
           std::wcscmp(className, kWindowClassName) == 0;
}

bool isKeyboardMessage(const MSG& message) {
    return message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
}

bool isButtonDown(const MSG& message) {
    return message.message == WM_LBUTTONDOWN || message.message == WM_RBUTTONDOWN ||
           message.message == WM_MBUTTONDOWN;
}

}  // namespace

void dispatchMessage(MSG& message) {
    if (isButtonDown(message)) {
        // The window's handler sees the press before the control does.
        HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (isProgramWindow(root)) {
            Win32Window::deliverMousePress(root, message);
        }
    }
    if (isKeyboardMessage(message)) {
        HWND root = GetAncestor(message.hwnd, GA_ROOT);
        // IsDialogMessage turns Esc into IDCANCEL, which the window takes as close.
        if (isProgramWindow(root) && IsDialogMessageW(root, &message)) {
            return;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void processPendingMessages() {
    // Peeking a WM_TIMER without removing it can consume the timer's pending
    // tick, so messages are removed at once and a WM_QUIT is put back.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatchMessage(message);
    }
}

}  // namespace kv::platform::win32
