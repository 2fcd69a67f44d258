// Playback timing and load, measured on the real desktop: the program runs
// in this process (its main window, its F5 hotkey, its worker), a window of
// the bench records the clicks.
//
//  - Repeat precision: one row repeated at 10, 50, 100 and 1000 ms (100
//    clicks; 10 at 1000 ms). Prints the mean interval between clicks, the
//    worst single interval's deviation from the interval, the earliest and
//    latest k-th click against k × interval after F5 (a band that does not
//    widen with k: no drift), and the last click against count × interval.
//  - Processor time of the process during a 20-row pass and during a repeat
//    at 1000 ms (10 minutes; `win_playback_bench.exe 60` for one minute, 0
//    to leave it out).
//
//   tools/wine-run.sh build/win/bin/win_playback_bench.exe [repeat-seconds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/win32_desktop.h"
#include "steps/step_list.h"
#include "support/cpu_time.h"
#include "support/program_process.h"
#include "support/target_window.h"

namespace {

using namespace kv;
using mainwin::MainRole;

// Dispatches as the program's own loop does, sleeping between messages;
// looks at the condition at least every 250 ms.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        platform::win32::processPendingMessages();
        if (done()) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(std::min<ULONGLONG>(end - now, 250)),
                                  QS_ALLINPUT);
    }
}

class Bench {
public:
    Bench() {
        window_ = program_.openMainWindow();
        steps().deleteAllRows();
        pumpUntil([] { return false; }, 300);
    }
    ~Bench() { window_->close(); }

    steps::StepList steps() { return steps::StepList(window_->list(MainRole::stepList)); }
    void addRow(POINT client, const std::string& interval, const std::string& count) {
        const POINT p = target_.toScreen(client);
        steps().appendStep(
            {std::to_string(p.x), std::to_string(p.y), "左键", "单击", interval, count, ""});
    }
    bool idle() { return window_->text(MainRole::startButton) == mainwin::kCaptionIdle; }
    bool running() { return window_->text(MainRole::startButton) == mainwin::kCaptionRunning; }
    // Presses F5 and dispatches until the run has ended; returns F5's time.
    std::int64_t play(DWORD timeoutMs) {
        target_.clear();
        const std::int64_t start = test::steadyMicros();
        test::pressKey(VK_F5);
        pumpUntil([&] { return running(); }, 3000);
        pumpUntil([&] { return idle(); }, timeoutMs);
        pumpUntil([] { return false; }, 100);
        return start;
    }
    std::vector<std::int64_t> pressTimes() const {
        std::vector<std::int64_t> times;
        for (const test::ButtonMessage& m : target_.messages()) {
            // The target's class takes double clicks: a quick second press
            // at the same point arrives as a double click.
            if (m.message == WM_LBUTTONDOWN || m.message == WM_LBUTTONDBLCLK) {
                times.push_back(m.atUs);
            }
        }
        return times;
    }

private:
    platform::win32::Win32Desktop desktop_;
    app::Klikvane program_{desktop_};
    test::TargetWindow target_{test::kTargetScreenRect, test::kTargetEditRect};
    platform::Window* window_ = nullptr;
};

void repeatPrecision(Bench& bench, int intervalMs, int clicks) {
    bench.steps().deleteAllRows();
    bench.addRow({30, 30}, std::to_string(intervalMs), std::to_string(clicks));
    const std::int64_t start = bench.play(static_cast<DWORD>(intervalMs) * clicks + 10000);
    const std::vector<std::int64_t> t = bench.pressTimes();
    if (t.size() != static_cast<std::size_t>(clicks)) {
        std::printf("%8d ms: %zu clicks of %d\n", intervalMs, t.size(), clicks);
        return;
    }
    double worstStep = 0;
    for (std::size_t k = 1; k < t.size(); ++k) {
        worstStep = std::max(worstStep, std::abs((t[k] - t[k - 1]) / 1000.0 - intervalMs));
    }
    // Where the k-th click lands against k × interval after F5. Without drift
    // the offsets stay within a narrow band (F5 to the set-up is the floor)
    // however many clicks; with drift they grow with k.
    double lowest = 1e9;
    double highest = -1e9;
    for (std::size_t k = 0; k < t.size(); ++k) {
        const double offset = (t[k] - start) / 1000.0 - static_cast<double>(k + 1) * intervalMs;
        lowest = std::min(lowest, offset);
        highest = std::max(highest, offset);
    }
    const double mean = (t.back() - t.front()) / 1000.0 / static_cast<double>(t.size() - 1);
    const double last = (t.back() - start) / 1000.0;
    std::printf("%8d ms %6d %10.3f %11.2f %9.2f %9.2f %11.1f %10d\n", intervalMs, clicks, mean,
                worstStep, lowest, highest, last, intervalMs * clicks);
}

void cpuWhileIdle(int seconds) {
    const double cpuBefore = test::processCpuMs();
    const std::int64_t start = test::steadyMicros();
    pumpUntil([] { return false; }, static_cast<DWORD>(seconds) * 1000);
    const double elapsedMs = (test::steadyMicros() - start) / 1000.0;
    const double cpu = test::processCpuMs() - cpuBefore;
    std::printf("idle, no run:           %6d clicks, %8.0f ms elapsed, %7.1f ms CPU = %5.2f %%\n",
                0, elapsedMs, cpu, 100.0 * cpu / elapsedMs);
}

void cpuOfAPass(Bench& bench) {
    bench.steps().deleteAllRows();
    for (int row = 0; row < 20; ++row) {
        bench.addRow({10 + 10 * row, 40}, "", "");
    }
    const double cpuBefore = test::processCpuMs();
    const std::int64_t start = bench.play(60000);
    const double elapsedMs = (test::steadyMicros() - start) / 1000.0;
    const double cpu = test::processCpuMs() - cpuBefore;
    std::printf("20-row pass:            %6zu clicks, %8.0f ms elapsed, %7.1f ms CPU = %5.2f %%\n",
                bench.pressTimes().size(), elapsedMs, cpu, 100.0 * cpu / elapsedMs);
}

void cpuOfARepeat(Bench& bench, int seconds) {
    bench.steps().deleteAllRows();
    bench.addRow({30, 30}, "1000", std::to_string(seconds));
    const double cpuBefore = test::processCpuMs();
    const std::int64_t start = bench.play(static_cast<DWORD>(seconds) * 1000 + 10000);
    const double elapsedMs = (test::steadyMicros() - start) / 1000.0;
    const double cpu = test::processCpuMs() - cpuBefore;
    std::printf("repeat at 1000 ms:      %6zu clicks, %8.0f ms elapsed, %7.1f ms CPU = %5.2f %%\n",
                bench.pressTimes().size(), elapsedMs, cpu, 100.0 * cpu / elapsedMs);
}

}  // namespace

int main(int argc, char** argv) {
    const int repeatSeconds = argc > 1 ? std::atoi(argv[1]) : 600;
    Bench bench;
    std::printf("code page %u\n\n", GetACP());
    std::printf("Repeat precision (times from F5; deviations in ms)\n");
    std::printf("%11s %6s %10s %11s %9s %9s %11s %10s\n", "interval", "clicks", "mean",
                "worst step", "k-th min", "k-th max", "last click", "count x iv");
    repeatPrecision(bench, 10, 100);
    repeatPrecision(bench, 50, 100);
    repeatPrecision(bench, 100, 100);
    repeatPrecision(bench, 1000, 10);
    std::printf("\nProcessor time of the process\n");
    cpuWhileIdle(6);
    cpuOfAPass(bench);
    if (repeatSeconds > 0) {
        cpuOfARepeat(bench, repeatSeconds);
    }
    return 0;
}
