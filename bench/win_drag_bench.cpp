// Row drag cost, measured on the real desktop: the program runs in this
// process (its main window and its mouse hook), the mouse is moved as a
// user's (xdotool under wine, real input on Windows).
//
//  - For 100, 1,000 and 10,000 rows: the time spent inside the hook
//    procedure per mouse event during a drag (mean, max), and from the
//    release reaching the system's hooks to the list showing the exchange.
//  - The delay of a mouse move reaching another program's window (a window
//    on a thread of its own), with a drag live and without.
//  - 1,000 drags, then what is left: live hooks, the program's windows,
//    GDI and user objects of the process.
//
//   tools/wine-run.sh build/win64/bin/win_drag_bench.exe
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "drag/row_drag.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_mouse_hook.h"
#include "steps/step_list.h"
#include "support/pump.h"
#include "support/real_mouse.h"
#include "support/target_window.h"

namespace {

using namespace kv;
using mainwin::MainRole;
using platform::win32::Win32MouseHook;

// Every figure is also kept, and written beside the bench at the end:
// under wine, the standard output does not always survive the input tool's
// processes.
std::string figures;
void report(const char* format, ...) {
    char line[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    figures += line;
    std::fputs(line, stdout);
}

void writeFigures() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path);
    file = file.substr(0, file.find_last_of(L'\\') + 1) + L"win_drag_bench.txt";
    std::ofstream(std::filesystem::path(file), std::ios::binary) << figures;
}

// A hook of the bench, installed before the program's and so called after
// it: the moment the system hands the release to the hooks.
std::atomic<std::int64_t> releaseSeenUs{0};
LRESULT CALLBACK benchHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == WM_LBUTTONUP) {
        releaseSeenUs = test::steadyMicros();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Another program's window, on its own thread: when each mouse move arrives.
class MoveWatcher {
public:
    MoveWatcher() {
        thread_ = std::thread([this] { run(); });
        while (hwnd_ == nullptr) {
            Sleep(10);
        }
    }
    ~MoveWatcher() {
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    RECT rect() const {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        return r;
    }
    std::int64_t lastMoveUs() const { return lastMoveUs_; }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<MoveWatcher*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_MOUSEMOVE && self != nullptr) {
            self->lastMoveUs_ = test::steadyMicros();
        }
        if (message == WM_DESTROY) {
            PostQuitMessage(0);
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    void run() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KvMoveWatcher";
        RegisterClassW(&windowClass);
        HWND hwnd = CreateWindowExW(0, L"KvMoveWatcher", L"watcher", WS_POPUP | WS_VISIBLE, 40, 40,
                                    300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        hwnd_ = hwnd;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
    }
    std::thread thread_;
    std::atomic<HWND> hwnd_{nullptr};
    std::atomic<std::int64_t> lastMoveUs_{0};
};

class Bench {
public:
    Bench() {
        test::removeStoreBesideExecutable();
        window_ = program_.openMainWindow();
        steps().deleteAllRows();
    }
    ~Bench() {
        window_->close();
        test::removeStoreBesideExecutable();
    }
    steps::StepList steps() { return steps::StepList(window_->list(MainRole::stepList)); }
    POINT rowCentre(int row) {
        const platform::Rect r = window_->list(MainRole::stepList).rowBounds(row);
        POINT p{r.left + r.width / 2, r.top + r.height / 2};
        ClientToScreen(reinterpret_cast<HWND>(window_->controlHandle(MainRole::stepList)), &p);
        return p;
    }
    void fill(int rows) {
        steps::StepList list = steps();
        steps::BulkUpdate bulk(list);
        list.deleteAllRows();
        for (int i = 0; i < rows; ++i) {
            const std::string n = std::to_string(i);
            list.appendStep({n, n, "左键", "单击", "100", "1", "行" + n});
        }
    }
    // The hand runs on its own thread while this one dispatches.
    void whileDispatching(const std::function<void()>& hand, const std::function<bool()>& done) {
        std::atomic<bool> handDone{false};
        std::thread thread([&] {
            hand();
            handDone = true;
        });
        test::pumpUntil([&] { return handDone.load() && done(); }, 30000);
        thread.join();
    }
    void rowSizes(int rows) {
        fill(rows);
        test::pumpFor(300);
        const POINT from = rowCentre(0);
        const POINT to = rowCentre(3);
        const std::string before = steps().readCell(0, 6);
        Win32MouseHook::resetProcedureTimes();
        std::int64_t changedUs = 0;
        releaseSeenUs = 0;
        whileDispatching(
            [&] {
                test::mouseMoveTo(from);
                Sleep(100);
                test::mouseLeftDown();
                Sleep(100);
                test::mouseGlide(from, to, 30, 10);
                test::waitForCursorAt(to);
                Sleep(200);
                test::mouseLeftUp();
            },
            [&] {
                if (changedUs == 0 && steps().readCell(0, 6) != before) {
                    changedUs = test::steadyMicros();
                }
                return changedUs != 0;
            });
        const auto times = Win32MouseHook::procedureTimes();
        report(
            "%6d rows: hook procedure %lld events, mean %.1f us, max %.1f us; "
            "release to list changed %.2f ms%s\n",
            rows, times.calls, times.calls ? times.totalMicroseconds / times.calls : 0.0,
            times.maxMicroseconds,
            releaseSeenUs && changedUs ? (changedUs - releaseSeenUs) / 1000.0 : -1.0,
            steps().readCell(3, 6) == before ? "" : " (NOT EXCHANGED)");
    }
    // Mean delay from the move's input to the watcher's WM_MOUSEMOVE.
    double moveDelayMs(MoveWatcher& watcher, int moves) {
        const RECT r = watcher.rect();
        double total = 0;
        int seen = 0;
        for (int i = 0; i < moves; ++i) {
            const std::int64_t before = watcher.lastMoveUs();
            const std::int64_t sent = test::steadyMicros();
            test::mouseMoveTo({r.left + 20 + (i % 2) * 100, r.top + 50 + (i % 3) * 30});
            if (test::pumpUntil([&] { return watcher.lastMoveUs() != before; }, 2000)) {
                total += static_cast<double>(watcher.lastMoveUs() - sent) / 1000.0;
                ++seen;
            }
        }
        return seen ? total / seen : -1.0;
    }
    // Another program's window gets moves only while no button is held (a
    // press hands them to the pressed window), so the drag's hook is
    // installed on its own here: every move goes through it on its way.
    void moveDelay() {
        fill(100);
        test::pumpFor(300);
        MoveWatcher watcher;
        const double without = moveDelayMs(watcher, 30);
        auto hook = desktop_.hookMouse(*window_);
        const double with = moveDelayMs(watcher, 30);
        hook.reset();
        report(
            "move reaching another program's window (input to WM_MOUSEMOVE, incl. starting "
            "the input tool): %.2f ms without the drag's hook, %.2f ms with it%s\n",
            without, with, hook ? "" : "");
    }
    // The program's own part of a drop: finding the row and exchanging.
    void dropCost(int rows) {
        fill(rows);
        platform::ListControl& list = window_->list(MainRole::stepList);
        const platform::Rect last = list.rowBounds(rows - 1);
        const std::int64_t start = test::steadyMicros();
        int found = 0;
        for (int i = 0; i < 100; ++i) {
            found += drag::rowAtPoint(list, {last.left + 5, last.top + 3});
            list.exchangeRows(0, rows - 1);
        }
        report("%6d rows: rowAtPoint + exchangeRows on the UI thread %.1f us each (row %d)\n", rows,
               (test::steadyMicros() - start) / 100.0, found / 100);
    }
    // A callback of the system's calling convention (a lambda has none on
    // 32-bit Windows).
    static BOOL CALLBACK countWindow(HWND, LPARAM data) {
        ++*reinterpret_cast<int*>(data);
        return TRUE;
    }
    int programWindows() {
        int count = 0;
        EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
        return count;
    }
    void leaks(int drags) {
        fill(10);
        test::pumpFor(300);
        const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
        const int windowsBefore = programWindows();
        const POINT from = rowCentre(2);
        const POINT to = rowCentre(5);
        int shown = 0;
        for (int i = 0; i < drags; ++i) {
            test::mouseMoveTo(from);
            test::pumpFor(5);
            test::mouseLeftDown();
            test::pumpFor(5);
            test::mouseMoveTo({from.x, from.y + 10});
            test::pumpFor(5);
            test::mouseMoveTo(to);
            test::pumpFor(10);
            shown += program_.mainWindow().rowDrag().image().window() != nullptr ? 1 : 0;
            test::mouseLeftUp();
            test::pumpFor(10);
        }
        test::pumpFor(300);
        // A hook can be installed only while none is live.
        auto probe = desktop_.hookMouse(*window_);
        report(
            "after %d drags (%d showed the picture): live drag hook %s; windows %d -> %d; "
            "GDI objects %lu -> %lu; user objects %lu -> %lu\n",
            drags, shown, probe ? "none" : "STILL THERE", windowsBefore, programWindows(),
            gdiBefore, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), userBefore,
            GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    }

private:
    platform::win32::Win32Desktop desktop_;
    app::Klikvane program_{desktop_};
    platform::Window* window_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // figures appear as they come
    const int drags = argc > 1 ? std::atoi(argv[1]) : 1000;
    HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, benchHook, GetModuleHandleW(nullptr), 0);
    {
        Bench bench;
        for (const int rows : {100, 1000, 10000}) {
            bench.rowSizes(rows);
            bench.dropCost(rows);
        }
        bench.moveDelay();
        bench.leaks(drags);
    }
    UnhookWindowsHookEx(hook);
    writeFigures();
    return 0;
}
