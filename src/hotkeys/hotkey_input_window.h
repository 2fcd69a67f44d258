// "注册热键": the user types a key code, or looks one up in "按键数值表".
//
//   HotkeyInputWindow input(desktop);       // one per process
//   const int code = input.choose();      // modal; 0: no value
//
// A confirmation stores the box's number in pendingHotkeyValue, which keeps
// the last confirmed value for the rest of the process. choose() gives the
// caller only what was confirmed in this opening: cancelling, the close box
// and Esc give 0, whatever an earlier opening confirmed.
#pragma once

#include <cstdint>

#include "platform/desktop.h"

namespace kv::hotkeys {

class HotkeyInputWindow : public platform::WindowHandlers {
public:
    explicit HotkeyInputWindow(platform::Desktop& desktop) : desktop_(desktop) {}

    // Opens the window modally and returns the code confirmed in it, or 0.
    std::int32_t choose();

    std::int32_t pendingHotkeyValue() const { return pendingHotkeyValue_; }

    void onClicked(platform::Window& window, platform::Role control) override;
    void onMousePress(platform::Window& window, platform::Role control,
                      platform::MouseButton button, platform::Point clientPoint) override;

private:
    // Fills and shows "按键数值表".
    class KeyTable : public platform::WindowHandlers {
    public:
        void onCreated(platform::Window& window) override;
    };

    platform::Desktop& desktop_;
    KeyTable keyTable_;
    std::int32_t pendingHotkeyValue_ = 0;
    bool confirmed_ = false;
};

}  // namespace kv::hotkeys
