// The shipped program's step editor takes the cursor's position with its
// capture key, pressed as a real key; the key can be changed, a key held
// elsewhere is explained, and no key stays held that the editor no longer
// uses. The program runs as its own process; this test is the user.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/text_encoding.h"
#include "support/message_box.h"
#include "support/other_process_hotkey.h"
#include "support/program_process.h"
#include "support/pump.h"
#include "support/remote_window.h"
#include "support/screenshot.h"
#include "support/store_file.h"
#include "support/target_window.h"

namespace kv {
namespace {

using test::pumpFor;
using test::pumpUntil;

constexpr wchar_t kMainCaption[] = L"鼠标自动点击";
constexpr wchar_t kEditorCaption[] = L"添加";
constexpr wchar_t kHotkeyInputCaption[] = L"注册热键";
constexpr wchar_t kKeyTableCaption[] = L"按键数值表";

// Client points inside the editor's controls.
constexpr POINT kXEdit{40, 20};
constexpr POINT kYEdit{124, 20};
constexpr POINT kCaptureLabel{200, 20};
constexpr POINT kChangeLabel{290, 50};
constexpr POINT kOkButton{130, 180};
// And inside "注册热键"'s.
constexpr POINT kHotkeyEdit{20, 40};
constexpr POINT kShowTableLabel{140, 40};
constexpr POINT kHotkeyOk{30, 72};
constexpr POINT kHotkeyCancel{85, 72};

class CaptureProgramTest : public ::testing::Test {
protected:
    test::ProgramProcess program;
    HWND main = nullptr;
    HWND editor = nullptr;

    void SetUp() override {
        ASSERT_TRUE(program.start());
        main = program.waitForWindow(kMainCaption);
        ASSERT_NE(main, nullptr);
    }
    void TearDown() override {
        if (IsWindow(main)) {
            PostMessageW(main, WM_CLOSE, 0, 0);
        }
        program.waitForExit(10000);
    }

    // F5 on the empty list asks for a step and opens the editor.
    void openEditorWithoutAnswering() {
        test::pressKey(VK_F5);
        const auto box = test::answerMessageBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->title, L"任务列表空");
    }
    HWND waitForEditor() {
        editor = program.waitForWindow(kEditorCaption);
        pumpFor(200);
        return editor;
    }
    void openEditor() {
        openEditorWithoutAnswering();
        ASSERT_NE(waitForEditor(), nullptr);
    }
    void closeEditor() {
        PostMessageW(editor, WM_CLOSE, 0, 0);
        ASSERT_TRUE(pumpUntil([&] { return !IsWindow(editor); }));
    }
    std::wstring label() const { return test::remoteText(test::childAt(editor, kCaptureLabel)); }
    std::wstring x() const { return test::remoteText(test::childAt(editor, kXEdit)); }
    std::wstring y() const { return test::remoteText(test::childAt(editor, kYEdit)); }
    bool labelBecomes(const std::wstring& caption, DWORD timeoutMs = 3000) {
        return pumpUntil([&] { return label() == caption; }, timeoutMs);
    }
    bool fieldsShow(POINT p) {
        return pumpUntil([&] { return x() == std::to_wstring(p.x) && y() == std::to_wstring(p.y); },
                         3000);
    }
    std::string settings() const { return test::fileBytes(program.directory() + L"\\配置.ini"); }

    // "修改快捷键" clicked and a code typed into "注册热键"; nullptr: cancelled.
    void changeKey(const wchar_t* code, const std::wstring& screenshot = {}) {
        test::clickClientPoint(editor, kChangeLabel);
        HWND input = program.waitForWindow(kHotkeyInputCaption);
        ASSERT_NE(input, nullptr);
        pumpFor(200);
        if (code == nullptr) {
            test::pushButtonAt(input, kHotkeyCancel);
            return;
        }
        SendMessageW(test::childAt(input, kHotkeyEdit), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(code));
        if (!screenshot.empty()) {
            pumpFor(200);
            test::saveScreenshot(input, screenshot);
        }
        test::pushButtonAt(input, kHotkeyOk);
    }
};

TEST_F(CaptureProgramTest, F9FollowsTheCursorAndTheConfirmedRowPlaysAtThatPoint) {
    test::TargetWindow target{test::kTargetScreenRect, test::kTargetEditRect};
    openEditor();
    EXPECT_EQ(label(), L"快捷键F9键");
    EXPECT_EQ(settings(), "[热键]\r\n值=120\r\n");

    const POINT first = target.toScreen({50, 60});
    SetCursorPos(first.x, first.y);
    test::pressKey(VK_F9);
    ASSERT_TRUE(labelBecomes(L"正在取坐标...F9键停止"));
    EXPECT_TRUE(fieldsShow(first));
    EXPECT_FALSE(IsWindowEnabled(test::childAt(editor, kChangeLabel)));
    const POINT second = target.toScreen({120, 90});
    SetCursorPos(second.x, second.y);
    EXPECT_TRUE(fieldsShow(second));
    test::saveScreenshot(editor, L"editor_capturing");

    test::pressKey(VK_F9);
    ASSERT_TRUE(labelBecomes(L"快捷键F9键"));
    EXPECT_TRUE(IsWindowEnabled(test::childAt(editor, kChangeLabel)));
    SetCursorPos(700, 700);
    pumpFor(400);
    EXPECT_EQ(x(), std::to_wstring(second.x));  // the last point is kept
    EXPECT_EQ(y(), std::to_wstring(second.y));

    test::pushButtonAt(editor, kOkButton);
    ASSERT_TRUE(pumpUntil([&] { return x().empty(); }));
    closeEditor();
    // One row: F5 repeats its click once, at its interval.
    test::pressKey(VK_F5);
    ASSERT_TRUE(pumpUntil([&] { return target.messages().size() >= 2; }, 5000));
    EXPECT_EQ(target.describe(), "LD 120,90 LU 120,90 ");
}

TEST_F(CaptureProgramTest, ChangeToF10FreesF9AtOnceAndIsKeptForTheNextOpening) {
    openEditor();
    changeKey(L"121", L"hotkey_input_program");
    const auto box = test::answerMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->title, L"热键注册");
    EXPECT_EQ(box->text, L"注册热键F10键成功");
    ASSERT_TRUE(labelBecomes(L"快捷键F10键"));
    EXPECT_EQ(settings(), "[热键]\r\n值=121\r\n");
    EXPECT_TRUE(test::anotherProcessCanRegister(VK_F9));
    EXPECT_FALSE(test::anotherProcessCanRegister(VK_F10));

    test::pressKey(VK_F9);  // free now: nothing happens
    pumpFor(300);
    EXPECT_EQ(label(), L"快捷键F10键");
    test::pressKey(VK_F10);
    EXPECT_TRUE(labelBecomes(L"正在取坐标...F10键停止"));
    test::pressKey(VK_F10);
    EXPECT_TRUE(labelBecomes(L"快捷键F10键"));

    closeEditor();
    EXPECT_TRUE(test::anotherProcessCanRegister(VK_F10));
    EXPECT_FALSE(test::anotherProcessCanRegister(VK_F5));  // the main window's keys stay
    openEditor();
    EXPECT_EQ(label(), L"快捷键F10键");
    EXPECT_TRUE(test::anotherProcessCanRegister(VK_F9));
    EXPECT_FALSE(test::anotherProcessCanRegister(VK_F10));
}

TEST_F(CaptureProgramTest, TheKeyTableOpensFromTheLinkAndCancelKeepsTheKey) {
    openEditor();
    test::clickClientPoint(editor, kChangeLabel);
    HWND input = program.waitForWindow(kHotkeyInputCaption);
    ASSERT_NE(input, nullptr);
    pumpFor(200);
    test::clickClientPoint(input, kShowTableLabel);
    HWND table = program.waitForWindow(kKeyTableCaption);
    ASSERT_NE(table, nullptr);
    pumpFor(200);
    test::saveScreenshot(table, L"key_code_table_program");
    PostMessageW(table, WM_CLOSE, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(table); }));
    test::pushButtonAt(input, kHotkeyCancel);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(input); }));
    EXPECT_EQ(label(), L"快捷键F9键");
    EXPECT_FALSE(test::anotherProcessCanRegister(VK_F9));
    test::pressKey(VK_F9);
    EXPECT_TRUE(labelBecomes(L"正在取坐标...F9键停止"));
}

TEST_F(CaptureProgramTest, F9HeldElsewhereAtOpeningIsExplainedAndAnotherKeyCanBeChosen) {
    test::HotkeyHolder holder(VK_F9);
    ASSERT_TRUE(holder.holds());
    openEditorWithoutAnswering();
    const auto taken = test::answerMessageBox(5000, L"capture_key_taken");
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->title, L"热键注册失败");
    EXPECT_EQ(taken->text, L"F9键可能已被占用，请输入其它热键值");
    HWND input = program.waitForWindow(kHotkeyInputCaption);
    ASSERT_NE(input, nullptr);
    pumpFor(200);
    SendMessageW(test::childAt(input, kHotkeyEdit), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"123"));
    test::pushButtonAt(input, kHotkeyOk);
    const auto registered = test::answerMessageBox();
    ASSERT_TRUE(registered.has_value());
    EXPECT_EQ(registered->text, L"注册热键F12键成功");
    ASSERT_NE(waitForEditor(), nullptr);
    EXPECT_EQ(label(), L"快捷键F12键");
    EXPECT_EQ(settings(), "[热键]\r\n值=123\r\n");
    test::pressKey(VK_F12);
    EXPECT_TRUE(labelBecomes(L"正在取坐标...F12键停止"));
}

TEST_F(CaptureProgramTest, AChosenKeyThatIsTakenLeavesNoKeyShownAndTheFileAlone) {
    test::HotkeyHolder holder(VK_F11);
    ASSERT_TRUE(holder.holds());
    openEditor();
    changeKey(L"122");
    const auto box = test::answerMessageBox(5000, L"chosen_key_taken");
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->title, L"热键注册失败");
    EXPECT_EQ(box->text, L"预注册热键可能已被占用，请输入其它热键值");
    ASSERT_TRUE(labelBecomes(L"无快捷键"));
    EXPECT_EQ(settings(), "[热键]\r\n值=120\r\n");
    // The key held so far still toggles.
    test::pressKey(VK_F9);
    EXPECT_TRUE(labelBecomes(L"快捷键F9键"));
}

TEST_F(CaptureProgramTest, TheProgramDeclaresPerMonitorDpiAwareness) {
    HMODULE exe = LoadLibraryExW((program.directory() + L"\\Klikvane.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr);
    HRSRC resource = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(resource, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(exe, resource)));
    const std::string manifest(bytes, SizeofResource(exe, resource));
    FreeLibrary(exe);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
}

}  // namespace
}  // namespace kv
