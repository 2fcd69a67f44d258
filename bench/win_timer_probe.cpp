// How punctual the system's timers are on this machine, with nothing of the
// program in the way: the floor any clicking on time can reach here.
//
// For intervals of 10, 2 and 1 ms, ticks aimed at absolute deadlines
// (start + k × interval), each measured as its lateness against its deadline:
//  - wait:     a waitable timer (high-resolution where the system has one),
//              waited for by the measuring thread itself;
//  - msgwait:  the same timer waited for together with the thread's messages
//              (MsgWaitForMultipleObjects), as a message loop would;
//  - post:     the timer waited for by a second thread that posts a message
//              to a window; the lateness is when the window's thread
//              dispatches it (how the program's repeat gets its ticks);
//  - settimer: a window timer re-armed to the next deadline at every tick;
//  - click:    as post, but the tick moves the cursor onto the window and
//              clicks there with SendInput, as the program's repeat does;
//              the lateness is when the window sees the button go down.
//              This is the floor of the whole path from tick to click;
//  - clickonly: as click, without moving the cursor (it is already there).
// The timer resolution is raised to 1 ms for the whole probe.
//
//   tools/wine-run.sh build/win64/bin/win_timer_probe.exe [ticks]
#include <windows.h>
// timeBeginPeriod, from winmm.
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

// Not in every SDK's headers: Windows 10 1803 and later know it.
constexpr DWORD kHighResolutionTimer = 0x00000002;
constexpr UINT kTickMessage = WM_APP + 7;
constexpr UINT_PTR kWindowTimerId = 1;

std::int64_t nowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

HANDLE createTimer(bool* highResolution) {
    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    *highResolution = timer != nullptr;
    return timer != nullptr ? timer : CreateWaitableTimerW(nullptr, FALSE, nullptr);
}

// Arms the timer for the absolute steady time dueUs.
void armAt(HANDLE timer, std::int64_t dueUs) {
    LARGE_INTEGER due;
    due.QuadPart = -std::max<std::int64_t>(1, (dueUs - nowUs()) * 10);
    SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
}

struct Result {
    std::vector<double> latenessMs;
    double meanIntervalMs = 0;
};

void print(const char* way, int intervalMs, Result r) {
    std::vector<double>& l = r.latenessMs;
    std::sort(l.begin(), l.end());
    auto at = [&](double q) { return l[static_cast<std::size_t>(q * (l.size() - 1))]; };
    std::printf("%-9s %4d ms %6zu %10.4f %8.3f %8.3f %8.3f %8.3f\n", way, intervalMs, l.size(),
                r.meanIntervalMs, at(0.0), at(0.5), at(0.95), l.back());
}

Result fromTimes(const std::vector<std::int64_t>& at, std::int64_t start, int intervalMs) {
    Result r;
    for (std::size_t k = 0; k < at.size(); ++k) {
        const std::int64_t deadline = start + static_cast<std::int64_t>(k + 1) * intervalMs * 1000;
        r.latenessMs.push_back((at[k] - deadline) / 1000.0);
    }
    r.meanIntervalMs = (at.back() - at.front()) / 1000.0 / static_cast<double>(at.size() - 1);
    return r;
}

Result probeWait(HANDLE timer, int intervalMs, int ticks) {
    std::vector<std::int64_t> at;
    const std::int64_t start = nowUs();
    for (int k = 1; k <= ticks; ++k) {
        armAt(timer, start + std::int64_t{k} * intervalMs * 1000);
        WaitForSingleObject(timer, INFINITE);
        at.push_back(nowUs());
    }
    return fromTimes(at, start, intervalMs);
}

void drain() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&m);
    }
}

Result probeMsgWait(HANDLE timer, int intervalMs, int ticks) {
    std::vector<std::int64_t> at;
    const std::int64_t start = nowUs();
    for (int k = 1; k <= ticks; ++k) {
        armAt(timer, start + std::int64_t{k} * intervalMs * 1000);
        while (MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, QS_ALLINPUT) !=
               WAIT_OBJECT_0) {
            drain();
        }
        at.push_back(nowUs());
    }
    return fromTimes(at, start, intervalMs);
}

struct PostProbe {
    std::vector<std::int64_t> at;
    int wanted = 0;
};

LRESULT CALLBACK probeWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* probe = reinterpret_cast<PostProbe*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if ((message == kTickMessage || message == WM_TIMER) && probe != nullptr) {
        probe->at.push_back(nowUs());
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND createProbeWindow(PostProbe& probe) {
    WNDCLASSW c{};
    c.lpfnWndProc = probeWindowProc;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"KlikvaneTimerProbe";
    RegisterClassW(&c);
    HWND hwnd = CreateWindowExW(0, c.lpszClassName, L"probe", WS_OVERLAPPED, 0, 0, 100, 100,
                                nullptr, nullptr, c.hInstance, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&probe));
    return hwnd;
}

Result probePost(HANDLE timer, int intervalMs, int ticks) {
    PostProbe probe;
    HWND hwnd = createProbeWindow(probe);
    const std::int64_t start = nowUs();
    std::thread waiter([&] {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        for (int k = 1; k <= ticks; ++k) {
            armAt(timer, start + std::int64_t{k} * intervalMs * 1000);
            WaitForSingleObject(timer, INFINITE);
            PostMessageW(hwnd, kTickMessage, 0, 0);
        }
    });
    MSG m;
    while (probe.at.size() < static_cast<std::size_t>(ticks) &&
           GetMessageW(&m, nullptr, 0, 0) > 0) {
        DispatchMessageW(&m);
    }
    waiter.join();
    DestroyWindow(hwnd);
    return fromTimes(probe.at, start, intervalMs);
}

struct ClickProbe {
    std::vector<std::int64_t> at;
    POINT point{};
    bool move = true;
};

LRESULT CALLBACK clickWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* probe = reinterpret_cast<ClickProbe*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (probe != nullptr && message == kTickMessage) {
        if (probe->move) {
            SetCursorPos(probe->point.x, probe->point.y);
        }
        INPUT input[2] = {};
        input[0].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].type = INPUT_MOUSE;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &input[0], sizeof(INPUT));
        SendInput(1, &input[1], sizeof(INPUT));
        return 0;
    }
    if (probe != nullptr && (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)) {
        probe->at.push_back(nowUs());
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

Result probeClick(HANDLE timer, int intervalMs, int ticks, bool move) {
    ClickProbe probe;
    probe.move = move;
    WNDCLASSW c{};
    c.lpfnWndProc = clickWindowProc;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"KlikvaneClickProbe";
    c.style = CS_DBLCLKS;
    RegisterClassW(&c);
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, c.lpszClassName, L"click", WS_POPUP | WS_VISIBLE, 40,
                                40, 300, 200, nullptr, nullptr, c.hInstance, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&probe));
    probe.point = {100, 100};
    SetCursorPos(probe.point.x, probe.point.y);
    drain();
    Sleep(200);
    drain();
    const std::int64_t start = nowUs();
    std::atomic<bool> done{false};
    std::thread waiter([&] {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        for (int k = 1; k <= ticks && !done; ++k) {
            armAt(timer, start + std::int64_t{k} * intervalMs * 1000);
            WaitForSingleObject(timer, INFINITE);
            PostMessageW(hwnd, kTickMessage, 0, 0);
        }
    });
    MSG m;
    const ULONGLONG giveUp = GetTickCount64() + static_cast<ULONGLONG>(ticks) * intervalMs + 5000;
    while (probe.at.size() < static_cast<std::size_t>(ticks) && GetTickCount64() < giveUp) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) {
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&m);
            }
        }
    }
    done = true;
    waiter.join();
    DestroyWindow(hwnd);
    if (probe.at.size() < 2) {
        probe.at = {start, start + 1};
    }
    return fromTimes(probe.at, start, intervalMs);
}

Result probeSetTimer(int intervalMs, int ticks) {
    PostProbe probe;
    HWND hwnd = createProbeWindow(probe);
    const std::int64_t start = nowUs();
    SetTimer(hwnd, kWindowTimerId, static_cast<UINT>(intervalMs), nullptr);
    MSG m;
    while (probe.at.size() < static_cast<std::size_t>(ticks) &&
           GetMessageW(&m, nullptr, 0, 0) > 0) {
        const std::size_t before = probe.at.size();
        DispatchMessageW(&m);
        if (probe.at.size() != before) {
            const std::int64_t next =
                start + static_cast<std::int64_t>(probe.at.size() + 1) * intervalMs * 1000;
            const std::int64_t delay = (next - nowUs() + 999) / 1000;
            SetTimer(hwnd, kWindowTimerId, static_cast<UINT>(std::max<std::int64_t>(1, delay)),
                     nullptr);
        }
    }
    DestroyWindow(hwnd);
    return fromTimes(probe.at, start, intervalMs);
}

}  // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 500;
    timeBeginPeriod(1);
    bool highResolution = false;
    HANDLE timer = createTimer(&highResolution);
    std::printf("waitable timer: %s\n\n", highResolution ? "high resolution" : "normal");
    std::printf("%-9s %7s %6s %10s %8s %8s %8s %8s\n", "way", "interval", "ticks", "mean iv", "min",
                "p50", "p95", "max");
    std::printf("%-9s %7s %6s %10s %8s %8s %8s %8s\n", "", "", "", "(ms)", "late", "late", "late",
                "late");
    for (const int interval : {10, 2, 1}) {
        print("wait", interval, probeWait(timer, interval, ticks));
        print("msgwait", interval, probeMsgWait(timer, interval, ticks));
        print("post", interval, probePost(timer, interval, ticks));
        print("settimer", interval, probeSetTimer(interval, ticks));
        print("click", interval, probeClick(timer, interval, ticks, true));
        print("clickonly", interval, probeClick(timer, interval, ticks, false));
    }
    CloseHandle(timer);
    timeEndPeriod(1);
    return 0;
}
