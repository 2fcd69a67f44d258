// The system-wide low-level mouse hook (WH_MOUSE_LL) on the real desktop.
//
// The system removes a hook whose procedure is slow, and the whole desktop's
// mouse waits for it meanwhile, so the procedure does the least: it posts
// the event's kind and point to the receiving window (a move only when no
// earlier one is still waiting; the window then reads the latest point) and
// passes the event on at once. Only one hook exists at a time.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "platform/mouse_hook.h"
#include "platform/win32/unique_handle.h"

#include "platform/win32/private_messages.h"

namespace kv::platform::win32 {

class Win32MouseHook : public MouseHook {
public:
    // nullptr when the system refuses the hook or another one is live.
    static std::unique_ptr<Win32MouseHook> install(HWND receiver);
    ~Win32MouseHook() override;
    Win32MouseHook(const Win32MouseHook&) = delete;
    Win32MouseHook& operator=(const Win32MouseHook&) = delete;

    bool leftReleaseLost() override;

    // The window's side of kMouseHookMessage.
    static HookedMouseEvent takeReport(WPARAM wParam, LPARAM lParam);

    // Time spent inside the hook procedure, for measurements.
    struct ProcedureTimes {
        long long calls;
        double totalMicroseconds;
        double maxMicroseconds;
    };
    static ProcedureTimes procedureTimes();
    static void resetProcedureTimes();

private:
    explicit Win32MouseHook(HWND receiver) : receiver_(receiver) {}
    static LRESULT CALLBACK procedure(int code, WPARAM wParam, LPARAM lParam);
    void report(WPARAM message, const MSLLHOOKSTRUCT& event);

    HWND receiver_;
    UniqueHook hook_;
    std::atomic<bool> releaseReported_{false};
    std::atomic<bool> movePosted_{false};
    std::atomic<unsigned long long> latestMove_{0};
};

}  // namespace kv::platform::win32
