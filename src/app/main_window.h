// The main window's handlers: start-up and close in their fixed order, the
// 100 ms refresh that keeps the run-mode radio boxes and the list menu in
// line with the number of rows; the tray icon, the list menu, the links and
// the about window are forwarded to their own handlers.
#pragma once

#include "app/about_window.h"
#include "app/list_menu.h"
#include "capture/quick_add.h"
#include "capture/step_editor.h"
#include "drag/row_drag.h"
#include "hotkeys/hotkey_table.h"
#include "mainwin/shared_values.h"
#include "platform/desktop.h"
#include "playback/run_control.h"
#include "schedule/schedule_window.h"
#include "schedule/timed_start.h"
#include "steps/step_store.h"

namespace kv::app {

class MainWindow : public platform::WindowHandlers {
public:
    MainWindow(platform::Desktop& desktop, mainwin::SharedValues& shared);

    void onCreated(platform::Window& window) override;
    void onDestroy(platform::Window& window) override;
    void onTimer(platform::Window& window, platform::Role timer) override;
    void onClicked(platform::Window& window, platform::Role control) override;
    void onHotkey(platform::Window& window, int id) override;
    void onMoved(platform::Window& window) override;
    void onMenuItem(platform::Window& window, platform::Role item) override;
    void onMousePress(platform::Window& window, platform::Role control,
                      platform::MouseButton button, platform::Point clientPoint) override;
    void onHookedMouse(platform::Window& window, const platform::HookedMouseEvent& event) override;
    void onRightClicked(platform::Window& window, platform::Role control) override;
    void onTrayDoubleClick(platform::Window& window) override;
    void onTrayRightClick(platform::Window& window) override;

    // How the list menu's "添加" and "修改" open the step editor.
    void setStepEditorOpener(ListMenu::OpenStepEditor open) {
        listMenu_.setStepEditorOpener(std::move(open));
    }

    void uiRefreshTick(platform::Window& window);

    // The ids the system gave F5, F6 and F8; 0 for a refused key.
    struct HotkeyIds {
        int start;
        int quickAdd;
        int about;
    };
    HotkeyIds hotkeyIds() const { return {startHotkeyId_, quickAddHotkeyId_, aboutHotkeyId_}; }
    const drag::RowDrag& rowDrag() const { return drag_; }

    capture::StepEditor& stepEditor() { return editor_; }

private:
    void tell(const steps::StoreNotice& notice);
    void saveList(platform::Window& window);
    void keepShutdownHook(platform::Window& window);

    platform::Desktop& desktop_;
    mainwin::SharedValues& shared_;
    hotkeys::HotkeyTable hotkeys_;
    capture::StepEditor editor_;
    capture::QuickAdd quickAdd_;
    playback::RunControl run_;
    ListMenu listMenu_;
    AboutWindow about_;
    schedule::TimedStart timedStart_;
    schedule::ScheduleWindow scheduleWindow_;
    drag::RowDrag drag_;
    // The ids F5, F6 and F8 got; 0 for a key the system refused.
    int startHotkeyId_ = 0;
    int quickAddHotkeyId_ = 0;
    int aboutHotkeyId_ = 0;
    // How the store was found at start; a store that could not be read then
    // is never overwritten at close.
    steps::LoadResult storeAtStart_;
};

}  // namespace kv::app
