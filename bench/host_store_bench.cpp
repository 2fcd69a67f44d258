// Load and save of 100, 1,000 and 10,000 rows through the step store on the
// fake platform: the list operations, the format and whole-file handling,
// without disk I/O. Prints the first run (memory fresh from the system, as in
// the one save of a real close) and the best of several runs (memory reused),
// with the cost per row so that linear growth shows.
//
// glibc hands out blocks over 32 MB straight from the system and returns them
// at once, so every run of the 10,000-row case would pay the page faults of
// 36 MB while the smaller ones reuse the heap; raising that threshold makes
// the repeated runs compare like with like.
//
//   build/host/host_store_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/fake/fake_files.h"
#include "platform/fake/fake_list_control.h"
#include "steps/step_store.h"

namespace {

using namespace kv;

constexpr int kRuns = 5;
const std::string kDir = "C:\\bench";

struct Timing {
    double first = 0;
    double best = 1e300;
};

Timing time(const std::function<void()>& body) {
    Timing timing;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        body();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        if (run == 0) {
            timing.first = took.count();
        }
        timing.best = std::min(timing.best, took.count());
    }
    return timing;
}

void print(const char* what, int rows, const Timing& timing) {
    std::printf("%-5s %6d rows  first %8.2f ms (%6.3f us/row)  best %8.2f ms (%6.3f us/row)\n",
                what, rows, timing.first, 1000.0 * timing.first / rows, timing.best,
                1000.0 * timing.best / rows);
}

void fill(steps::StepList& steps, int rows) {
    for (int row = 0; row < rows; ++row) {
        steps.appendStep({std::to_string(100 + row % 1800), std::to_string(200 + row % 1000),
                          "左键", "单击", "1000", "1", row % 3 == 0 ? "输入的文字 text" : ""});
    }
}

}  // namespace

int main() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 512 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
    for (const int rows : {100, 1000, 10000}) {
        platform::fake::FakeFiles files;
        platform::fake::FakeListControl source(steps::kStepColumnCount);
        steps::StepList sourceSteps(source);
        const steps::LoadResult atStart = steps::loadSteps(sourceSteps, files, kDir);
        fill(sourceSteps, rows);

        const Timing save = time([&] { steps::saveSteps(sourceSteps, files, kDir, atStart); });
        const std::size_t bytes = files.contents(steps::storePath(kDir))->size();

        int loaded = 0;
        const Timing load = time([&] {
            platform::fake::FakeListControl target(steps::kStepColumnCount);
            steps::StepList targetSteps(target);
            loaded = steps::loadSteps(targetSteps, files, kDir).rows;
        });
        if (loaded != rows) {
            std::printf("loaded %d rows instead of %d\n", loaded, rows);
            return 1;
        }
        std::printf("store file of %d rows: %zu bytes\n", rows, bytes);
        print("save", rows, save);
        print("load", rows, load);
    }
    return 0;
}
