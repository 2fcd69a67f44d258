// The real program started with 0, 100, 1,000, 10,000 and 20,000 rows in its
// store: the time from process creation until its main window is visible with
// every row in its list, and the time from the close command until the process
// has saved and ended. Each size runs five times; the table shows the fastest run.
// Run under wine, on a display:
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" bash -c 'tools/wine-run.sh --start;
//       KV_EXE=build/win/bin/Klikvane.exe tools/wine-run.sh build/win/bin/win_startup_bench.exe;
//       tools/wine-run.sh --stop'
//
// The per-row columns give the time each row added since the next smaller
// size: a flat column from 1,000 rows on means the cost grows linearly. Below
// that the one-off costs of the first rows (the list's scroll bar appearing,
// the first painted cells: some tens of ms) and the start-up's own jitter
// dominate.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "steps/store_format.h"
#include "support/program_process.h"
#include "support/store_file.h"

namespace {

using namespace kv;

// 20,000 rows, beyond any real list, shows the growth past the target size.
constexpr std::array kRowCounts = {0, 100, 1000, 10000, 20000};
constexpr int kTargetRows = 10000;
constexpr int kRuns = 5;
constexpr DWORD kPatienceMs = 120000;
constexpr double kTargetMs = 2000.0;  // 10,000 rows shown within this

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }
    double milliseconds() const {
        LARGE_INTEGER now{};
        LARGE_INTEGER frequency{};
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return 1000.0 * double(now.QuadPart - start_.QuadPart) / double(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_{};
};

// Rows as a user's list has them: coordinates, both buttons and actions,
// Chinese text to type in every third row.
std::vector<steps::StepRecord> sampleRows(int count) {
    std::vector<steps::StepRecord> rows;
    rows.reserve(count);
    for (int row = 0; row < count; ++row) {
        rows.push_back({std::to_string(100 + row % 1800), std::to_string(row % 1000),
                        row % 2 == 0 ? "左键" : "右键", row % 5 == 0 ? "双击" : "单击", "1000", "1",
                        row % 3 == 0 ? "输入文字" + std::to_string(row) : ""});
    }
    return rows;
}

struct Run {
    bool ok = false;
    double shownMs = 0;
    double savedMs = 0;
    std::size_t storeBytes = 0;
};

// The saved store holds the rows it was started with, in order.
bool storeHolds(const std::string& bytes, const std::vector<steps::StepRecord>& rows) {
    const steps::store::Opened opened = steps::store::openStore(bytes);
    if (opened.problem != steps::store::Problem::none ||
        opened.layout.recordCount != static_cast<int>(rows.size())) {
        return false;
    }
    for (int k = 0; k < opened.layout.recordCount; ++k) {
        if (steps::store::readRecord(bytes, opened.layout, k) != rows[k]) {
            return false;
        }
    }
    return true;
}

Run startAndClose(const std::vector<steps::StepRecord>& rows) {
    Run run;
    test::ProgramProcess program;
    const std::wstring store = test::storeFileIn(program.directory());
    if (!test::writeStoreFile(store, rows)) {
        std::printf("could not write the store\n");
        return run;
    }
    const LRESULT expected = static_cast<LRESULT>(rows.size());

    const Stopwatch starting;
    if (!program.start()) {
        std::printf("the program did not start (KV_EXE)\n");
        return run;
    }
    HWND main = program.waitForWindow(L"鼠标自动点击", kPatienceMs);
    HWND list = main != nullptr ? test::listViewIn(main) : nullptr;
    if (list == nullptr || SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) != expected) {
        std::printf("the main window did not show %d rows\n", static_cast<int>(expected));
        return run;
    }
    run.shownMs = starting.milliseconds();

    const Stopwatch closing;
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (program.waitForExit(kPatienceMs) != 0) {
        std::printf("the program did not end after the close command\n");
        return run;
    }
    run.savedMs = closing.milliseconds();

    const std::string bytes = test::fileBytes(store);
    run.storeBytes = bytes.size();
    const std::size_t expectedBytes =
        steps::store::kDataStart + rows.size() * steps::store::kRecordSize;
    run.ok = run.storeBytes == expectedBytes && storeHolds(bytes, rows);
    if (!run.ok) {
        std::printf("the saved store (%u bytes) does not hold the %d rows\n",
                    static_cast<unsigned>(run.storeBytes), static_cast<int>(expected));
    }
    return run;
}

// Other processes and wine's own start-up only ever add time, so the
// fastest run is the truest.
double fastest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

struct Figures {
    int rows = 0;
    double shownMs = 0;
    double savedMs = 0;
    std::size_t storeBytes = 0;
};

// Microseconds per row added from the smaller size to the larger.
double perRowAdded(double smallerMs, int smallerRows, double largerMs, int largerRows) {
    return 1000.0 * (largerMs - smallerMs) / (largerRows - smallerRows);
}

}  // namespace

int main() {
    std::vector<Figures> table;
    for (const int count : kRowCounts) {
        const std::vector<steps::StepRecord> rows = sampleRows(count);
        std::vector<double> shown;
        std::vector<double> saved;
        Figures figures{count};
        for (int attempt = 0; attempt < kRuns; ++attempt) {
            const Run run = startAndClose(rows);
            if (!run.ok) {
                return 1;
            }
            std::printf("%6d rows, run %d: shown %7.1f ms, ended %7.1f ms after close\n", count,
                        attempt + 1, run.shownMs, run.savedMs);
            shown.push_back(run.shownMs);
            saved.push_back(run.savedMs);
            figures.storeBytes = run.storeBytes;
        }
        figures.shownMs = fastest(shown);
        figures.savedMs = fastest(saved);
        table.push_back(figures);
    }

    std::printf("%7s %11s %10s %12s %12s %12s\n", "rows", "shown (ms)", "exit (ms)", "store bytes",
                "load us/row", "save us/row");
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Figures& f = table[i];
        std::printf("%7d %11.1f %10.1f %12u", f.rows, f.shownMs, f.savedMs,
                    static_cast<unsigned>(f.storeBytes));
        if (i > 0) {
            const Figures& smaller = table[i - 1];
            std::printf(" %12.1f %12.1f",
                        perRowAdded(smaller.shownMs, smaller.rows, f.shownMs, f.rows),
                        perRowAdded(smaller.savedMs, smaller.rows, f.savedMs, f.rows));
        }
        std::printf("\n");
    }
    const Figures& target = *std::find_if(table.begin(), table.end(),
                                          [](const Figures& f) { return f.rows == kTargetRows; });
    const bool fastEnough = target.shownMs < kTargetMs;
    std::printf("%d rows shown in %.0f ms: %s the %.0f ms target\n", target.rows, target.shownMs,
                fastEnough ? "within" : "above", kTargetMs);
    return fastEnough ? 0 : 2;
}
