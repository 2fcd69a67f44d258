#include "app/klikvane.h"

#include "app/main_window_layout.h"

namespace kv::app {

Klikvane::Klikvane(platform::Desktop& desktop) : desktop_(desktop), mainWindow_(desktop, shared_) {}

platform::Window* Klikvane::openMainWindow() {
    return desktop_.openWindow(kMainWindowSpec, mainWindow_, platform::Modality::modeless);
}

void Klikvane::run() {
    openMainWindow();
    desktop_.runMessageLoop();
}

}  // namespace kv::app
