#include "app/tray_handlers.h"

#include "mainwin/main_role.h"

namespace kv::app {
namespace {
// The tray menu opens this far above and left of the cursor.
constexpr int kTrayMenuOffset = 5;
}  // namespace

void onMainWindowMoved(platform::Window& main) {
    if (main.isMinimized() && main.showTrayIcon()) {
        main.hide();
    }
}

// Restoring acts only on a shown window: show first, restore second.
void onTrayDoubleClick(platform::Window& main) {
    main.show();
    main.restore();
}

void menuShowMain(platform::Window& main) {
    main.show();
    main.restoreAndCentre();
}

void onTrayRightClick(platform::Window& main, const platform::Desktop& desktop) {
    const platform::Point cursor = desktop.cursorPosition();
    main.popupMenu(mainwin::MainRole::trayMenu,
                   {cursor.x - kTrayMenuOffset, cursor.y - kTrayMenuOffset},
                   {.align = platform::Window::MenuAlign::right,
                    .rightButtonChooses = false,
                    .fromNotificationArea = true});
}

void menuExit(platform::Window& main) {
    main.close();
}

}  // namespace kv::app
