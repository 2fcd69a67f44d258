#include "support/popup_menus.h"

#include <commctrl.h>

#include "support/mouse_input.h"
#include "support/pump.h"

namespace kv::test {
namespace {

RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

}  // namespace

HWND openMenu() {
    HWND menu = nullptr;
    pumpUntil([&] {
        menu = FindWindowW(L"#32768", nullptr);
        return menu != nullptr && IsWindowVisible(menu);
    });
    return menu;
}

bool chooseMenuItem(int position, int count) {
    HWND menuWindow = openMenu();
    if (menuWindow == nullptr) {
        return false;
    }
    RECT client{};
    GetClientRect(menuWindow, &client);
    const int itemHeight = (client.bottom - client.top) / count;
    POINT item{(client.right - client.left) / 2, itemHeight * position + itemHeight / 2};
    ClientToScreen(menuWindow, &item);
    // A loaded machine may take the first click before the menu tracks the
    // mouse; a user would click again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        pumpFor(300);
        clickAt(item, platform::MouseButton::left);
        if (pumpUntil(
                [] {
                    HWND open = FindWindowW(L"#32768", nullptr);
                    return open == nullptr || !IsWindowVisible(open);
                },
                2000)) {
            return true;
        }
    }
    return false;
}

// Report view: the header, then rows of equal height.
POINT listRowPoint(HWND list, int row) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const RECT headerRect = windowRect(header);
    const int headerHeight = headerRect.bottom - headerRect.top;
    const int one = HIWORD(SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
    const int two = HIWORD(SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 2, MAKELPARAM(-1, -1)));
    const int rowHeight = two - one;
    POINT p{40, headerHeight + row * rowHeight + rowHeight / 2};
    ClientToScreen(list, &p);
    return p;
}

}  // namespace kv::test
