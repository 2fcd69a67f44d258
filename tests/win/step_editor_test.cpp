// The step editor and quick add on the real desktop, driven with real key
// presses and mouse clicks, in the code page the test runs under.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/klikvane.h"
#include "capture/step_editor.h"
#include "mainwin/main_role.h"
#include "mainwin/run_captions.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_desktop.h"
#include "steps/step_list.h"
#include "steps/store_format.h"
#include "support/program_process.h"
#include "support/pump.h"
#include "support/screenshot.h"
#include "support/store_file.h"

namespace kv {
namespace {

using capture::EditorRole;
using mainwin::MainRole;
using steps::StepRecord;
using test::pumpFor;
using test::pumpUntil;
using R = EditorRole;

constexpr WORD kMainMinus = 189;

void sendKeys(std::initializer_list<INPUT> keys) {
    std::vector<INPUT> all(keys);
    SendInput(static_cast<UINT>(all.size()), all.data(), sizeof(INPUT));
}

INPUT key(WORD virtualKey, bool up = false) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// Types characters as a keyboard with an input method would deliver them.
void typeUnicode(std::wstring_view text) {
    for (const wchar_t c : text) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wScan = c;
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        INPUT up = down;
        up.ki.dwFlags |= KEYEVENTF_KEYUP;
        sendKeys({down, up});
    }
}

void typeKeys(std::string_view keys) {
    for (const char c : keys) {
        test::pressKey(static_cast<WORD>(c));
    }
}

void clickAt(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    INPUT up = down;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    sendKeys({down, up});
}

void putOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

std::string codePageName() {
    return GetACP() == 936 ? "cp936" : "cp" + std::to_string(GetACP());
}

// The window as it is on the screen, one picture per code page, beside the
// other integration screenshots.
void saveScreenshot(HWND window, const std::string& name) {
    const std::string file = name + "-" + codePageName();
    test::saveScreenshot(window, std::wstring(file.begin(), file.end()));
}

class StepEditorWinTest : public ::testing::Test {
protected:
    platform::win32::Win32Desktop desktop;
    app::Klikvane program{desktop};
    platform::Window* main = nullptr;

    void SetUp() override {
        test::removeStoreBesideExecutable();
        main = program.openMainWindow();
        ASSERT_NE(main, nullptr);
    }
    void TearDown() override {
        if (main->handle() != 0) {
            main->close();
        }
        test::forgetQuitRequest();
        test::removeStoreBesideExecutable();
    }
    capture::StepEditor& editor() { return program.mainWindow().stepEditor(); }
    steps::StepList steps() { return steps::StepList(main->list(MainRole::stepList)); }
    // The open editor, asked on the UI thread (callable from the user's thread).
    platform::Window* editorWindow() {
        platform::Window* window = nullptr;
        desktop.runOnUiThread([&] { window = editor().window(); });
        return window;
    }
    HWND box(R role) { return reinterpret_cast<HWND>(editorWindow()->controlHandle(role)); }
    // A real click in the middle of a control of the editor.
    void clickOn(R role) {
        RECT r{};
        GetWindowRect(box(role), &r);
        clickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        Sleep(150);
    }
    std::string text(R role) { return editorWindow()->text(role); }
    // On another thread while the UI thread runs a modal editor.
    bool waitForEditor(DWORD timeoutMs = 8000) {
        for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
            if (editorWindow() != nullptr) {
                Sleep(300);  // shown and active
                return true;
            }
            Sleep(20);
        }
        return false;
    }
};

TEST_F(StepEditorWinTest, RowsTypedWithRealKeysAreAddedCutAndSavedAsGbk) {
    std::atomic<bool> userDone{false};
    std::string x, y, interval, afterPaste;
    std::thread user([&] {
        if (!waitForEditor()) {
            userDone = true;
            return;
        }
        SetForegroundWindow(reinterpret_cast<HWND>(editorWindow()->handle()));
        Sleep(200);
        saveScreenshot(reinterpret_cast<HWND>(editorWindow()->handle()), "step-editor-empty");
        clickOn(R::xEdit);
        test::pressKey(VK_SUBTRACT);  // keypad minus types "-"
        typeKeys("12A");              // letters are refused
        test::pressKey(kMainMinus);   // the main keyboard's minus never arrives
        clickOn(R::yEdit);
        typeKeys("007");
        clickOn(R::countEdit);
        test::pressKey(VK_BACK);
        typeKeys("2");
        clickOn(R::textEdit);
        typeUnicode(L"ab中한");  // the Korean syllable has no GBK form
        Sleep(300);
        x = text(R::xEdit);
        y = text(R::yEdit);
        interval = text(R::intervalEdit);
        saveScreenshot(reinterpret_cast<HWND>(editorWindow()->handle()), "step-editor-filled");
        clickOn(R::editorOkButton);
        Sleep(300);
        // 601 bytes of GBK: a character across byte 512 is cut off whole.
        std::wstring paste = L"a";
        for (int i = 0; i < 300; ++i) {
            paste += L"点";
        }
        putOnClipboard(paste);
        clickOn(R::textEdit);
        sendKeys({key(VK_CONTROL), key('V'), key('V', true), key(VK_CONTROL, true)});
        Sleep(300);
        afterPaste = text(R::textEdit);
        typeKeys("78");  // one byte fits, the next is refused
        clickOn(R::xEdit);
        typeKeys("5");
        clickOn(R::yEdit);
        typeKeys("6");
        clickOn(R::editorOkButton);
        Sleep(300);
        clickOn(R::editorCancelButton);
        userDone = true;
    });
    editor().openAddMode();  // modal: returns when the user has closed it
    ASSERT_TRUE(pumpUntil([&] { return userDone.load(); }, 30000));
    user.join();

    EXPECT_EQ(x, "-12");
    EXPECT_EQ(y, "7");  // rewritten when the focus left
    EXPECT_EQ(interval, "1000");
    std::string cut = "a";
    for (int i = 0; i < 255; ++i) {
        cut += "点";
    }
    EXPECT_EQ(afterPaste, cut);
    ASSERT_EQ(steps().rowCount(), 2);
    EXPECT_EQ(steps().readRow(0), (StepRecord{"-12", "7", "左键", "单击", "1000", "2", "ab中"}));
    EXPECT_EQ(steps().readRow(1), (StepRecord{"5", "6", "左键", "单击", "1000", "2", cut + "7"}));
    EXPECT_EQ(editorWindow(), nullptr);

    // Saved at close with the same GBK bytes.
    main->close();
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring directory(exe);
    directory.resize(directory.find_last_of(L'\\'));
    const std::string bytes = test::fileBytes(test::storeFileIn(directory));
    const steps::store::Opened opened = steps::store::openStore(bytes);
    ASSERT_EQ(opened.problem, steps::store::Problem::none);
    ASSERT_EQ(opened.layout.recordCount, 2);
    EXPECT_EQ(steps::store::readRecord(bytes, opened.layout, 0),
              (StepRecord{"-12", "7", "\xd7\xf3\xbc\xfc", "\xb5\xa5\xbb\xf7", "1000", "2",
                          "ab\xd6\xd0"}));
    EXPECT_EQ(steps::store::readRecord(bytes, opened.layout, 1)[6], cut + "7");
}

TEST_F(StepEditorWinTest, EditModeShowsTheRowWithTheShortIntervalLifted) {
    steps().appendStep({"5", "6", "右键", "双击", "100", "2", "中文"});
    program.shared().selectedRow = 0;
    program.shared().editBuffer.set(*steps().readRow(0));
    editor().openEditMode();
    platform::Window* window = editor().window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(pumpUntil([&] { return window->comboText(R::actionCombo) == "双击"; }));
    EXPECT_EQ(window->text(R::xEdit), "5");
    EXPECT_EQ(window->text(R::intervalEdit), "300");
    EXPECT_EQ(window->text(R::countEdit), "2");
    EXPECT_EQ(window->text(R::textEdit), "中文");
    EXPECT_EQ(window->comboText(R::buttonCombo), "右键");
    pumpFor(300);
    saveScreenshot(reinterpret_cast<HWND>(window->handle()), "step-editor-edit");
    window->setText(R::yEdit, "60");
    SendMessageW(reinterpret_cast<HWND>(window->controlHandle(R::editorOkButton)), BM_CLICK, 0, 0);
    EXPECT_EQ(steps().readRow(0), (StepRecord{"5", "60", "右键", "双击", "300", "2", "中文"}));
    EXPECT_EQ(window->text(R::xEdit), "");
    EXPECT_EQ(window->comboText(R::buttonCombo), "左键");
    window->close();
}

TEST_F(StepEditorWinTest, ClosingTheMainWindowClosesAnOpenEditorAndEndsTheLoop) {
    steps().appendStep({"5", "6", "右键", "双击", "100", "2", ""});
    program.shared().selectedRow = 0;
    program.shared().editBuffer.set(*steps().readRow(0));
    editor().openEditMode();
    ASSERT_NE(editor().window(), nullptr);
    pumpFor(200);
    main->close();
    EXPECT_EQ(editor().window(), nullptr);
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(StepEditorWinTest, F6RecordsTheCursorEvery500msUntilPressedAgain) {
    SetCursorPos(101, 102);
    test::pressKey(VK_F6);
    ASSERT_TRUE(pumpUntil([&] { return main->text(MainRole::quickAddButton) == "停止（F6）"; }));
    ASSERT_TRUE(pumpUntil([&] { return steps().rowCount() == 1; }, 3000));
    pumpFor(1100);
    EXPECT_EQ(steps().rowCount(), 1);  // the cursor rests
    SetCursorPos(201, 152);
    ASSERT_TRUE(pumpUntil([&] { return steps().rowCount() == 2; }, 3000));
    test::pressKey(VK_F6);
    ASSERT_TRUE(
        pumpUntil([&] { return main->text(MainRole::quickAddButton) == "快速添加（F6）"; }));
    SetCursorPos(301, 302);
    pumpFor(1100);
    ASSERT_EQ(steps().rowCount(), 2);
    EXPECT_EQ(steps().readRow(0), (StepRecord{"101", "102", "左键", "单击", "1000", "1", ""}));
    EXPECT_EQ(steps().readRow(1), (StepRecord{"201", "152", "左键", "单击", "1000", "1", ""}));
}

// The editor's message box runs on the UI thread while a loop plays on its
// worker: the box keeps serving the worker's row reads, so the clicks go on.
TEST_F(StepEditorWinTest, AValidationMessageDuringALoopLetsTheClicksGoOn) {
    steps().appendStep({"40", "40", "左键", "单击", "1000", "1", ""});
    steps().appendStep({"80", "80", "左键", "单击", "1000", "1", ""});
    pumpFor(250);  // the refresh enables the run modes for two rows
    main->setChecked(MainRole::loopRadio, true);
    program.shared().selectedRow = 0;
    program.shared().editBuffer.set(StepRecord{});
    editor().openEditMode();
    platform::Window* window = editor().window();
    ASSERT_NE(window, nullptr);
    pumpFor(200);

    std::atomic<bool> boxSeen{false};
    std::atomic<int> visits40{0};
    std::atomic<int> visits80{0};
    std::thread watcher([&] {
        HWND box = nullptr;
        for (int i = 0; i < 500 && box == nullptr; ++i) {
            box = FindWindowW(L"#32770", L"坐标空");
            Sleep(10);
        }
        if (box == nullptr) {
            return;
        }
        boxSeen = true;
        for (int i = 0; i < 200; ++i) {  // two seconds with the box open
            POINT p{};
            GetCursorPos(&p);
            visits40 += p.x == 40 && p.y == 40 ? 1 : 0;
            visits80 += p.x == 80 && p.y == 80 ? 1 : 0;
            Sleep(10);
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    program.mainWindow().onClicked(*main, MainRole::startButton);
    ASSERT_EQ(main->text(MainRole::startButton), mainwin::kCaptionRunning);
    editor().onClicked(*window, R::editorOkButton);  // returns when the box is closed
    watcher.join();
    EXPECT_TRUE(boxSeen);
    EXPECT_GT(visits40.load(), 0);
    EXPECT_GT(visits80.load(), 0);
    EXPECT_EQ(main->text(MainRole::startButton), mainwin::kCaptionRunning);
    program.mainWindow().onClicked(*main, MainRole::startButton);  // stop
    pumpFor(800);
    window->close();
}

}  // namespace
}  // namespace kv
