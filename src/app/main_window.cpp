#include "app/main_window.h"

#include "app/main_window_layout.h"
#include "app/open_web_address.h"
#include "app/tray_handlers.h"
#include "app/window_under_cursor.h"
#include "schedule/pending_launch.h"
#include "schedule/shutdown_step.h"
#include "steps/step_list.h"
#include "steps/step_store.h"

namespace kv::app {

MainWindow::MainWindow(platform::Desktop& desktop, mainwin::SharedValues& shared)
    : desktop_(desktop),
      shared_(shared),
      hotkeys_(desktop),
      editor_(desktop, shared),
      quickAdd_(desktop, shared),
      run_(desktop, shared),
      listMenu_(desktop, shared),
      about_(desktop),
      timedStart_(desktop),
      scheduleWindow_(desktop, shared, timedStart_),
      drag_(desktop, shared) {
    playback::RunHooks hooks;
    hooks.openStepEditor = [this] { editor_.openAddMode(); };
    run_.setHooks(std::move(hooks));
    // "添加" opens the editor modally in add mode, "修改" non-modally for the
    // row whose cells the menu put into editBuffer.
    listMenu_.setStepEditorOpener([this](platform::Modality modality) {
        if (modality == platform::Modality::modal) {
            editor_.openAddMode();
        } else {
            editor_.openEditMode();
        }
    });
}

// Start-up steps, in this order: launch a pending program, register the
// global hotkeys F5, F6 and F8, keep the list's handle, load the steps.
void MainWindow::onCreated(platform::Window& window) {
    schedule::launchPendingProgram(desktop_);
    keepShutdownHook(window);
    const platform::NativeWindow handle = window.handle();
    startHotkeyId_ = hotkeys_.registerHotkey(handle, 0, hotkeys::kKeyF5,
                                             [this, &window] { run_.toggleRun(window); });
    quickAddHotkeyId_ = hotkeys_.registerHotkey(
        handle, 0, hotkeys::kKeyF6, [this, &window] { quickAdd_.quickAddToggle(window); });
    aboutHotkeyId_ = hotkeys_.registerHotkey(handle, 0, hotkeys::kKeyF8, [this] { about_.open(); });
    shared_.stepListHandle = window.controlHandle(MainRole::stepList);
    editor_.attachStepList(&window.list(MainRole::stepList));
    steps::StepList steps(window.list(MainRole::stepList));
    storeAtStart_ = steps::loadSteps(steps, desktop_.files(), desktop_.programDirectory());
    tell(storeAtStart_.notice);
}

// Close steps, in this order: release the hotkeys, remove a row-drag mouse
// hook still installed, save the steps. A run in progress is not stopped.
void MainWindow::onDestroy(platform::Window& window) {
    // An open editor closes first, as its cancel button does: nothing is
    // confirmed into a list already saved, and the program can end.
    editor_.close();
    editor_.attachStepList(nullptr);
    // An id of 0 is passed as well; it releases nothing.
    for (const int id : {startHotkeyId_, quickAddHotkeyId_, aboutHotkeyId_}) {
        desktop_.unregisterHotkey(window.handle(), id);
    }
    drag_.cancel();
    saveList(window);
}

void MainWindow::saveList(platform::Window& window) {
    const steps::StepList steps(window.list(MainRole::stepList));
    tell(steps::saveSteps(steps, desktop_.files(), desktop_.programDirectory(), storeAtStart_)
             .notice);
}

// The forced shutdown ends Klikvane without its close handler, so the list is
// saved first, as closing would. Both run on the UI thread: the end of a pass
// comes on the playback worker. The step editor's hook stays as it is.
void MainWindow::keepShutdownHook(platform::Window& window) {
    playback::RunHooks hooks = run_.hooks();
    hooks.shutdownComputer = [this, &window] {
        window.post([this, &window] {
            saveList(window);
            schedule::shutDownComputer(desktop_);
        });
    };
    run_.setHooks(std::move(hooks));
}

void MainWindow::tell(const steps::StoreNotice& notice) {
    if (!notice.empty()) {
        desktop_.showMessage(notice.text, notice.title);
    }
}

void MainWindow::onTimer(platform::Window& window, platform::Role timer) {
    if (timer.is(MainRole::uiRefreshTimer)) {
        uiRefreshTick(window);
    } else if (timer.is(MainRole::repeatTimer)) {
        run_.repeatTick(window);
    } else if (timer.is(MainRole::scheduleTimer)) {
        timedStart_.tick(window, [this, &window] { run_.toggleRun(window); });
    } else if (timer.is(MainRole::quickAddTimer)) {
        quickAdd_.quickAddTick(window);
    }
}

void MainWindow::onClicked(platform::Window& window, platform::Role control) {
    if (control.is(MainRole::startButton)) {
        run_.toggleRun(window);
    } else if (control.is(MainRole::advancedButton)) {
        scheduleWindow_.open(window);
    } else if (control.is(MainRole::quickAddButton)) {
        quickAdd_.quickAddToggle(window);
    }
}

void MainWindow::onHotkey(platform::Window& window, int id) {
    hotkeys_.dispatch(window.handle(), id);
}

// A minimised (or hidden) window cannot take a drop: a drag in progress,
// when a run starts, would otherwise end in a delete.
void MainWindow::onMoved(platform::Window& window) {
    if (window.isMinimized()) {
        drag_.cancel();
    }
    onMainWindowMoved(window);
}

void MainWindow::onMenuItem(platform::Window& window, platform::Role item) {
    if (item.is(MainRole::menuAdd)) {
        listMenu_.menuAdd();
    } else if (item.is(MainRole::menuEdit)) {
        listMenu_.menuEdit(window);
    } else if (item.is(MainRole::menuDelete)) {
        listMenu_.menuDelete(window);
    } else if (item.is(MainRole::menuDeleteAll)) {
        listMenu_.menuDeleteAll(window);
    } else if (item.is(MainRole::menuShowMain)) {
        menuShowMain(window);
    } else if (item.is(MainRole::menuExit)) {
        menuExit(window);
    }
}

void MainWindow::onMousePress(platform::Window& window, platform::Role control,
                              platform::MouseButton button, platform::Point clientPoint) {
    if (control.is(MainRole::stepList)) {
        // A live drag ends first: its second press cancels it.
        drag_.onListPress(window, button, clientPoint);
        if (button == platform::MouseButton::right) {
            listMenu_.onListRightPress(window);
        }
    } else if (control.is(MainRole::linkLabel) && button == platform::MouseButton::left) {
        openWebAddress(desktop_, kWebAddress);
    }
}

void MainWindow::onHookedMouse(platform::Window& window, const platform::HookedMouseEvent& event) {
    drag_.onHookedMouse(window, event);
}

void MainWindow::onRightClicked(platform::Window& window, platform::Role control) {
    if (control.is(MainRole::stepList)) {
        listMenu_.onListRightClick(window);
    }
}

void MainWindow::onTrayDoubleClick(platform::Window& window) {
    kv::app::onTrayDoubleClick(window);
}

void MainWindow::onTrayRightClick(platform::Window& window) {
    kv::app::onTrayRightClick(window, desktop_);
}

void MainWindow::uiRefreshTick(platform::Window& window) {
    const steps::StepList steps(window.list(MainRole::stepList));
    const int count = steps.rowCount();
    shared_.stepCount = count;
    shared_.windowUnderMouse = windowUnderCursor(desktop_);
    drag_.checkButton();

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
