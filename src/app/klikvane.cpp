#include "app/klikvane.h"

#include "app/main_window_layout.h"
#include "app/one_copy_per_folder.h"

namespace kv::app {

Klikvane::Klikvane(platform::Desktop& desktop) : desktop_(desktop), mainWindow_(desktop, shared_) {}

platform::Window* Klikvane::openMainWindow() {
    return desktop_.openWindow(kMainWindowSpec, mainWindow_, platform::Modality::modeless);
}

void Klikvane::run() {
    if (!claimProgramFolder(desktop_)) {
        return;
    }
    if (platform::Window* window = openMainWindow()) {
        desktop_.copies().answerLaterCopies(window->handle());
    }
    desktop_.runMessageLoop();
}

}  // namespace kv::app
