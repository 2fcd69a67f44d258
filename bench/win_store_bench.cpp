// Load and save of 100, 1,000 and 10,000 rows on Windows: the store on a real
// disk through the W APIs, and the rows in the main window's real list view.
// Run under wine:
//
//   tools/wine-run.sh build/win/bin/win_store_bench.exe
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_files.h"
#include "steps/step_store.h"
#include "support/pump.h"

namespace {

using namespace kv;

double millisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

LARGE_INTEGER now() {
    LARGE_INTEGER value{};
    QueryPerformanceCounter(&value);
    return value;
}

void print(const char* what, int rows, double ms) {
    std::printf("%-26s %6d rows %9.1f ms %8.1f us/row\n", what, rows, ms, 1000.0 * ms / rows);
}

}  // namespace

int main() {
    test::TempDirectory directory;
    const std::string dir = platform::win32::toGbk(directory.path());
    platform::win32::Win32Files files;
    platform::win32::Win32Desktop desktop;
    app::Klikvane program{desktop};
    platform::Window* window = program.openMainWindow();
    if (window == nullptr) {
        std::printf("the main window did not open\n");
        return 1;
    }
    steps::StepList list(window->list(mainwin::MainRole::stepList));
    for (const int rows : {100, 1000, 10000}) {
        list.deleteAllRows();
        files.removeFile(steps::storePath(dir));
        const steps::LoadResult fresh = steps::loadSteps(list, files, dir);
        {
            steps::BulkUpdate bulk(list);
            for (int row = 0; row < rows; ++row) {
                list.appendStep({std::to_string(100 + row % 1800), std::to_string(row % 1000),
                                 "左键", "单击", "1000", "1", row % 3 == 0 ? "文字" : ""});
            }
        }
        LARGE_INTEGER start = now();
        const steps::SaveResult saved = steps::saveSteps(list, files, dir, fresh);
        print("save (list view -> disk)", rows, millisecondsSince(start));

        list.deleteAllRows();
        test::pumpFor(50);
        start = now();
        const steps::LoadResult loaded = steps::loadSteps(list, files, dir);
        test::pumpUntil([] { return false; }, 0);
        print("load (disk -> list view)", rows, millisecondsSince(start));
        if (saved.outcome != steps::SaveOutcome::saved || loaded.rows != rows ||
            list.rowCount() != rows) {
            std::printf("round trip failed: %d rows back\n", list.rowCount());
            return 1;
        }
    }
    list.deleteAllRows();
    window->close();
    return 0;
}
