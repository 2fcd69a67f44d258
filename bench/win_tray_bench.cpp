// The real program's list menu on a long list, its about window opened and
// closed many times, and its cost while it waits in the notification area.
// Run under wine, on a display:
//
//   KV_EXE=... xvfb-run -a -s "-screen 0 1280x1024x24" wine win_tray_bench.exe [idle s] [cycles]
//
// - "全部删除" and "删除" of row 0 on 10,000 rows: from the click on the menu
//   item until the list shows the new row count (read from this process).
// - 1,000 F8 / Esc cycles: the program's working set, kernel handles and
//   window-system objects before and after.
// - Idle in the notification area (300 s unless given): processor time of
//   the program over elapsed time.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "support/mouse_input.h"
#include "support/popup_menus.h"
#include "support/program_process.h"
#include "support/remote_list_view.h"
#include "support/store_file.h"

namespace {

using namespace kv;

constexpr wchar_t kMainCaption[] = L"鼠标自动点击";
constexpr wchar_t kAboutCaption[] = L"关于";
constexpr int kRows = 10000;
constexpr int kAboutCycles = 1000;

double nowMs() {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

double cpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto ms = [](FILETIME t) {
        return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

struct Resources {
    std::size_t workingSetKb;
    DWORD handles;
    DWORD gdiObjects;
    DWORD userObjects;
};

Resources resourcesOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    return {static_cast<std::size_t>(memory.WorkingSetSize / 1024), handles,
            GetGuiResources(process, GR_GDIOBJECTS), GetGuiResources(process, GR_USEROBJECTS)};
}

int rowCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

// Right press on a row, choose the item; returns ms from the click on the
// item to the list having `expectedRows`, or -1.
double timeListCommand(HWND list, int row, int item, int expectedRows) {
    const POINT at = test::listRowPoint(list, row);
    test::clickAt(at, platform::MouseButton::left);
    test::pumpFor(300);
    test::pressButtonAt(at, platform::MouseButton::right);
    if (test::openMenu() == nullptr) {
        return -1;
    }
    test::releaseButtonAt(at, platform::MouseButton::right);
    test::pumpFor(300);
    const double start = nowMs();
    if (!test::chooseMenuItem(item, 4)) {
        return -1;
    }
    if (!test::pumpUntil([&] { return rowCount(list) == expectedRows; }, 60000)) {
        return -1;
    }
    // chooseMenuItem waits 300 ms before its click.
    return nowMs() - start - 300.0;
}

}  // namespace

int main(int argc, char** argv) {
    const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 300;
    const int aboutCycles = argc > 2 ? std::atoi(argv[2]) : kAboutCycles;
    std::vector<steps::StepRecord> rows(kRows, {"100", "200", "左键", "单击", "1000", "1", "文字"});
    test::ProgramProcess program;
    if (!test::writeStoreFile(test::storeFileIn(program.directory()), rows) || !program.start()) {
        std::printf("could not start the program\n");
        return 1;
    }
    HWND main = program.waitForWindow(kMainCaption, 60000);
    HWND list = main != nullptr ? test::listViewIn(main) : nullptr;
    if (list == nullptr || !test::pumpUntil([&] { return rowCount(list) == kRows; }, 60000)) {
        std::printf("the list did not fill\n");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(main, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    SetForegroundWindow(main);
    test::pumpFor(500);

    const double deleteRow0 = timeListCommand(list, 0, 2, kRows - 1);
    std::printf("\"删除\" of row 0 on %d rows: %.1f ms\n", kRows, deleteRow0);
    const double deleteAll = timeListCommand(list, 0, 3, 0);
    std::printf("\"全部删除\" on %d rows: %.1f ms\n", kRows - 1, deleteAll);
    std::fflush(stdout);

    // About window: the first cycle warms up (fonts, picture), then 1,000 more.
    // Closed alternately by Esc and by a right press, as a user closes it.
    int cycle = 0;
    auto aboutCycle = [&] {
        test::pressKey(VK_F8);
        HWND about = nullptr;
        if (!test::pumpUntil(
                [&] {
                    about = FindWindowW(nullptr, kAboutCaption);
                    return about != nullptr && IsWindowVisible(about);
                },
                2000)) {
            return false;
        }
        RECT r{};
        GetWindowRect(about, &r);
        if (++cycle % 2 == 0 && SetForegroundWindow(about)) {
            test::pressKey(VK_ESCAPE);
        } else {
            test::clickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2},
                          platform::MouseButton::right);
        }
        return test::pumpUntil([&] { return FindWindowW(nullptr, kAboutCaption) == nullptr; },
                               2000);
    };
    aboutCycle();
    test::pumpFor(500);
    const Resources before = resourcesOf(process);
    int closed = 0;
    const double cyclesStart = nowMs();
    for (int i = 0; i < aboutCycles; ++i) {
        closed += aboutCycle() ? 1 : 0;
        if ((i + 1) % 200 == 0) {
            const Resources now = resourcesOf(process);
            std::printf("  after %d cycles: working set %zu KB, handles %lu, GDI %lu, USER %lu\n",
                        i + 1, now.workingSetKb, now.handles, now.gdiObjects, now.userObjects);
            std::fflush(stdout);
        }
    }
    const double cyclesMs = nowMs() - cyclesStart;
    test::pumpFor(500);
    const Resources after = resourcesOf(process);
    std::printf("%d F8/Esc cycles (%d closed) in %.0f ms\n", aboutCycles, closed, cyclesMs);
    std::fflush(stdout);
    std::printf(
        "  working set %zu -> %zu KB, handles %lu -> %lu, GDI objects %lu -> %lu, "
        "USER objects %lu -> %lu\n",
        before.workingSetKb, after.workingSetKb, before.handles, after.handles, before.gdiObjects,
        after.gdiObjects, before.userObjects, after.userObjects);

    // Idle in the notification area.
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    test::pumpUntil([&] { return !IsWindowVisible(main); });
    const double idleStart = nowMs();
    const double cpuStart = cpuMs(process);
    Sleep(static_cast<DWORD>(idleSeconds) * 1000);
    const double idleCpu = cpuMs(process) - cpuStart;
    const double idleElapsed = nowMs() - idleStart;
    std::printf("program process id %lu\n", processId);
    std::printf("idle in the tray %.0f s: %.0f ms processor time = %.2f %% of elapsed\n",
                idleElapsed / 1000.0, idleCpu, 100.0 * idleCpu / idleElapsed);

    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    program.waitForExit(20000);
    CloseHandle(process);
    return 0;
}
