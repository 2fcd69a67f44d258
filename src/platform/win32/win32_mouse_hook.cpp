#include "platform/win32/win32_mouse_hook.h"

#include <windowsx.h>

#include <cstdint>

namespace kv::platform::win32 {
namespace {

// The hook procedure has no context of its own: it finds the live hook here.
std::atomic<Win32MouseHook*> liveHook{nullptr};

constexpr WPARAM kProgramInputFlag = 0x100;

std::atomic<long long> timedCalls{0};
std::atomic<long long> timedTicks{0};
std::atomic<long long> maxTicks{0};

long long performanceFrequency() {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

long long performanceNow() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

bool kindOf(WPARAM message, HookedMouseKind& kind) {
    switch (message) {
        case WM_MOUSEMOVE:
            kind = HookedMouseKind::move;
            return true;
        case WM_LBUTTONDOWN:
            kind = HookedMouseKind::leftDown;
            return true;
        case WM_LBUTTONUP:
            kind = HookedMouseKind::leftUp;
            return true;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
            kind = HookedMouseKind::otherDown;
            return true;
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_XBUTTONUP:
            kind = HookedMouseKind::otherUp;
            return true;
        default:
            return false;  // wheel turns
    }
}

// Points travel as two signed 16-bit halves, like mouse messages' own.
LPARAM packPoint(POINT p) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(p.x)),
                      static_cast<WORD>(static_cast<short>(p.y)));
}

unsigned long long packMove(POINT p, bool programInput) {
    return (static_cast<unsigned long long>(static_cast<std::uint32_t>(p.x)) << 33) |
           (static_cast<unsigned long long>(static_cast<std::uint32_t>(p.y)) << 1) |
           (programInput ? 1u : 0u);
}

}  // namespace

std::unique_ptr<Win32MouseHook> Win32MouseHook::install(HWND receiver) {
    std::unique_ptr<Win32MouseHook> hook(new Win32MouseHook(receiver));
    Win32MouseHook* none = nullptr;
    if (!liveHook.compare_exchange_strong(none, hook.get())) {
        return nullptr;
    }
    hook->hook_.reset(SetWindowsHookExW(WH_MOUSE_LL, procedure, GetModuleHandleW(nullptr), 0));
    if (!hook->hook_) {
        liveHook = nullptr;
        return nullptr;
    }
    return hook;
}

Win32MouseHook::~Win32MouseHook() {
    hook_.reset();
    Win32MouseHook* self = this;
    liveHook.compare_exchange_strong(self, nullptr);
}

LRESULT CALLBACK Win32MouseHook::procedure(int code, WPARAM wParam, LPARAM lParam) {
    const long long start = performanceNow();
    if (code == HC_ACTION) {
        if (Win32MouseHook* hook = liveHook.load()) {
            hook->report(wParam, *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam));
        }
    }
    const long long ticks = performanceNow() - start;
    timedCalls.fetch_add(1, std::memory_order_relaxed);
    timedTicks.fetch_add(ticks, std::memory_order_relaxed);
    long long seen = maxTicks.load(std::memory_order_relaxed);
    while (ticks > seen && !maxTicks.compare_exchange_weak(seen, ticks)) {
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Win32MouseHook::report(WPARAM message, const MSLLHOOKSTRUCT& event) {
    HookedMouseKind kind{};
    if (!kindOf(message, kind)) {
        return;
    }
    const bool programInput = event.dwExtraInfo == kProgramInputMark;
    if (kind == HookedMouseKind::move) {
        latestMove_ = packMove(event.pt, programInput);
        if (!movePosted_.exchange(true)) {
            PostMessageW(receiver_, kMouseHookMessage, static_cast<WPARAM>(kind), 0);
        }
        return;
    }
    if (kind == HookedMouseKind::leftUp) {
        releaseReported_ = true;
    }
    PostMessageW(receiver_, kMouseHookMessage,
                 static_cast<WPARAM>(kind) | (programInput ? kProgramInputFlag : 0),
                 packPoint(event.pt));
}

HookedMouseEvent Win32MouseHook::takeReport(WPARAM wParam, LPARAM lParam) {
    const auto kind = static_cast<HookedMouseKind>(wParam & ~kProgramInputFlag);
    if (kind != HookedMouseKind::move) {
        return {
            kind, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, (wParam & kProgramInputFlag) != 0};
    }
    Win32MouseHook* hook = liveHook.load();
    if (hook == nullptr) {
        return {kind, {}, false};  // the hook is gone; the drag has ended
    }
    hook->movePosted_ = false;
    const unsigned long long move = hook->latestMove_.load();
    return {kind,
            {static_cast<int>(static_cast<std::uint32_t>(move >> 33)),
             static_cast<int>(static_cast<std::uint32_t>((move >> 1) & 0xFFFFFFFFu))},
            (move & 1u) != 0};
}

// A release the hook is about to report may be waiting for this thread:
// letting pending sent messages (hook calls among them) run first makes sure
// a release that did happen is counted.
bool Win32MouseHook::leftReleaseLost() {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (releaseReported_) {
        return false;
    }
    const int leftButton = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(leftButton) & 0x8000) == 0;
}

Win32MouseHook::ProcedureTimes Win32MouseHook::procedureTimes() {
    const double perMicrosecond = static_cast<double>(performanceFrequency()) / 1e6;
    return {timedCalls.load(), static_cast<double>(timedTicks.load()) / perMicrosecond,
            static_cast<double>(maxTicks.load()) / perMicrosecond};
}

void Win32MouseHook::resetProcedureTimes() {
    timedCalls = 0;
    timedTicks = 0;
    maxTicks = 0;
}

}  // namespace kv::platform::win32
