// Windows of the program under test, reached from the test's own thread or
// process as a user would reach them: by where they are, what they show, a
// click or a button press.
#pragma once

#include <windows.h>

#include <string>

namespace kv::test {

// The text of a window of any thread or process (asked with WM_GETTEXT, so
// edit boxes of another process answer too).
std::wstring remoteText(HWND window);

// The visible child under a client point of parent, or nullptr.
HWND childAt(HWND parent, POINT client);

// A real left click at a client point of window.
void clickClientPoint(HWND window, POINT client);

// Presses the push button under a client point of window, without waiting.
void pushButtonAt(HWND window, POINT client);

// Waits, without pumping this thread, for a visible top-level window with
// this caption (of any process) and for it to be painted.
HWND waitForTopWindow(const wchar_t* caption, DWORD timeoutMs = 5000);

}  // namespace kv::test
