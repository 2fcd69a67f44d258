// The input primitives and waits on the real desktop.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/win32/win32_desktop.h"
#include "playback/mouse_action.h"
#include "playback/primitives.h"
#include "playback/wait_unit.h"
#include "support/cpu_time.h"
#include "support/pump.h"
#include "support/target_window.h"

namespace kv {
namespace {

using test::steadyMicros;

// A window of an ANSI class: WM_CHAR reaches it as the bytes that were sent.
std::vector<WPARAM>* g_ansiChars = nullptr;
LRESULT CALLBACK ansiProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && g_ansiChars != nullptr) {
        g_ansiChars->push_back(wParam);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class InputTest : public ::testing::Test {
protected:
    platform::win32::Win32Desktop desktop;
    playback::Primitives primitives{desktop};
    test::TargetWindow target{test::kTargetScreenRect, test::kTargetEditRect};

    void SetUp() override { test::pumpFor(100); }
};

TEST_F(InputTest, TypeTextSendsTheBytesUnderCodePage936AndCharactersOtherwise) {
    // From another thread, as the playback worker types. (wine pairs the
    // lead and trail bytes of a same-thread SendMessageA only for ANSI
    // windows; the ANSI window below covers the same-thread case.)
    std::atomic<bool> typed{false};
    std::thread worker([&] {
        primitives.typeText(reinterpret_cast<platform::NativeWindow>(target.edit()), "ab中");
        typed = true;
    });
    EXPECT_TRUE(test::pumpUntil([&] { return typed.load(); }, 5000));
    worker.join();
    EXPECT_EQ(target.editText(), L"ab中") << "code page " << GetACP();

    WNDCLASSA ansiClass{};
    ansiClass.lpfnWndProc = ansiProc;
    ansiClass.hInstance = GetModuleHandleA(nullptr);
    ansiClass.lpszClassName = "KlikvaneAnsiTarget";
    RegisterClassA(&ansiClass);
    HWND ansi = CreateWindowA("KlikvaneAnsiTarget", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    std::vector<WPARAM> chars;
    g_ansiChars = &chars;
    primitives.typeText(reinterpret_cast<platform::NativeWindow>(ansi), "a中");
    g_ansiChars = nullptr;
    DestroyWindow(ansi);
    if (GetACP() == 936) {
        EXPECT_EQ(chars, (std::vector<WPARAM>{0x61, 0xD6, 0xD0}));  // one message per byte
    } else {
        ASSERT_FALSE(chars.empty());
        EXPECT_EQ(chars[0], WPARAM{0x61});
    }
}

TEST_F(InputTest, TypeTextWithNoWindowGoesNowhereAndReturns) {
    primitives.typeText(0, "abc");
    EXPECT_EQ(target.editText(), L"");
}

TEST_F(InputTest, MoveCursorIsRelativeToTheWindowsClientArea) {
    primitives.moveCursor(reinterpret_cast<platform::NativeWindow>(target.hwnd()), 25, 35);
    POINT expected{25, 35};
    ClientToScreen(target.hwnd(), &expected);
    EXPECT_EQ(primitives.cursorPosition(), (platform::Point{expected.x, expected.y}));
    primitives.moveCursor(0, 300, 310);
    EXPECT_EQ(primitives.cursorPosition(), (platform::Point{300, 310}));
    EXPECT_EQ(primitives.windowAtPoint(expected.x, expected.y),
              reinterpret_cast<platform::NativeWindow>(target.hwnd()));
}

int g_timerTicks = 0;
void CALLBACK countTick(HWND, UINT, UINT_PTR, DWORD) {
    ++g_timerTicks;
}

TEST_F(InputTest, PumpWaitDispatchesAndSleepsInsteadOfSpinning) {
    g_timerTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, countTick);
    const DWORD startTick = GetTickCount();
    const double startCpu = test::threadCpuMs();
    primitives.pumpWait(1000);
    const DWORD waited = GetTickCount() - startTick;
    const double cpu = test::threadCpuMs() - startCpu;
    KillTimer(nullptr, timer);
    EXPECT_GT(waited, 1000u);
    EXPECT_LT(waited, 1100u);
    EXPECT_GE(g_timerTicks, 8) << "the timer was not dispatched during the wait";
    EXPECT_LT(cpu, 50.0) << "a busy wait would use about 1000 ms";
}

TEST_F(InputTest, TimerWaitReturnsAfterItsTimeAlsoWithoutAWaitableTimer) {
    auto& waits = static_cast<platform::win32::Win32Waits&>(desktop.waits());
    for (const bool noTimers : {false, true}) {
        waits.simulateNoTimers(noTimers);
        const std::int64_t start = steadyMicros();
        primitives.timerWait(300, static_cast<int>(playback::WaitUnit::millisecond));
        const std::int64_t waitedMs = (steadyMicros() - start) / 1000;
        EXPECT_GE(waitedMs, 299) << "without timers: " << noTimers;
        EXPECT_LT(waitedMs, 400) << "without timers: " << noTimers;
    }
    waits.simulateNoTimers(false);
    const std::int64_t start = steadyMicros();
    primitives.timerWait(0, 0);
    primitives.timerWait(1500, static_cast<int>(playback::WaitUnit::microsecond));
    EXPECT_LT((steadyMicros() - start) / 1000, 50);
}

TEST_F(InputTest, WaitsEndEarlyWhenTheirSignalIsSet) {
    auto stop = desktop.waits().createSignal();
    std::thread setter([&] {
        Sleep(150);
        stop->set();
    });
    const std::int64_t start = steadyMicros();
    primitives.timerWait(5, static_cast<int>(playback::WaitUnit::second), stop.get());
    const std::int64_t timerMs = (steadyMicros() - start) / 1000;
    primitives.pumpWait(5000, stop.get());
    setter.join();
    EXPECT_GE(timerMs, 140);
    EXPECT_LT(timerMs, 400);
    EXPECT_LT((steadyMicros() - start) / 1000, 500);
}

// Why a double click waits only half the double-click time: with the full
// time between release and press, the window sees two single clicks.
TEST_F(InputTest, DoubleClickWithHalfTheTimeIsOneDoubleClickAndWithTheFullTimeIsNot) {
    const POINT at = target.toScreen({30, 30});
    primitives.moveCursor(0, at.x, at.y);
    test::pumpFor(50);
    primitives.mouseAction(playback::kLeftButton, playback::kDoubleClick);
    test::pumpFor(100);
    EXPECT_EQ(target.describe(), "LD 30,30 LU 30,30 LDBL 30,30 LU 30,30 ");

    test::pumpFor(static_cast<DWORD>(GetDoubleClickTime()) + 100);
    target.clear();
    platform::Input& input = desktop.input();
    input.sendMouseEvent(platform::MouseEvent::leftDown);
    input.sendMouseEvent(platform::MouseEvent::leftUp);
    test::pumpFor(static_cast<DWORD>(GetDoubleClickTime()) + 20);
    input.sendMouseEvent(platform::MouseEvent::leftDown);
    input.sendMouseEvent(platform::MouseEvent::leftUp);
    test::pumpFor(100);
    EXPECT_EQ(target.describe(), "LD 30,30 LU 30,30 LD 30,30 LU 30,30 ");
    EXPECT_EQ(desktop.input().doubleClickTime(), static_cast<int>(GetDoubleClickTime()));
}

}  // namespace
}  // namespace kv
