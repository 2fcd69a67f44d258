// The shipped program in the notification area, with its list menu and its
// about window, driven as a user would: real key presses and mouse presses,
// the icon's messages posted as the shell posts them.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/text_encoding.h"
#include "steps/store_format.h"
#include "support/mouse_input.h"
#include "support/popup_menus.h"
#include "support/program_process.h"
#include "support/remote_list_view.h"
#include "support/screenshot.h"
#include "support/store_file.h"

namespace kv {
namespace {

using platform::MouseButton;
using steps::StepRecord;

constexpr wchar_t kMainCaption[] = L"鼠标自动点击";
constexpr wchar_t kAboutCaption[] = L"关于";
// How the program's icon reports the mouse (its private callback message).
constexpr UINT kTrayCallbackMessage = WM_APP + 4;
constexpr UINT kTrayIconId = 1;

// NIM_MODIFY with no flags succeeds only for an icon that is there.
bool iconPresent(HWND main) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = main;
    icon.uID = kTrayIconId;
    return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
}

void deleteIcon(HWND main) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = main;
    icon.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &icon);
}

RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

class TrayAndMenusTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::writeStoreFile(test::storeFileIn(program.directory()), rows));
        ASSERT_TRUE(program.start());
        main = program.waitForWindow(kMainCaption);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(test::pumpUntil([&] { return IsWindowVisible(main) != FALSE; }));
    }
    void TearDown() override {
        if (IsWindow(main)) {
            PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        program.waitForExit(10000);
    }
    void minimise() {
        PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(test::pumpUntil([&] { return !IsWindowVisible(main); }));
    }
    void trayEvent(UINT mouseMessage) {
        PostMessageW(main, kTrayCallbackMessage, kTrayIconId, mouseMessage);
    }
    int rowCount() { return test::RemoteListView(test::listViewIn(main)).rowCount(); }

    std::vector<StepRecord> rows = {
        {"10", "20", "左键", "单击", "1000", "1", ""},
        {"30", "40", "右键", "单击", "1000", "1", "第二行"},
        {"50", "60", "中键", "单击", "1000", "1", ""},
    };
    test::ProgramProcess program;
    HWND main = nullptr;
};

TEST_F(TrayAndMenusTest, MinimiseHidesBehindTheIconAndADoubleClickBringsItBackInPlace) {
    const RECT before = windowRect(main);
    EXPECT_FALSE(iconPresent(main));  // no icon before the first minimise
    minimise();
    EXPECT_TRUE(iconPresent(main));
    test::saveScreenshot(GetDesktopWindow(), L"tray-icon-cp" + std::to_wstring(GetACP()));

    trayEvent(WM_LBUTTONDOWN);  // a single click does nothing
    trayEvent(WM_LBUTTONUP);
    test::pumpFor(300);
    EXPECT_FALSE(IsWindowVisible(main));

    trayEvent(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(test::pumpUntil([&] {
        const RECT r = windowRect(main);
        return IsWindowVisible(main) && !IsIconic(main) && r.left == before.left &&
               r.top == before.top && r.right == before.right;
    }));
    EXPECT_TRUE(iconPresent(main));  // the icon stays

    // F5 from anywhere: minimised into the tray again, as the run starts.
    test::pressKey(VK_F5);
    ASSERT_TRUE(test::pumpUntil([&] { return !IsWindowVisible(main); }));
    test::pressKey(VK_F5);  // and stops; still one icon, still hidden
    test::pumpFor(500);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(iconPresent(main));
}

TEST_F(TrayAndMenusTest, TrayMenuShowsTheWindowCentredAndExitEndsTheProgramWithTheRowsSaved) {
    // Away from the centre first, so that coming back centred shows.
    SetWindowPos(main, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    minimise();
    SetCursorPos(900, 700);
    test::pumpFor(200);  // the cursor's new place reaches the other process
    trayEvent(WM_RBUTTONUP);
    ASSERT_NE(test::openMenu(), nullptr);
    test::pumpFor(200);
    test::saveScreenshot(GetDesktopWindow(), L"tray-menu-cp" + std::to_wstring(GetACP()));
    const RECT menuRect = windowRect(test::openMenu());
    EXPECT_LE(menuRect.right, 900 - 5 + 1);  // right-aligned at the cursor - 5
    EXPECT_GE(menuRect.top, 700 - 5 - 1);
    ASSERT_TRUE(test::chooseMenuItem(0, 2));  // "显示主界面"
    const int centreX = (GetSystemMetrics(SM_CXSCREEN) - 492) / 2;
    const int centreY = (GetSystemMetrics(SM_CYSCREEN) - 340) / 2;
    EXPECT_TRUE(test::pumpUntil([&] {
        const RECT r = windowRect(main);
        return IsWindowVisible(main) && !IsIconic(main) && r.left == centreX && r.top == centreY &&
               r.right - r.left == 492;
    }));

    minimise();
    trayEvent(WM_RBUTTONUP);
    ASSERT_TRUE(test::chooseMenuItem(1, 2));  // "退出"
    EXPECT_EQ(program.waitForExit(10000), 0);
    EXPECT_FALSE(iconPresent(main));  // no dead icon left behind
    const std::string bytes = test::fileBytes(test::storeFileIn(program.directory()));
    const auto opened = steps::store::openStore(bytes);
    EXPECT_EQ(opened.layout.recordCount, 3);
}

// The about window is modal: the main window comes back disabled beneath
// it, and "退出" destroys the main window (saving once) while the about
// window keeps the program until it closes.
TEST_F(TrayAndMenusTest, ShowMainAndExitWhileTheModalAboutWindowIsOpen) {
    minimise();
    test::pressKey(VK_F8);
    HWND about = program.waitForWindow(kAboutCaption, 5000);
    ASSERT_NE(about, nullptr);

    trayEvent(WM_RBUTTONUP);
    ASSERT_TRUE(test::chooseMenuItem(0, 2));  // "显示主界面"
    EXPECT_TRUE(test::pumpUntil([&] { return IsWindowVisible(main) && !IsIconic(main); }));
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_TRUE(IsWindow(about));

    trayEvent(WM_RBUTTONUP);
    ASSERT_TRUE(test::chooseMenuItem(1, 2));  // "退出"
    EXPECT_TRUE(test::pumpUntil([&] { return !IsWindow(main); }));
    EXPECT_EQ(program.waitForExit(500), -1);  // the about window keeps it running
    SetForegroundWindow(about);
    test::pumpFor(300);
    test::pressKey(VK_ESCAPE);
    EXPECT_EQ(program.waitForExit(10000), 0);
    const std::string bytes = test::fileBytes(test::storeFileIn(program.directory()));
    EXPECT_EQ(steps::store::openStore(bytes).layout.recordCount, 3);
}

TEST_F(TrayAndMenusTest, IconComesBackWhenTheTaskbarIsCreatedAgain) {
    minimise();
    deleteIcon(main);  // Explorer went away with it
    EXPECT_FALSE(iconPresent(main));
    PostMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(test::pumpUntil([&] { return iconPresent(main); }));
}

TEST_F(TrayAndMenusTest, ListMenuDeletesTheRowPressedOnAndThenEveryRow) {
    HWND list = test::listViewIn(main);
    SetForegroundWindow(main);
    test::pumpFor(200);
    test::clickAt(test::listRowPoint(list, 1), MouseButton::left);  // select row 1
    test::pumpFor(200);
    test::pressButtonAt(test::listRowPoint(list, 1), MouseButton::right);
    ASSERT_NE(test::openMenu(), nullptr);
    test::releaseButtonAt(test::listRowPoint(list, 1), MouseButton::right);
    test::pumpFor(200);
    test::saveScreenshot(GetDesktopWindow(), L"list-menu-cp" + std::to_wstring(GetACP()));
    ASSERT_TRUE(test::chooseMenuItem(2, 4));  // "删除"
    ASSERT_TRUE(test::pumpUntil([&] { return rowCount() == 2; }));
    test::RemoteListView view(list);
    EXPECT_EQ(view.cell(0, 0), L"10");
    EXPECT_EQ(view.cell(1, 0), L"50");

    // The list takes the next click normally: a left click selects row 0.
    test::clickAt(test::listRowPoint(list, 0), MouseButton::left);
    test::pumpFor(200);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 0);

    test::pressButtonAt(test::listRowPoint(list, 0), MouseButton::right);
    ASSERT_NE(test::openMenu(), nullptr);
    test::releaseButtonAt(test::listRowPoint(list, 0), MouseButton::right);
    ASSERT_TRUE(test::chooseMenuItem(3, 4));  // "全部删除"
    EXPECT_TRUE(test::pumpUntil([&] { return rowCount() == 0; }));
}

// "修改" opens the step editor without blocking the main window, its fields
// filled from the row; "添加" opens it modally.
TEST_F(TrayAndMenusTest, EditAndAddFromTheListMenuOpenTheStepEditor) {
    HWND list = test::listViewIn(main);
    SetForegroundWindow(main);
    test::pumpFor(200);
    test::clickAt(test::listRowPoint(list, 1), MouseButton::left);
    test::pumpFor(200);
    test::pressButtonAt(test::listRowPoint(list, 1), MouseButton::right);
    ASSERT_NE(test::openMenu(), nullptr);
    test::releaseButtonAt(test::listRowPoint(list, 1), MouseButton::right);
    ASSERT_TRUE(test::chooseMenuItem(1, 4));  // "修改"
    HWND editor = program.waitForWindow(L"添加", 5000);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(IsWindowEnabled(main));  // non-modal
    // The boxes show the row once the fill has run.
    auto boxTexts = [&] {
        std::vector<std::wstring> texts;
        for (HWND box = FindWindowExW(editor, nullptr, L"Edit", nullptr); box != nullptr;
             box = FindWindowExW(editor, box, L"Edit", nullptr)) {
            // WM_GETTEXT itself: GetWindowText does not ask another process's box.
            wchar_t text[256] = {};
            SendMessageW(box, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
            texts.push_back(text);
        }
        return texts;
    };
    auto shows = [&](const wchar_t* text) {
        const auto texts = boxTexts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    EXPECT_TRUE(test::pumpUntil([&] { return shows(L"30") && shows(L"40") && shows(L"第二行"); }));
    test::saveScreenshot(GetDesktopWindow(), L"edit-from-menu-cp" + std::to_wstring(GetACP()));
    PostMessageW(editor, WM_CLOSE, 0, 0);
    ASSERT_TRUE(test::pumpUntil([&] { return !IsWindow(editor); }));

    // "添加": with no row selected, the first item; the main window is
    // disabled while the editor is open.
    test::clickAt(test::listRowPoint(list, 5), MouseButton::left);  // below the rows: no selection
    test::pumpFor(200);
    test::pressButtonAt(test::listRowPoint(list, 5), MouseButton::right);
    ASSERT_NE(test::openMenu(), nullptr);
    test::releaseButtonAt(test::listRowPoint(list, 5), MouseButton::right);
    ASSERT_TRUE(test::chooseMenuItem(0, 4));  // "添加"
    editor = program.waitForWindow(L"添加", 5000);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(test::pumpUntil([&] { return !IsWindowEnabled(main); }));
    PostMessageW(editor, WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::pumpUntil([&] { return !IsWindow(editor) && IsWindowEnabled(main); }));
}

TEST_F(TrayAndMenusTest, F8OpensTheBorderlessAboutWindowWhichDragsAndClosesOnRightPressOrEsc) {
    test::pressKey(VK_F8);
    HWND about = program.waitForWindow(kAboutCaption, 5000);
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(test::pumpUntil([&] { return IsWindowVisible(about) != FALSE; }));
    const RECT at = windowRect(about);
    EXPECT_EQ(at.right - at.left, 178);
    EXPECT_EQ(at.bottom - at.top, 169);
    EXPECT_EQ(at.left, (GetSystemMetrics(SM_CXSCREEN) - 178) / 2);
    EXPECT_EQ(at.top, (GetSystemMetrics(SM_CYSCREEN) - 169) / 2);
    EXPECT_FALSE(GetWindowLongW(about, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
    test::pumpFor(300);
    test::saveScreenshot(GetDesktopWindow(), L"about-window-cp" + std::to_wstring(GetACP()));

    // F8 again only activates it.
    test::pressKey(VK_F8);
    test::pumpFor(300);
    EXPECT_EQ(FindWindowW(nullptr, kAboutCaption), about);

    // Dragging the background moves it.
    POINT grab{at.left + 6, at.top + 6};
    test::pressButtonAt(grab, MouseButton::left);
    test::pumpFor(100);
    for (int step = 1; step <= 4; ++step) {
        SetCursorPos(grab.x + 10 * step, grab.y + 5 * step);
        test::pumpFor(50);
    }
    test::releaseButtonAt({grab.x + 40, grab.y + 20}, MouseButton::left);
    ASSERT_TRUE(test::pumpUntil([&] { return windowRect(about).left == at.left + 40; }));
    EXPECT_EQ(windowRect(about).top, at.top + 20);

    // A right press closes it.
    test::clickAt({at.left + 100, at.top + 60}, MouseButton::right);
    EXPECT_TRUE(test::pumpUntil([&] { return !IsWindow(about); }));

    // Esc closes it too.
    test::pressKey(VK_F8);
    about = program.waitForWindow(kAboutCaption, 5000);
    ASSERT_NE(about, nullptr);
    SetForegroundWindow(about);
    test::pumpFor(300);
    test::pressKey(VK_ESCAPE);
    EXPECT_TRUE(test::pumpUntil([&] { return !IsWindow(about); }));
    EXPECT_TRUE(IsWindow(main));
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// The https handler of the test's prefix, replaced for the test by a command
// that writes the address it gets into a file.
class RecordingBrowser {
public:
    explicit RecordingBrowser(const std::wstring& record) : record_(record) {
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
        wchar_t old[1024] = {};
        DWORD size = sizeof old;
        hadOld_ = RegQueryValueExW(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old),
                                   &size) == ERROR_SUCCESS;
        old_ = old;
        const std::wstring command = L"cmd.exe /c echo %1> \"" + record_ + L"\"";
        set(command);
    }
    ~RecordingBrowser() {
        if (hadOld_) {
            set(old_);
        } else {
            RegDeleteValueW(key_, nullptr);
        }
        RegCloseKey(key_);
    }
    RecordingBrowser(const RecordingBrowser&) = delete;
    RecordingBrowser& operator=(const RecordingBrowser&) = delete;

    // What the handler got, without the line break echo adds.
    std::string opened() const {
        std::string text = test::fileBytes(record_);
        while (!text.empty() &&
               (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
            text.pop_back();
        }
        return text;
    }

private:
    static constexpr wchar_t kKey[] = L"Software\\Classes\\https\\shell\\open\\command";
    void set(const std::wstring& value) {
        RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    std::wstring record_;
    HKEY key_ = nullptr;
    bool hadOld_ = false;
    std::wstring old_;
};

TEST_F(TrayAndMenusTest, BothLinksOpenTheAddressWithTheUsersHttpsHandler) {
    const std::wstring record = program.directory() + L"\\opened.txt";
    RecordingBrowser browser(record);
    SetForegroundWindow(main);
    test::pumpFor(200);

    POINT mainLink{310, 285};
    ClientToScreen(main, &mainLink);
    test::clickAt(mainLink, MouseButton::left);
    EXPECT_TRUE(test::pumpUntil([&] { return !browser.opened().empty(); }, 10000));
    EXPECT_EQ(browser.opened(), "https://klikvane.example.com");
    DeleteFileW(record.c_str());

    test::pressKey(VK_F8);
    HWND about = program.waitForWindow(kAboutCaption, 5000);
    ASSERT_NE(about, nullptr);
    test::pumpFor(300);
    POINT aboutLink{26, 103};
    ClientToScreen(about, &aboutLink);
    test::clickAt(aboutLink, MouseButton::left);
    EXPECT_TRUE(test::pumpUntil([&] { return !browser.opened().empty(); }, 10000));
    EXPECT_EQ(browser.opened(), "https://klikvane.example.com");
    EXPECT_TRUE(IsWindow(about));  // a left press on the link does not close it
}

}  // namespace
}  // namespace kv
