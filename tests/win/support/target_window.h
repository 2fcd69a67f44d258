// A window for the program to click and type into: a topmost popup whose
// class takes double clicks (CS_DBLCLKS), recording every mouse-button
// message with its client position and the time it arrived, and holding an
// edit control to type into.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kv::test {

// Where the tests and benchmarks put the target window and its edit control.
inline constexpr RECT kTargetScreenRect{40, 40, 360, 260};
inline constexpr RECT kTargetEditRect{10, 150, 210, 180};

struct ButtonMessage {
    UINT message;  // WM_LBUTTONDOWN ...
    POINT client;
    std::int64_t atUs;  // microseconds on the steady clock
};

class TargetWindow {
public:
    // screen: the window's rectangle on the screen. The edit control sits
    // at `edit` in client coordinates.
    TargetWindow(RECT screen, RECT edit);
    ~TargetWindow();
    TargetWindow(const TargetWindow&) = delete;
    TargetWindow& operator=(const TargetWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND edit() const { return edit_; }
    // A client point as a screen point.
    POINT toScreen(POINT client) const;
    const std::vector<ButtonMessage>& messages() const { return messages_; }
    void clear() { messages_.clear(); }
    // "LD 20,30 LU 20,30 LDBL 20,30 ..." for assertions.
    std::string describe() const;
    std::wstring editText() const;

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    HWND edit_ = nullptr;
    std::vector<ButtonMessage> messages_;
};

std::int64_t steadyMicros();

}  // namespace kv::test
