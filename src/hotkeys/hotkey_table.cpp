#include "hotkeys/hotkey_table.h"

namespace kv::hotkeys {

int HotkeyTable::registerHotkey(platform::NativeWindow window, int modifiers, int keyCode,
                                std::function<void()> handler) {
    const int id = static_cast<int>(entries_.size()) + 1;
    if (!desktop_.registerHotkey(window, id, modifiers, keyCode)) {
        return 0;
    }
    entries_.push_back({window, modifiers, keyCode, id, std::move(handler)});
    return id;
}

bool HotkeyTable::dispatch(platform::NativeWindow window, int id) const {
    if (entries_.empty() || window != entries_.front().window || id < 1 ||
        id > static_cast<int>(entries_.size())) {
        return false;
    }
    const HotkeyEntry& entry = entries_[static_cast<std::size_t>(id) - 1];
    if (entry.handler) {
        entry.handler();
    }
    return true;
}

}  // namespace kv::hotkeys
