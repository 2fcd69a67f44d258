// The schedule window on the real desktop: its layout, the real drop-down
// lists and open-file dialog, the start-with-Windows value in HKLM, and the
// shutdown after a run with the call that ends the session recorded (under
// wine the real one ends every program of the prefix).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_desktop.h"
#include "schedule/autostart_entry.h"
#include "schedule/schedule_layout.h"
#include "schedule/schedule_window.h"
#include "steps/settings_file.h"
#include "steps/step_list.h"
#include "steps/store_format.h"
#include "support/pump.h"
#include "support/screenshot.h"
#include "support/store_file.h"
#include "support/target_window.h"

namespace kv {
namespace {

using mainwin::MainRole;
using platform::win32::toGbk;
using platform::win32::toWide;
using schedule::ScheduleRole;
using test::pumpFor;
using test::pumpUntil;

constexpr int kFileNameBox = 0x47C;  // cmb13: the dialog's file name box

std::wstring exeDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path);
    return directory.substr(0, directory.find_last_of(L'\\'));
}

std::wstring settingsFile() {
    return exeDirectory() + L"\\配置.ini";
}

struct FoundWindow {
    const wchar_t* className;
    const wchar_t* caption;  // nullptr: any
    HWND found = nullptr;
};

BOOL CALLBACK matchOwnWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<FoundWindow*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        test::classNameOf(window) == search->className &&
        (search->caption == nullptr || test::windowTextOf(window) == search->caption)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Waits, on another thread, for a window of this process.
HWND waitForOwnWindow(const wchar_t* className, const wchar_t* caption, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        FoundWindow search{className, caption};
        EnumWindows(matchOwnWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        Sleep(50);
    }
    return nullptr;
}

std::wstring runValue() {
    wchar_t data[1024] = {};
    DWORD bytes = sizeof data;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, toWide(schedule::kRunKey).c_str(), L"Klikvane",
                     RRF_RT_REG_SZ, nullptr, data, &bytes) != ERROR_SUCCESS) {
        return L"<none>";
    }
    return data;
}

class ScheduleWindowTest : public ::testing::Test {
protected:
    platform::win32::Win32Desktop desktop;
    app::Klikvane program{desktop};
    platform::Window* main = nullptr;
    schedule::TimedStart timedStart{desktop};
    schedule::ScheduleWindow handlers{desktop, program.shared(), timedStart};
    platform::Window* window = nullptr;

    void SetUp() override {
        test::removeStoreBesideExecutable();
        DeleteFileW(settingsFile().c_str());
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, toWide(schedule::kRunKey).c_str(), L"Klikvane");
        main = program.openMainWindow();
        ASSERT_NE(main, nullptr);
        window = desktop.openWindow(schedule::kScheduleWindowSpec, handlers,
                                    platform::Modality::modeless);
        ASSERT_NE(window, nullptr);
        pumpFor(200);
    }
    void TearDown() override {
        window->close();
        main->close();
        test::forgetQuitRequest();
        test::removeStoreBesideExecutable();
        DeleteFileW(settingsFile().c_str());
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, toWide(schedule::kRunKey).c_str(), L"Klikvane");
    }
    HWND hwnd() const { return reinterpret_cast<HWND>(window->handle()); }
    HWND control(ScheduleRole role) const {
        return reinterpret_cast<HWND>(window->controlHandle(role));
    }
    void click(ScheduleRole role) {
        PostMessageW(control(role), BM_CLICK, 0, 0);
        pumpFor(100);
    }
};

TEST_F(ScheduleWindowTest, LooksAsLaidOutWithItsItems) {
    EXPECT_EQ(test::windowTextOf(hwnd()), L"定时设置");
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    EXPECT_EQ(outer.right - outer.left, 358);
    EXPECT_EQ(outer.bottom - outer.top, 166);
    const LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    for (const platform::ControlSpec& spec : schedule::layout::kScheduleControls) {
        HWND c = reinterpret_cast<HWND>(window->controlHandle(spec.role));
        const RECT r = test::childRect(c);
        SCOPED_TRACE(spec.text);
        EXPECT_EQ(r.left, spec.rect.left);
        EXPECT_EQ(r.top, spec.rect.top);
        EXPECT_EQ(r.right - r.left, spec.rect.width);
        if (spec.kind != platform::ControlKind::dropDownList) {
            EXPECT_EQ(r.bottom - r.top, spec.rect.height);
            EXPECT_EQ(toGbk(test::windowTextOf(c)), spec.text);
        }
    }
    EXPECT_FALSE(IsWindowEnabled(control(ScheduleRole::programPathEdit)));
    EXPECT_FALSE(IsWindowEnabled(control(ScheduleRole::browseButton)));
    struct Combo {
        ScheduleRole role;
        int count;
    };
    for (const Combo& combo :
         {Combo{ScheduleRole::hourCombo, 24}, Combo{ScheduleRole::minuteCombo, 60},
          Combo{ScheduleRole::secondCombo, 60}}) {
        HWND c = control(combo.role);
        ASSERT_EQ(SendMessageW(c, CB_GETCOUNT, 0, 0), combo.count);
        wchar_t item[8] = {};
        SendMessageW(c, CB_GETLBTEXT, combo.count - 1, reinterpret_cast<LPARAM>(item));
        EXPECT_EQ(std::wstring(item), std::to_wstring(combo.count - 1));
        EXPECT_EQ(SendMessageW(c, CB_GETCURSEL, 0, 0), 0);
    }
    const std::wstring picture = test::saveScreenshot(
        hwnd(), GetACP() == 936 ? L"schedule_window_936" : L"schedule_window_1252");
    EXPECT_FALSE(picture.empty());
}

TEST_F(ScheduleWindowTest, SelectionsBeyondTheListsAreClampedAndTheNowLabelTakesTheTime) {
    window->setComboSelection(ScheduleRole::hourCombo, 30);
    EXPECT_EQ(window->comboSelection(ScheduleRole::hourCombo), 23);
    window->setComboSelection(ScheduleRole::minuteCombo, -5);
    EXPECT_EQ(window->comboSelection(ScheduleRole::minuteCombo), -1);
    window->setComboSelection(ScheduleRole::minuteCombo, -1);
    EXPECT_EQ(window->comboSelection(ScheduleRole::minuteCombo), -1);

    // A real left press on the label.
    RECT r{};
    GetWindowRect(control(ScheduleRole::nowLabel), &r);
    SetForegroundWindow(hwnd());
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SYSTEMTIME before{};
    GetLocalTime(&before);
    SendInput(2, press, sizeof(INPUT));
    ASSERT_TRUE(pumpUntil([&] { return window->comboSelection(ScheduleRole::minuteCombo) >= 0; }));
    SYSTEMTIME after{};
    GetLocalTime(&after);
    const int hour = window->comboSelection(ScheduleRole::hourCombo);
    EXPECT_TRUE(hour == before.wHour || hour == after.wHour);
    const int second = window->comboSelection(ScheduleRole::secondCombo);
    EXPECT_TRUE(second == before.wSecond || second == after.wSecond) << second;
}

TEST_F(ScheduleWindowTest, TheRealFileDialogFillsThePathAndACancelKeepsIt) {
    test::TempDirectory temp;
    const std::wstring folder = temp.path() + L"\\带 空格";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + L"\\运行 程序.exe";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    click(ScheduleRole::runProgramCheck);
    ASSERT_TRUE(IsWindowEnabled(control(ScheduleRole::browseButton)));

    for (const int answer : {IDOK, IDCANCEL}) {
        std::atomic<bool> answered{false};
        std::thread user([&] {
            HWND dialog = waitForOwnWindow(L"#32770", nullptr, 10000);
            if (dialog != nullptr) {
                if (answer == IDOK) {
                    SetDlgItemTextW(dialog, kFileNameBox, file.c_str());
                }
                PostMessageW(dialog, WM_COMMAND, answer, 0);
                answered = true;
            }
        });
        PostMessageW(control(ScheduleRole::browseButton), BM_CLICK, 0, 0);
        pumpUntil([&] { return answered.load(); }, 12000);
        user.join();
        pumpFor(300);
        ASSERT_TRUE(answered);
        EXPECT_EQ(test::windowTextOf(control(ScheduleRole::programPathEdit)), file) << answer;
    }
}

TEST_F(ScheduleWindowTest, OkRegistersTheRunValueAndUncheckingRemovesIt) {
    window->setChecked(ScheduleRole::autoStartCheck, true);
    click(ScheduleRole::scheduleOkButton);
    const std::wstring expected = toWide(schedule::autoStartCommand(toGbk(exeDirectory())));
    EXPECT_EQ(runValue(), expected);
    DWORD type = 0;
    DWORD bytes = 0;
    RegGetValueW(HKEY_LOCAL_MACHINE, toWide(schedule::kRunKey).c_str(), L"Klikvane", RRF_RT_ANY,
                 &type, nullptr, &bytes);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, (expected.size() + 1) * sizeof(wchar_t));  // stored with its NUL

    window->setChecked(ScheduleRole::autoStartCheck, false);
    click(ScheduleRole::scheduleOkButton);
    EXPECT_EQ(runValue(), L"<none>");
}

// The run's end: the list saved, then ExitWindowsEx(5, 0xFFFF) with the
// shutdown privilege enabled.
struct ExitRecord {
    std::atomic<int> calls{0};
    UINT flags = 0;
    DWORD reason = 0;
    bool privilegeEnabled = false;
    std::size_t storeBytes = 0;
};

bool shutdownPrivilegeEnabled() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    LUID luid{};
    LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &luid);
    PRIVILEGE_SET set{};
    set.PrivilegeCount = 1;
    set.Privilege[0].Luid = luid;
    BOOL enabled = FALSE;
    PrivilegeCheck(token, &set, &enabled);
    CloseHandle(token);
    return enabled != FALSE;
}

TEST_F(ScheduleWindowTest, APassEndsWithTheListSavedAndTheRecordedForcedShutdown) {
    test::TargetWindow target{test::kTargetScreenRect, test::kTargetEditRect};
    steps::StepList steps(main->list(MainRole::stepList));
    for (const POINT client : {POINT{20, 30}, POINT{60, 40}}) {
        const POINT p = target.toScreen(client);
        steps.appendStep({std::to_string(p.x), std::to_string(p.y), "左键", "单击", "", "", ""});
    }
    ExitRecord record;
    const std::wstring store = test::storeFileIn(exeDirectory());
    desktop.win32SystemActions().replaceExitWindows([&](UINT flags, DWORD reason) {
        record.flags = flags;
        record.reason = reason;
        record.privilegeEnabled = shutdownPrivilegeEnabled();
        record.storeBytes = test::fileBytes(store).size();
        ++record.calls;
        return TRUE;
    });
    program.shared().shutdownWhenDone = 1;
    PostMessageW(reinterpret_cast<HWND>(main->controlHandle(MainRole::startButton)), BM_CLICK, 0,
                 0);
    ASSERT_TRUE(pumpUntil([&] { return record.calls > 0; }, 15000));
    pumpFor(200);
    EXPECT_EQ(record.calls, 1);
    EXPECT_EQ(record.flags, 5u);
    EXPECT_EQ(record.reason, 0xFFFFu);
    EXPECT_TRUE(record.privilegeEnabled);
    EXPECT_EQ(record.storeBytes, 620u + 2 * steps::store::kRecordSize);
    EXPECT_EQ(target.describe(), "LD 20,30 LU 20,30 LD 60,40 LU 60,40 ");
}

TEST_F(ScheduleWindowTest, ARefusedShutdownIsToldAndTheProgramGoesOn) {
    steps::StepList(main->list(MainRole::stepList))
        .appendStep({"5", "5", "左键", "按下", "", "", ""});
    steps::StepList(main->list(MainRole::stepList))
        .appendStep({"5", "5", "左键", "放开", "", "", ""});
    desktop.win32SystemActions().replaceExitWindows([](UINT, DWORD) {
        SetLastError(ERROR_PRIVILEGE_NOT_HELD);
        return FALSE;
    });
    program.shared().shutdownWhenDone = 1;
    std::wstring told;
    std::thread user([&] {
        HWND box = waitForOwnWindow(L"#32770", L"提示", 15000);
        if (box != nullptr) {
            told = test::windowTextOf(GetDlgItem(box, 0xFFFF));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    });
    PostMessageW(reinterpret_cast<HWND>(main->controlHandle(MainRole::startButton)), BM_CLICK, 0,
                 0);
    pumpUntil([&] { return !told.empty(); }, 16000);
    user.join();
    EXPECT_NE(told.find(L"1314"), std::wstring::npos) << toGbk(told);
    pumpFor(200);
    EXPECT_TRUE(IsWindow(reinterpret_cast<HWND>(main->handle())));
}

TEST_F(ScheduleWindowTest, APathGbkCannotHoldIsRefusedWithAMessage) {
    test::TempDirectory temp;
    const std::wstring file = temp.path() + L"\\表情\U0001F600.exe";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    click(ScheduleRole::runProgramCheck);
    window->setText(ScheduleRole::programPathEdit, "C:\\before.exe");
    std::atomic<bool> done{false};
    std::wstring told;
    std::thread user([&] {
        if (HWND dialog = waitForOwnWindow(L"#32770", nullptr, 10000)) {
            SetDlgItemTextW(dialog, kFileNameBox, file.c_str());
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }
        if (HWND box = waitForOwnWindow(L"#32770", L"提示", 10000)) {
            told = test::windowTextOf(GetDlgItem(box, 0xFFFF));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        done = true;
    });
    PostMessageW(control(ScheduleRole::browseButton), BM_CLICK, 0, 0);
    pumpUntil([&] { return done.load(); }, 22000);
    user.join();
    pumpFor(200);
    EXPECT_FALSE(told.empty());
    EXPECT_EQ(window->text(ScheduleRole::programPathEdit), "C:\\before.exe");
}

TEST(EnablePrivilegeTest, FalseForAnUnknownOrUnheldName) {
    platform::win32::Win32SystemActions actions;
    EXPECT_FALSE(actions.enablePrivilege("SeNoSuchThingPrivilege"));
    EXPECT_TRUE(actions.enablePrivilege("SeShutdownPrivilege"));
    // A privilege no ordinary token holds: the call "succeeds" with
    // ERROR_NOT_ALL_ASSIGNED, which must count as failure.
    EXPECT_FALSE(actions.enablePrivilege("SeCreateTokenPrivilege"));
}

}  // namespace
}  // namespace kv
