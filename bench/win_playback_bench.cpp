// Playback timing and load, measured on the real desktop: the program runs
// in this process (its main window, its F5 hotkey, its worker), a window of
// the bench records the clicks.
//
//  - Repeat precision: one row repeated at 1, 5, 10, 50, 100 and 1000 ms
//    (100 clicks; 1000 at 1 ms, 10 at 1000 ms). Prints the mean interval
//    between clicks, the worst single interval's deviation from the
//    interval, the earliest and latest k-th click against k × interval after
//    F5 (a band that does not widen with k: no drift), how late the 95th
//    percentile click is after the earliest offset, the last click against
//    count × interval, and the process's processor time over the repeat.
//    KV_BENCH_DETAIL=1 also lists every click more than 2 ms late.
//  - Processor time of the process during a 20-row pass and during a repeat
//    at 1000 ms (10 minutes; `win_playback_bench.exe 60` for one minute, 0
//    to leave it out).
//
//   tools/wine-run.sh build/win64/bin/win_playback_bench.exe [repeat-seconds]
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
    const double cpuBefore = test::processCpuMs();
    const std::int64_t start = bench.play(static_cast<DWORD>(intervalMs) * clicks + 10000);
    const double cpu = test::processCpuMs() - cpuBefore;
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
    std::vector<double> offsets;
    for (std::size_t k = 0; k < t.size(); ++k) {
        offsets.push_back((t[k] - start) / 1000.0 - static_cast<double>(k + 1) * intervalMs);
    }
    std::vector<double> sorted = offsets;
    std::sort(sorted.begin(), sorted.end());
    const double lowest = sorted.front();
    const double highest = sorted.back();
    // How far each click is behind the earliest: its lateness after the start offset.
    const double p95 = sorted[(sorted.size() - 1) * 95 / 100] - lowest;
    const double mean = (t.back() - t.front()) / 1000.0 / static_cast<double>(t.size() - 1);
    const double last = (t.back() - start) / 1000.0;
    const double elapsed = last + intervalMs;
    std::printf("%8d ms %6d %10.4f %11.2f %9.2f %9.2f %9.2f %11.1f %10d %7.2f %%\n", intervalMs,
                clicks, mean, worstStep, lowest, highest, p95, last, intervalMs * clicks,
                100.0 * cpu / elapsed);
    if (std::getenv("KV_BENCH_DETAIL") != nullptr) {
        for (std::size_t k = 0; k < offsets.size(); ++k) {
            if (offsets[k] - lowest > 2.0) {
                std::printf("    click %zu at %.2f ms: %.2f ms behind\n", k + 1,
                            (t[k] - start) / 1000.0, offsets[k] - lowest);
            }
        }
    }
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
    std::printf("%11s %6s %10s %11s %9s %9s %9s %11s %10s %9s\n", "interval", "clicks", "mean",
                "worst step", "k-th min", "k-th max", "p95 late", "last click", "count x iv",
                "CPU");
    for (const int interval : {1, 5, 10, 50, 100}) {
        repeatPrecision(bench, interval, interval == 1 ? 1000 : 100);
    }
    repeatPrecision(bench, 1000, 10);
    std::printf("\nProcessor time of the process\n");
    cpuWhileIdle(6);
    cpuOfAPass(bench);
    if (repeatSeconds > 0) {
        cpuOfARepeat(bench, repeatSeconds);
    }
    return 0;
}
