// How every message loop of the program hands a message on: the main loop,
// the nested loop of a modal window and the waits that keep dispatching.
// Keyboard messages for the program's windows get dialog navigation (Tab,
// arrow keys in radio groups) and Esc, which closes the window.
#pragma once

#include <windows.h>

namespace kv::platform::win32 {

inline constexpr wchar_t kWindowClassName[] = L"KlikvaneWindow";

void dispatchMessage(MSG& message);

// Dispatches what is queued for this thread; a WM_QUIT stays in the queue
// for the thread's own loop.
void processPendingMessages();

}  // namespace kv::platform::win32
