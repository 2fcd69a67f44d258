#include "platform/win32/win32_waits.h"

#include <windows.h>
// timeBeginPeriod, from winmm; WIN32_LEAN_AND_MEAN leaves it out of windows.h.
#include <mmsystem.h>

#include <chrono>

#include "platform/win32/message_loop.h"
#include "platform/win32/unique_handle.h"

namespace kv::platform::win32 {
namespace {

// The wake mask of the waits: any message, input or sent message.
constexpr DWORD kAnyMessage = QS_ALLINPUT;
constexpr std::int64_t kHundredNsPerMs = 10000;

class Win32Signal : public Signal {
public:
    Win32Signal() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    void set() override { SetEvent(event_.get()); }
    bool isSet() const override { return WaitForSingleObject(event_.get(), 0) == WAIT_OBJECT_0; }
    HANDLE handle() const { return event_.get(); }

private:
    UniqueKernelHandle event_;
};

// The handles a wait watches: its own first, then the cancel signal if any.
struct WaitHandles {
    HANDLE handles[2] = {};
    DWORD count = 0;
    void add(HANDLE handle) {
        if (handle != nullptr) {
            handles[count++] = handle;
        }
    }
    void add(const Signal* signal) {
        if (signal != nullptr) {
            add(static_cast<const Win32Signal*>(signal)->handle());
        }
    }
};

bool isSet(const Signal* signal) {
    return signal != nullptr && signal->isSet();
}

}  // namespace

std::unique_ptr<Signal> Win32Waits::createSignal() {
    return std::make_unique<Win32Signal>();
}

void Win32Waits::processPendingMessages() {
    win32::processPendingMessages();
}

void Win32Waits::waitForMessages(int timeoutMs, const Signal* cancel) {
    if (timeoutMs <= 0) {
        return;
    }
    WaitHandles wait;
    wait.add(cancel);
    MsgWaitForMultipleObjects(wait.count, wait.handles, FALSE, static_cast<DWORD>(timeoutMs),
                              kAnyMessage);
}

void Win32Waits::timerWait(std::int64_t hundredNs, const Signal* cancel) {
    if (hundredNs <= 0 || isSet(cancel)) {
        return;
    }
    UniqueKernelHandle timer(noTimers_ ? nullptr : CreateWaitableTimerW(nullptr, FALSE, nullptr));
    LARGE_INTEGER due;
    due.QuadPart = -hundredNs;  // negative: relative to now
    if (!timer || !SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE)) {
        waitWithoutTimer(hundredNs, cancel);
        return;
    }
    WaitHandles wait;
    wait.add(timer.get());
    wait.add(cancel);
    for (;;) {
        const DWORD result =
            MsgWaitForMultipleObjects(wait.count, wait.handles, FALSE, INFINITE, kAnyMessage);
        if (result != WAIT_OBJECT_0 + wait.count) {
            return;  // the timer, the cancel signal, or a failed wait
        }
        processPendingMessages();
    }
}

void Win32Waits::waitWithoutTimer(std::int64_t hundredNs, const Signal* cancel) {
    const std::int64_t end = steadyMillis() + (hundredNs + kHundredNsPerMs - 1) / kHundredNsPerMs;
    for (std::int64_t now = steadyMillis(); now < end && !isSet(cancel); now = steadyMillis()) {
        const std::int64_t left = end - now;
        waitForMessages(left > INT32_MAX ? INT32_MAX : static_cast<int>(left), cancel);
        processPendingMessages();
    }
}

// Sent messages are served while waiting: a worker that reads a window of
// this thread would otherwise wait for this thread for ever.
bool Win32Waits::waitFor(const Signal& signal, int timeoutMs) {
    const std::int64_t end = timeoutMs < 0 ? INT64_MAX : steadyMillis() + timeoutMs;
    WaitHandles wait;
    wait.add(&signal);
    while (!signal.isSet()) {
        const std::int64_t now = steadyMillis();
        if (now >= end) {
            return false;
        }
        const DWORD timeout = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(end - now);
        MsgWaitForMultipleObjects(wait.count, wait.handles, FALSE, timeout, QS_SENDMESSAGE);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return true;
}

std::int64_t Win32Waits::steadyMillis() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void Win32Waits::raiseTimerResolution() {
    timeBeginPeriod(1);
    if (resolutionRaises_++ == 0) {
        honourTimerResolutionWhenHidden(true);
    }
}

void Win32Waits::restoreTimerResolution() {
    if (--resolutionRaises_ == 0) {
        honourTimerResolutionWhenHidden(false);
    }
    timeEndPeriod(1);
}

// Windows 11 ignores the timer resolution a minimised or hidden program asks
// for, unless the program opts out of that throttling. The call exists from
// Windows 8 on and is looked up at run time; where it or the throttling class
// is unknown (older systems, wine), nothing happens.
void Win32Waits::honourTimerResolutionWhenHidden(bool honour) {
    using SetProcessInformationFn = BOOL(WINAPI*)(HANDLE, int, void*, DWORD);
    struct PowerThrottlingState {
        ULONG version;
        ULONG controlMask;
        ULONG stateMask;
    };
    constexpr int kProcessPowerThrottling = 4;
    constexpr ULONG kThrottlingVersion = 1;
    constexpr ULONG kIgnoreTimerResolution = 0x4;

    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setInformation = reinterpret_cast<SetProcessInformationFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetProcessInformation")));
    if (setInformation == nullptr) {
        return;
    }
    // Control bit set with the state bit clear: never ignore the request.
    // Both clear: the system decides again.
    PowerThrottlingState state{kThrottlingVersion, honour ? kIgnoreTimerResolution : 0, 0};
    setInformation(GetCurrentProcess(), kProcessPowerThrottling, &state, sizeof state);
}

}  // namespace kv::platform::win32
