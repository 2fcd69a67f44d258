#include "support/target_window.h"

#include <windowsx.h>

#include <chrono>

namespace kv::test {
namespace {

constexpr wchar_t kClassName[] = L"KlikvaneTestTarget";

struct MessageName {
    UINT message;
    const char* name;
};

constexpr MessageName kNames[] = {
    {WM_LBUTTONDOWN, "LD"}, {WM_LBUTTONUP, "LU"}, {WM_LBUTTONDBLCLK, "LDBL"},
    {WM_RBUTTONDOWN, "RD"}, {WM_RBUTTONUP, "RU"}, {WM_RBUTTONDBLCLK, "RDBL"},
    {WM_MBUTTONDOWN, "MD"}, {WM_MBUTTONUP, "MU"}, {WM_MBUTTONDBLCLK, "MDBL"},
};

const char* nameOf(UINT message) {
    for (const MessageName& n : kNames) {
        if (n.message == message) {
            return n.name;
        }
    }
    return nullptr;
}

void registerClassOnce() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly the second time
}

}  // namespace

std::int64_t steadyMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

TargetWindow::TargetWindow(RECT screen, RECT edit) {
    registerClassOnce();
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"target",
                            WS_POPUP | WS_BORDER | WS_VISIBLE, screen.left, screen.top,
                            screen.right - screen.left, screen.bottom - screen.top, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TargetWindow::proc));
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                            edit.left, edit.top, edit.right - edit.left, edit.bottom - edit.top,
                            hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(hwnd_);
}

TargetWindow::~TargetWindow() {
    DestroyWindow(hwnd_);
}

LRESULT CALLBACK TargetWindow::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TargetWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && nameOf(message) != nullptr) {
        self->messages_.push_back(
            {message, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, steadyMicros()});
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

POINT TargetWindow::toScreen(POINT client) const {
    ClientToScreen(hwnd_, &client);
    return client;
}

std::string TargetWindow::describe() const {
    std::string text;
    for (const ButtonMessage& m : messages_) {
        text += std::string(nameOf(m.message)) + " " + std::to_string(m.client.x) + "," +
                std::to_string(m.client.y) + " ";
    }
    return text;
}

std::wstring TargetWindow::editText() const {
    wchar_t text[256] = {};
    GetWindowTextW(edit_, text, 256);
    return text;
}

}  // namespace kv::test
