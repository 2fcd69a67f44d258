// The private window messages of the Win32 backend, in one table so that no
// two share a number (a shared number sends one kind of message to the
// other's handler).
#pragma once

#include <windows.h>

namespace kv::platform::win32 {

// lParam points to a std::function<void()> to run (sent, the sender waits).
inline constexpr UINT kRunOnOwnerMessage = WM_APP + 1;
// lParam is a std::function<void()> posted with new; the window runs and
// deletes it.
inline constexpr UINT kPostedWorkMessage = WM_APP + 2;
// A mouse hook's report: wParam kind and own-input flag, lParam the point
// (moves: read the latest with Win32MouseHook::takeReport).
inline constexpr UINT kMouseHookMessage = WM_APP + 3;
// The notification-area icon reports the mouse with this.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 4;
// Hides the window once the position change in progress is complete.
inline constexpr UINT kHideMessage = WM_APP + 5;
// A precise timer's tick: wParam the timer's id, lParam the generation it
// was armed in.
inline constexpr UINT kPreciseTickMessage = WM_APP + 13;

}  // namespace kv::platform::win32
