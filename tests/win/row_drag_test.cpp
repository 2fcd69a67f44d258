// The shipped program's rows dragged with the real mouse: exchanged, kept or
// deleted, the see-through picture while the drag goes on, and the list
// saved at close. The program runs as its own process; this test is the user.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/text_encoding.h"
#include "steps/store_format.h"
#include "support/program_process.h"
#include "support/pump.h"
#include "support/real_mouse.h"
#include "support/remote_list_view.h"
#include "support/store_file.h"

namespace kv {
namespace {

using platform::win32::toWide;
using steps::StepRecord;
namespace store = steps::store;

constexpr wchar_t kMainCaption[] = L"鼠标自动点击";
constexpr BYTE kPictureAlpha = 180;
// Longer than the sampling period of the window under the mouse (100 ms).
constexpr DWORD kRestMs = 350;

// 510 bytes of Chinese text (the store keeps up to 511), different per row.
std::string longChineseText(int row) {
    static const char* const kMarks[] = {"甲", "乙", "丙", "丁"};
    std::string text;
    for (int i = 0; i < 254; ++i) {
        text += "字";
    }
    return text + kMarks[row % 4];
}

std::vector<StepRecord> fourRows() {
    std::vector<StepRecord> rows;
    for (int r = 0; r < 4; ++r) {
        const std::string n = std::to_string(r);
        rows.push_back({"1" + n, "2" + n, "左键", "单击", "100" + n, n, longChineseText(r)});
    }
    return rows;
}

struct OwnedWindowSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK matchShownOwnedWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<OwnedWindowSearch*>(data);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The program's window owned by main and shown: the drag picture.
HWND shownOwnedWindow(HWND main) {
    OwnedWindowSearch search{main, nullptr};
    EnumWindows(matchShownOwnedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class RowDragTest : public ::testing::Test {
protected:
    void SetUp() override {
        rows = fourRows();
        ASSERT_TRUE(test::writeStoreFile(test::storeFileIn(program.directory()), rows));
        ASSERT_TRUE(program.start());
        main = program.waitForWindow(kMainCaption);
        ASSERT_NE(main, nullptr);
        listHandle = test::listViewIn(main);
        list = std::make_unique<test::RemoteListView>(listHandle);
        ASSERT_TRUE(list->usable());
        ASSERT_TRUE(test::pumpUntil([&] { return list->rowCount() == 4; }, 5000));
    }

    POINT rowCentre(int row) const {
        RECT rect = list->rowRect(row);
        MapWindowPoints(listHandle, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return test::centreOf(rect);
    }

    // Press on `from`, glide to `to`, rest there, and release.
    void drag(POINT from, POINT to) {
        test::mouseMoveTo(from);
        Sleep(150);
        test::mouseLeftDown();
        Sleep(150);
        test::mouseGlide(from, to, 8, 30);
        test::waitForCursorAt(to);
        Sleep(kRestMs);
        test::mouseLeftUp();
    }

    std::vector<StepRecord> shownRows() const {
        std::vector<StepRecord> shown(static_cast<std::size_t>(list->rowCount()));
        for (int r = 0; r < static_cast<int>(shown.size()); ++r) {
            for (int c = 0; c < steps::kStepColumnCount; ++c) {
                const std::wstring text = list->cell(r, c);
                shown[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] =
                    platform::win32::toGbk(text);
            }
        }
        return shown;
    }

    std::vector<StepRecord> storedRowsAfterClose() {
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.waitForExit(10000), 0);
        const std::string bytes = test::fileBytes(test::storeFileIn(program.directory()));
        const store::Opened opened = store::openStore(bytes);
        std::vector<StepRecord> stored;
        for (int r = 0; r < opened.layout.recordCount; ++r) {
            stored.push_back(store::readRecord(bytes, opened.layout, r));
        }
        return stored;
    }

    test::ProgramProcess program;
    std::vector<StepRecord> rows;
    HWND main = nullptr;
    HWND listHandle = nullptr;
    std::unique_ptr<test::RemoteListView> list;
};

TEST_F(RowDragTest, RowZeroDroppedOnRowThreeExchangesThemByteForByteAndTheStoreKeepsIt) {
    const POINT from = rowCentre(0);
    const POINT to = rowCentre(3);
    const RECT rowRect = list->rowRect(0);
    // Grab a little right of the row's left edge.
    POINT grab{from.x - 40, from.y};
    test::mouseMoveTo(grab);
    Sleep(150);
    GetCursorPos(&grab);
    test::mouseLeftDown();
    Sleep(150);
    test::mouseGlide(grab, {to.x - 40, to.y}, 8, 30);
    test::waitForCursorAt({to.x - 40, to.y});
    Sleep(kRestMs);

    // Mid-drag: the picture, as the user sees it.
    HWND picture = shownOwnedWindow(main);
    ASSERT_NE(picture, nullptr);
    const LONG_PTR style = GetWindowLongPtrW(picture, GWL_STYLE);
    const LONG_PTR extended = GetWindowLongPtrW(picture, GWL_EXSTYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME), 0);
    EXPECT_EQ(extended & (WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST),
              WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(picture, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, kPictureAlpha);
    EXPECT_TRUE(flags & LWA_ALPHA);
    RECT placed{};
    GetWindowRect(picture, &placed);
    EXPECT_EQ(placed.right - placed.left, rowRect.right - rowRect.left);
    EXPECT_EQ(placed.bottom - placed.top, rowRect.bottom - rowRect.top);
    POINT rowCorner{rowRect.left, rowRect.top};
    ClientToScreen(listHandle, &rowCorner);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(placed.left, cursor.x - (grab.x - rowCorner.x));
    EXPECT_EQ(placed.top, cursor.y - (grab.y - rowCorner.y));
    EXPECT_NE(GetForegroundWindow(), picture);
    EXPECT_NE(WindowFromPoint(cursor), picture);
    EXPECT_EQ(WindowFromPoint(cursor), listHandle);
    const wchar_t* codePage = GetACP() == 936 ? L"936" : L"1252";
    // Beside the test program, for looking at afterwards.
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring shot = exe;
    shot = shot.substr(0, shot.find_last_of(L"\\") + 1) + L"row_drag_picture_" + codePage + L".bmp";
    EXPECT_TRUE(test::saveScreenBmp(shot));

    test::mouseLeftUp();
    ASSERT_TRUE(test::pumpUntil([&] { return shownOwnedWindow(main) == nullptr; }, 3000));
    const std::vector<StepRecord> expected = {rows[3], rows[1], rows[2], rows[0]};
    ASSERT_TRUE(test::pumpUntil([&] { return shownRows() == expected; }, 3000));
    EXPECT_EQ(storedRowsAfterClose(), expected);
}

TEST_F(RowDragTest, ADropOnTheDesktopDeletesTheRowAndADropBelowTheRowsKeepsIt) {
    RECT listRect{};
    GetWindowRect(listHandle, &listRect);
    const POINT belowRows{listRect.left + 60, listRect.bottom - 20};
    drag(rowCentre(1), belowRows);
    test::pumpFor(500);
    EXPECT_EQ(shownRows(), rows);

    RECT mainRect{};
    GetWindowRect(main, &mainRect);
    const POINT desktop{mainRect.left / 2, mainRect.top / 2};
    drag(rowCentre(1), desktop);
    const std::vector<StepRecord> expected = {rows[0], rows[2], rows[3]};
    ASSERT_TRUE(test::pumpUntil([&] { return shownRows() == expected; }, 3000));
    EXPECT_EQ(shownOwnedWindow(main), nullptr);
    EXPECT_EQ(storedRowsAfterClose(), expected);
}

TEST_F(RowDragTest, ClosingTheWindowMidDragEndsTheProgramWithTheListSavedUnchanged) {
    const POINT from = rowCentre(0);
    test::mouseMoveTo(from);
    Sleep(150);
    test::mouseLeftDown();
    test::mouseGlide(from, {from.x + 200, from.y - 200}, 6, 30);
    Sleep(kRestMs);
    ASSERT_NE(shownOwnedWindow(main), nullptr);
    std::vector<StepRecord> stored = storedRowsAfterClose();
    test::mouseLeftUp();
    EXPECT_EQ(stored, rows);
}

}  // namespace
}  // namespace kv
