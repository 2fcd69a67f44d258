#include "support/remote_window.h"

#include "support/mouse_input.h"

namespace kv::test {

std::wstring remoteText(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

HWND childAt(HWND parent, POINT client) {
    HWND child = ChildWindowFromPointEx(parent, client, CWP_SKIPINVISIBLE);
    return child != parent ? child : nullptr;
}

void clickClientPoint(HWND window, POINT client) {
    ClientToScreen(window, &client);
    clickAt(client, platform::MouseButton::left);
}

void pushButtonAt(HWND window, POINT client) {
    PostMessageW(childAt(window, client), BM_CLICK, 0, 0);
}

HWND waitForTopWindow(const wchar_t* caption, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        HWND window = FindWindowW(nullptr, caption);
        if (window != nullptr && IsWindowVisible(window)) {
            Sleep(200);  // painted
            return window;
        }
        Sleep(20);
    }
    return nullptr;
}

}  // namespace kv::test
