// The capture key's cost and its registrations, measured on the shipped
// program running as its own process (KV_EXE), driven as a user would.
//
//  - Capture load, each phase N seconds (default 60) while the cursor keeps
//    moving: capturing with X read every 20 ms (ticks seen, a tick showing
//    as a new X value, and the longest gap between two); capturing, not
//    read; open and not capturing, not read. Prints the program's processor
//    time as a share of the wall time, and the difference the capture makes.
//  - Registrations: 200 openings of the editor, each with a change of key
//    (F9, F10, F11, F12 in turn). While the editor is open, a second process
//    tries every key used: exactly one capture key must be held; after each
//    closing none, and F5, F6, F8 held throughout.
//
//   KV_EXE=build/win64/bin/Klikvane.exe
//   tools/wine-run.sh build/win64/bin/win_capture_bench.exe [seconds] [openings]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/cpu_time.h"
#include "support/message_box.h"
#include "support/other_process_hotkey.h"
#include "support/program_process.h"
#include "support/pump.h"
#include "support/remote_window.h"

namespace {

using namespace kv;

constexpr wchar_t kMainCaption[] = L"鼠标自动点击";
constexpr wchar_t kEditorCaption[] = L"添加";
constexpr wchar_t kHotkeyInputCaption[] = L"注册热键";
constexpr POINT kXEdit{40, 20};
constexpr POINT kCaptureLabel{200, 20};
constexpr POINT kChangeLabel{290, 50};
constexpr POINT kHotkeyEdit{20, 40};
constexpr POINT kHotkeyOk{30, 72};

struct CaptureKey {
    UINT code;
    const wchar_t* text;
    const wchar_t* name;
};
constexpr CaptureKey kKeys[] = {
    {VK_F10, L"121", L"F10键"},
    {VK_F11, L"122", L"F11键"},
    {VK_F12, L"123", L"F12键"},
    {VK_F9, L"120", L"F9键"},
};
constexpr UINT kMainKeys[] = {VK_F5, VK_F6, VK_F8};
// How often the bench moves the cursor and reads X: several times a tick,
// so that every tick shows and a gap is seen to within this much.
constexpr DWORD kPollMs = 20;

double processCpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    return test::fileTimeMs(kernel) + test::fileTimeMs(user);
}

bool fail(const char* what) {
    std::printf("FAILED: %s\n", what);
    return false;
}

class Bench {
public:
    bool start() {
        if (!program_.start() || (main_ = program_.waitForWindow(kMainCaption)) == nullptr) {
            return fail("the program did not start");
        }
        return true;
    }

    bool openEditor() {
        test::pressKey(VK_F5);  // the list is empty: the editor opens
        if (!test::answerMessageBox()) {
            return fail("no message for the empty list");
        }
        editor_ = program_.waitForWindow(kEditorCaption);
        test::pumpFor(100);
        return editor_ != nullptr || fail("the editor did not open");
    }

    bool closeEditor() {
        PostMessageW(editor_, WM_CLOSE, 0, 0);
        return test::pumpUntil([&] { return !IsWindow(editor_); }) || fail("the editor stays");
    }

    std::wstring label() const { return test::remoteText(test::childAt(editor_, kCaptureLabel)); }

    bool changeKey(const CaptureKey& key) {
        test::clickClientPoint(editor_, kChangeLabel);
        HWND input = program_.waitForWindow(kHotkeyInputCaption);
        if (input == nullptr) {
            return fail("注册热键 did not open");
        }
        SendMessageW(test::childAt(input, kHotkeyEdit), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(key.text));
        test::pushButtonAt(input, kHotkeyOk);
        const auto box = test::answerMessageBox();
        if (!box || box->text != std::wstring(L"注册热键") + key.name + L"成功") {
            return fail("the change was not confirmed");
        }
        return test::pumpUntil([&] { return label() == std::wstring(L"快捷键") + key.name; }) ||
               fail("the label does not show the new key");
    }

    // Every key the bench uses, as another process finds it.
    bool keysHeldAre(int captureKeysHeld, UINT heldCaptureKey) {
        for (UINT key : kMainKeys) {
            if (test::anotherProcessCanRegister(key)) {
                return fail("a key of the main window is free");
            }
        }
        int held = 0;
        for (const CaptureKey& key : kKeys) {
            const bool isHeld = !test::anotherProcessCanRegister(key.code);
            held += isHeld ? 1 : 0;
            if (isHeld && key.code != heldCaptureKey) {
                return fail("a capture key no longer used is held");
            }
        }
        return held == captureKeysHeld || fail("wrong number of capture keys held");
    }

    bool captureLoad(int seconds) {
        if (!openEditor()) {
            return false;
        }
        // Capturing with X read every 20 ms (ticks and gaps), then capturing
        // and not capturing without reading X (the reads cost the program
        // more than the capture). The cursor keeps moving in the top left
        // corner, away from the program's windows.
        const auto measure = [&](bool capturing, bool watched) {
            std::vector<DWORD> ticks;
            std::wstring last = test::remoteText(test::childAt(editor_, kXEdit));
            const double cpuBefore = processCpuMs(program_.processHandle());
            const DWORD start = GetTickCount();
            int step = 0;
            while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000) {
                SetCursorPos(20 + (step * 7) % 300, 20 + (step * 3) % 300);
                ++step;
                Sleep(kPollMs);
                if (!watched) {
                    continue;
                }
                std::wstring x = test::remoteText(test::childAt(editor_, kXEdit));
                if (x != last) {
                    ticks.push_back(GetTickCount());
                    last = std::move(x);
                }
            }
            const double wallMs = GetTickCount() - start;
            const double cpuMs = processCpuMs(program_.processHandle()) - cpuBefore;
            DWORD longest = 0;
            for (std::size_t i = 1; i < ticks.size(); ++i) {
                longest = std::max<DWORD>(longest, ticks[i] - ticks[i - 1]);
            }
            std::printf("%-20s %-10s %3d s: processor %.2f %% (%.0f ms of %.0f ms)",
                        capturing ? "capturing" : "open, not capturing",
                        watched ? "X read" : "unwatched", seconds, 100.0 * cpuMs / wallMs, cpuMs,
                        wallMs);
            if (watched) {
                std::printf(", ticks seen %zu (%.2f/s), longest gap %lu ms", ticks.size(),
                            ticks.size() * 1000.0 / wallMs, static_cast<unsigned long>(longest));
            }
            std::printf("\n");
            return cpuMs;
        };
        test::pressKey(VK_F9);
        if (!test::pumpUntil([&] { return label() == L"正在取坐标...F9键停止"; })) {
            return fail("F9 did not start capturing");
        }
        measure(true, true);
        const double capturingMs = measure(true, false);
        test::pressKey(VK_F9);
        if (!test::pumpUntil([&] { return label() == L"快捷键F9键"; })) {
            return fail("F9 did not stop capturing");
        }
        const double idleMs = measure(false, false);
        std::printf("the capture's own cost: %.2f %% of one processor\n",
                    100.0 * (capturingMs - idleMs) / (seconds * 1000.0));
        return closeEditor();
    }

    bool registrations(int openings) {
        const DWORD start = GetTickCount();
        UINT current = VK_F9;
        for (int i = 0; i < openings; ++i) {
            const CaptureKey& key = kKeys[i % std::size(kKeys)];
            if (!openEditor() || !changeKey(key)) {
                return false;
            }
            current = key.code;
            const bool check = i < 2 || i % 50 == 49 || i == openings - 1;
            if (check && !keysHeldAre(1, current)) {
                return false;
            }
            if (!closeEditor() || (check && !keysHeldAre(0, 0))) {
                return false;
            }
        }
        std::printf(
            "registrations: %d openings and %d changes in %.1f s; held while open: F5, F6, "
            "F8 and the one capture key; after closing: F5, F6, F8 only\n",
            openings, openings, (GetTickCount() - start) / 1000.0);
        return true;
    }

    void finish() {
        PostMessageW(main_, WM_CLOSE, 0, 0);
        program_.waitForExit(10000);
    }

private:
    test::ProgramProcess program_;
    HWND main_ = nullptr;
    HWND editor_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const int openings = argc > 2 ? std::atoi(argv[2]) : 200;
    Bench bench;
    if (!bench.start()) {
        return 1;
    }
    const bool ok = (seconds <= 0 || bench.captureLoad(seconds)) &&
                    (openings <= 0 || bench.registrations(openings));
    bench.finish();
    return ok ? 0 : 1;
}
