#include "support/message_box.h"

#include "support/pump.h"
#include "support/screenshot.h"

namespace kv::test {
namespace {

// The static control that holds a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;

HWND visibleMessageBox() {
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
        if (IsWindowVisible(box) && GetDlgItem(box, kMessageBoxTextId) != nullptr) {
            return box;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<SeenMessageBox> answerMessageBox(DWORD timeoutMs,
                                               const std::wstring& screenshotName) {
    const DWORD start = GetTickCount();
    HWND box = nullptr;
    while ((box = visibleMessageBox()) == nullptr) {
        if (GetTickCount() - start > timeoutMs) {
            return std::nullopt;
        }
        Sleep(20);
    }
    Sleep(150);  // painted
    SeenMessageBox seen{windowTextOf(box), windowTextOf(GetDlgItem(box, kMessageBoxTextId))};
    if (!screenshotName.empty()) {
        saveScreenshot(box, screenshotName);
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    const DWORD closing = GetTickCount();
    while (IsWindow(box) && GetTickCount() - closing < 3000) {
        Sleep(20);
    }
    return seen;
}

}  // namespace kv::test
