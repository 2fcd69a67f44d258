// Popup menus and list rows of another process, driven with the real mouse
// as a user drives them.
#pragma once

#include <windows.h>

namespace kv::test {

// The popup menu on the screen once one is shown (within 5 s), or nullptr.
HWND openMenu();

// Clicks the item at this position of the open menu of `count` items (text
// items of one height; the menu belongs to another process, so its items'
// rectangles cannot be asked for). Returns whether the menu closed.
bool chooseMenuItem(int position, int count);

// The screen point in the middle of a row of a report-view list.
POINT listRowPoint(HWND list, int row);

}  // namespace kv::test
