#include "app/main_window.h"

#include "app/main_window_layout.h"
#include "app/window_under_cursor.h"
#include "steps/step_list.h"

namespace kv::app {

MainWindow::MainWindow(platform::Desktop& desktop, SharedValues& shared)
    : desktop_(desktop), shared_(shared) {}

// Start-up steps, in this order: launch a pending program, register the
// global hotkeys F5, F6 and F8, keep the list's handle, load the steps.
void MainWindow::onCreated(platform::Window& window) {
    shared_.stepListHandle = window.controlHandle(MainRole::stepList);
}

// Close steps, in this order: release the hotkeys, remove a row-drag mouse
// hook still installed, save the steps. A run in progress is not stopped.
void MainWindow::onDestroy(platform::Window& /*window*/) {}

void MainWindow::onTimer(platform::Window& window, platform::Role timer) {
    if (timer.is(MainRole::uiRefreshTimer)) {
        uiRefreshTick(window);
    }
}

void MainWindow::uiRefreshTick(platform::Window& window) {
    const steps::StepList steps(window.list(MainRole::stepList));
    const int count = steps.rowCount();
    shared_.stepCount = count;
    shared_.windowUnderMouse = windowUnderCursor(desktop_);

    // With fewer than two rows there is nothing to loop over: run once, fixed.
    if (count <= 1) {
        window.setEnabled(MainRole::runOnceRadio, false);
        window.setEnabled(MainRole::loopRadio, false);
        window.setChecked(MainRole::runOnceRadio, true);
        window.setChecked(MainRole::loopRadio, false);
    } else {
        window.setEnabled(MainRole::runOnceRadio, true);
        window.setEnabled(MainRole::loopRadio, true);
    }

    const bool hasRows = count > 0;
    window.setMenuItemEnabled(MainRole::menuEdit, hasRows);
    window.setMenuItemEnabled(MainRole::menuDelete, hasRows);
    window.setMenuItemEnabled(MainRole::menuDeleteAll, hasRows);
}

}  // namespace kv::app
