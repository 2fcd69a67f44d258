#include "hotkeys/hotkey_input_window.h"

#include "hotkeys/hotkey_windows_layout.h"
#include "hotkeys/key_code_table.h"
#include "steps/text_to_int.h"

namespace kv::hotkeys {

std::int32_t HotkeyInputWindow::choose() {
    confirmed_ = false;
    desktop_.openWindow(kHotkeyInputWindowSpec, *this, platform::Modality::modal);
    return confirmed_ ? pendingHotkeyValue_ : 0;
}

void HotkeyInputWindow::onClicked(platform::Window& window, platform::Role control) {
    if (control.is(HotkeyInputRole::hotkeyOkButton)) {
        // No range or name check: an empty box confirms 0, "no value".
        pendingHotkeyValue_ = textToInt(window.text(HotkeyInputRole::hotkeyValueEdit));
        confirmed_ = true;
        window.close();
    } else if (control.is(HotkeyInputRole::hotkeyCancelButton)) {
        window.close();
    }
}

void HotkeyInputWindow::onMousePress(platform::Window& /*window*/, platform::Role control,
                                     platform::MouseButton button,
                                     platform::Point /*clientPoint*/) {
    if (control.is(HotkeyInputRole::showKeyTableLabel) && button == platform::MouseButton::left) {
        desktop_.openWindow(kKeyCodeTableWindowSpec, keyTable_, platform::Modality::modal);
    }
}

void HotkeyInputWindow::KeyTable::onCreated(platform::Window& window) {
    window.setText(KeyTableRole::keyTableEdit, keyCodeTableText());
}

}  // namespace kv::hotkeys
