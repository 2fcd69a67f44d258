#include "platform/win32/message_loop.h"

#include <cwchar>

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

}  // namespace

void dispatchMessage(MSG& message) {
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
