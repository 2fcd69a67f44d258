// The step editor and quick add, measured on the real desktop with the
// program in this process:
//  - time from an edit-mode opening to filled fields (median and worst of
//    100 openings);
//  - process memory (private bytes) and USER and GDI object counts after 10
//    and after 1,000 openings and closings of the editor;
//  - one quick-add tick with 10 and with 10,000 rows (median of 50);
//  - processor time of the process with quick add on and the cursor still,
//    next to the main window alone (5 minutes each; `win_editor_bench.exe 60`
//    for one minute, 0 to leave it out).
//
//   tools/wine-run.sh build/win/bin/win_editor_bench.exe [idle-seconds]
#include <windows.h>
// psapi.h builds on windows.h.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/klikvane.h"
#include "capture/step_editor.h"
#include "mainwin/main_role.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/win32_desktop.h"
#include "steps/step_list.h"
#include "support/cpu_time.h"
#include "support/pump.h"

namespace {

using namespace kv;
using capture::EditorRole;
using mainwin::MainRole;
using Clock = std::chrono::steady_clock;

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

PROCESS_MEMORY_COUNTERS memoryCounters() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

class Bench {
public:
    Bench() {
        main_ = program_.openMainWindow();
        steps().deleteAllRows();
        test::pumpFor(200);
    }
    ~Bench() { main_->close(); }

    steps::StepList steps() { return steps::StepList(main_->list(MainRole::stepList)); }
    capture::StepEditor& editor() { return program_.mainWindow().stepEditor(); }

    // Opens the editor for row 0 and dispatches until the fill has written
    // its last field; returns the time that took, in microseconds.
    double openFilled() {
        program_.shared().selectedRow = 0;
        program_.shared().editBuffer.set(*steps().readRow(0));
        const Clock::time_point start = Clock::now();
        editor().openEditMode();
        platform::Window* window = editor().window();
        test::pumpUntil([&] { return window->comboText(EditorRole::actionCombo) == "放开"; }, 5000);
        return micros(Clock::now() - start);
    }
    void closeEditor() {
        editor().close();
        test::pumpFor(0);
    }

    void fillTiming() {
        steps().deleteAllRows();
        steps().appendStep({"123", "456", "右键", "放开", "100", "2", "中文文字"});
        std::vector<double> times;
        for (int i = 0; i < 100; ++i) {
            times.push_back(openFilled());
            closeEditor();
        }
        std::printf("edit-mode opening to filled fields: median %.0f us, worst %.0f us (100)\n",
                    median(times), *std::max_element(times.begin(), times.end()));
    }

    void resources() {
        int opened = 0;
        for (const int upTo : {10, 1000}) {
            for (; opened < upTo; ++opened) {
                openFilled();
                closeEditor();
            }
            test::pumpFor(100);
            const PROCESS_MEMORY_COUNTERS memory = memoryCounters();
            std::printf(
                "after %4d openings: working set %zu KiB, committed %zu KiB, USER %lu, GDI %lu\n",
                opened, static_cast<std::size_t>(memory.WorkingSetSize / 1024),
                static_cast<std::size_t>(memory.PagefileUsage / 1024),
                GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
                GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
        }
    }

    void quickAddTicks() {
        for (const int rows : {10, 10000}) {
            steps().deleteAllRows();
            {
                steps::StepList list = steps();
                steps::BulkUpdate bulk(list);
                for (int row = 0; row < rows; ++row) {
                    list.appendStep({std::to_string(row), "1", "左键", "单击", "1000", "1", ""});
                }
            }
            std::vector<double> times;
            for (int i = 0; i < 50; ++i) {
                SetCursorPos(100 + i % 2, 100);  // a move each time: a row is added
                const Clock::time_point start = Clock::now();
                program_.mainWindow().onTimer(*main_, MainRole::quickAddTimer);
                times.push_back(micros(Clock::now() - start));
            }
            std::printf("quick-add tick with %5d rows: median %.0f us, worst %.0f us (50)\n", rows,
                        median(times), *std::max_element(times.begin(), times.end()));
        }
        steps().deleteAllRows();
    }

    // Processor time of the process over `seconds` of dispatching, in percent.
    double idleLoad(int seconds) {
        const double cpuBefore = test::processCpuMs();
        const ULONGLONG start = GetTickCount64();
        test::pumpFor(static_cast<DWORD>(seconds) * 1000);
        const double wall = static_cast<double>(GetTickCount64() - start);
        return 100.0 * (test::processCpuMs() - cpuBefore) / wall;
    }

    void idleQuickAdd(int seconds) {
        steps().deleteAllRows();
        SetCursorPos(300, 300);
        std::printf("main window alone, cursor still for %d s: %.3f %% processor time\n", seconds,
                    idleLoad(seconds));
        program_.mainWindow().onClicked(*main_, MainRole::quickAddButton);
        test::pumpFor(1000);  // the first tick records the resting point
        const double load = idleLoad(seconds);
        std::printf("quick add on, cursor still for %d s: %.3f %% processor time, %d row(s)\n",
                    seconds, load, steps().rowCount());
        program_.mainWindow().onClicked(*main_, MainRole::quickAddButton);
    }

private:
    platform::win32::Win32Desktop desktop_;
    app::Klikvane program_{desktop_};
    platform::Window* main_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 300;
    test::removeStoreBesideExecutable();
    {
        Bench bench;
        bench.fillTiming();
        bench.resources();
        bench.quickAddTicks();
        if (idleSeconds > 0) {
            bench.idleQuickAdd(idleSeconds);
        }
    }
    test::removeStoreBesideExecutable();
    return 0;
}
