// The step editor: the one window in which the user types a step or changes
// one. In add mode each confirmation appends a row; in edit mode each
// confirmation overwrites the row the editor was opened for. The window
// stays open after a confirmation and closes through "取消", Esc or its
// close box.
//
//   StepEditor editor(desktop, shared);
//   editor.attachStepList(&mainWindow.list(MainRole::stepList));
//   editor.openAddMode();   // modal: returns when the editor has closed
//   shared.editBuffer.set(cellsOfSelectedRow);
//   editor.openEditMode();  // non-modal: returns at once
//
// An editor already open is only brought to the front (and, for edit mode,
// refilled and retargeted); its creation steps do not run again.
#pragma once

#include <memory>

#include "capture/coordinate_capture.h"
#include "capture/step_editor_layout.h"
#include "hotkeys/hotkey_input_window.h"
#include "hotkeys/notify_hotkeys.h"
#include "mainwin/shared_values.h"
#include "platform/desktop.h"
#include "platform/list_control.h"

namespace kv::capture {

// The lowest interval a step clicked more than once keeps.
inline constexpr int kMinRepeatIntervalMs = 300;

class StepEditor : public platform::WindowHandlers {
public:
    StepEditor(platform::Desktop& desktop, mainwin::SharedValues& shared);
    ~StepEditor() override;
    StepEditor(const StepEditor&) = delete;
    StepEditor& operator=(const StepEditor&) = delete;

    // The list confirmations go to; nullptr while the main window is closed.
    void attachStepList(platform::ListControl* list) { list_ = list; }

    // Sets editorMode to add and opens the editor modally.
    void openAddMode();
    // Sets editorMode to edit and opens the editor non-modally for row
    // selectedRow, its fields filled from editBuffer by a worker thread.
    void openEditMode();
    // Closes an open editor as "取消" does.
    void close();
    // The open editor, or nullptr.
    platform::Window* window() const { return window_; }

    void onCreated(platform::Window& window) override;
    void onDestroy(platform::Window& window) override;
    void onClicked(platform::Window& window, platform::Role control) override;
    void onTimer(platform::Window& window, platform::Role timer) override;
    void onTextChanged(platform::Window& window, platform::Role control) override;
    bool onKeyDown(platform::Window& window, platform::Role control, int keyCode) override;
    void onHotkey(platform::Window& window, int id) override;
    void onMousePress(platform::Window& window, platform::Role control,
                      platform::MouseButton button, platform::Point clientPoint) override;

    // One opening of the window, shared with the fill workers started for
    // it. UI thread only: a worker reaches it only in work run there.
    struct Session {
        bool open = true;
        // The row that edit-mode confirmations overwrite, by its key.
        platform::RowKey target = 0;
        // The latest fill; writes of an older one are dropped.
        int fill = 0;
    };

private:
    // The capture hotkey's part of the window's life. Set-up returns false
    // when the rest of the creation (the edit-mode fill) must not run.
    bool setUpCapture(platform::Window& window);
    void releaseCapture(platform::Window& window);
    void captureTick(platform::Window& window);

    platform::RowKey keyOfSelectedRow() const;
    void startFill(platform::Window& window);
    void commit(platform::Window& window);
    void writeStep(const steps::StepRecord& step);
    void clickCountRule(platform::Window& window);

    platform::Desktop& desktop_;
    mainwin::SharedValues& shared_;
    platform::ListControl* list_ = nullptr;
    platform::Window* window_ = nullptr;
    std::shared_ptr<Session> session_;
    platform::RowKey openingTarget_ = 0;
    // One editor per process, so its notify hotkeys' ids count on from
    // 33001 for the whole run.
    hotkeys::NotifyHotkeys notifyHotkeys_;
    hotkeys::HotkeyInputWindow hotkeyInput_;
    CoordinateCapture capture_;
};

}  // namespace kv::capture
