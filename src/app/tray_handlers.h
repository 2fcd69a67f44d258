// The main window and the notification area: minimising hides the window
// behind its tray icon; a double click on the icon or its menu brings it back.
#pragma once

#include "platform/desktop.h"

namespace kv::app {

// The main window moved, was minimised or restored. A minimised window goes
// to the notification area, but only when its icon is really there: when
// the shell refuses the icon the window stays minimised on the taskbar.
void onMainWindowMoved(platform::Window& main);

// Back at the place it had.
void onTrayDoubleClick(platform::Window& main);
// Back in the centre of the screen ("显示主界面").
void menuShowMain(platform::Window& main);
// The tray menu, right-aligned just above and left of the cursor.
void onTrayRightClick(platform::Window& main, const platform::Desktop& desktop);
// Closes the program as the close box does ("退出").
void menuExit(platform::Window& main);

}  // namespace kv::app
