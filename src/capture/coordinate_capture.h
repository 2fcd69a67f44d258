// The step editor's capture hotkey: while capture is on, the editor's X and
// Y fields follow the cursor ten times a second. One key (F9 unless the
// settings file says otherwise) toggles it from any application; the user can
// choose another key from the editor.
//
//   CoordinateCapture capture(desktop, notifyHotkeys, hotkeyInput, controls);
//   onCreated:    capture.setUp(window);
//   onHotkey:     capture.onHotkey(window, id);
//   onTimer:      if (timer == controls.captureTimer) capture.captureTick(window);
//   label press:  capture.changeCaptureHotkey(window);
//   onDestroy:    capture.release(window);
//
// Whether capture is on is read from the label's caption, compared with the
// exact texts "快捷键" + name and "正在取坐标..." + name + "停止".
//
// The editor holds at most one capture key, whichever step registered it
// (the stored key, the retry at opening, a change), and releases it when it
// is destroyed; a successful change releases the key it replaces.
#pragma once

#include <cstdint>
#include <string>

#include "hotkeys/hotkey_input_window.h"
#include "hotkeys/notify_hotkeys.h"
#include "platform/desktop.h"

namespace kv::capture {

// The editor's controls the capture works on.
struct CaptureControls {
    platform::Role captureHotkeyLabel;
    platform::Role changeHotkeyLabel;
    platform::Role xEdit;
    platform::Role yEdit;
    platform::Role captureTimer;
};

inline constexpr int kCapturePeriodMs = 100;

class CoordinateCapture {
public:
    CoordinateCapture(platform::Desktop& desktop, hotkeys::NotifyHotkeys& notifyHotkeys,
                      hotkeys::HotkeyInputWindow& hotkeyInput, CaptureControls controls);

    // When the editor is created: makes sure the settings file exists, shows
    // the stored key on the label and registers it; a key that cannot be
    // registered is reported and the user may choose another.
    void setUp(platform::Window& editor);

    // A hotkey reached the editor; returns whether it was its capture key.
    bool onHotkey(platform::Window& editor, int id);

    // Each press of the capture key: idle turns to capturing, any other
    // state to idle. Ignored while the user is choosing a new key.
    void captureToggle(platform::Window& editor);

    // Each tick while capturing: the cursor's screen position into X and Y.
    void captureTick(platform::Window& editor);

    // A left press on the change label: the user chooses another key.
    void changeCaptureHotkey(platform::Window& editor);

    // When the editor is about to be destroyed.
    void release(platform::Window& editor);

    int captureHotkeyId() const { return captureHotkeyId_; }
    const std::string& captureHotkeyText() const { return captureHotkeyText_; }

private:
    // The value of 热键/值 as the toggle sees it: re-read from the file on
    // every press, except after the file could not be written this opening.
    std::string currentKeyText() const;
    // Registers a key chosen by the user over the one held; returns whether
    // the editor now holds it.
    bool takeChosenKey(platform::Window& editor, std::int32_t code);
    void registrationFailed(platform::Window& editor);
    void registrationSucceeded(platform::Window& editor, std::int32_t code);
    void setIdleCaption(platform::Window& editor, std::int32_t code);
    void tellNotSaved(std::int32_t code);

    platform::Desktop& desktop_;
    hotkeys::NotifyHotkeys& notifyHotkeys_;
    hotkeys::HotkeyInputWindow& hotkeyInput_;
    const CaptureControls controls_;

    std::string captureHotkeyText_;
    int captureHotkeyId_ = 0;
    std::int32_t heldKeyCode_ = 0;
    bool choosingKey_ = false;
    // The settings file could not be written during this opening: the key
    // held is kept in memory only.
    bool unsaved_ = false;
};

}  // namespace kv::capture
