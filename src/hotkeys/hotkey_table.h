// System-wide hotkeys bound to handlers of the program.
//
//   HotkeyTable table(desktop);
//   int id = table.registerHotkey(window.handle(), 0, kF5, [&] { ... });
//   ...in the window's onHotkey(window, id): table.dispatch(window.handle(), id);
//
// Ids are 1, 2, 3 ... in registration order, without gaps: a key the system
// refuses gets 0 and uses up no id. Presses reach handlers only through the
// window of the first registration (the table's window); entries naming
// another window are registered with the system but never dispatched.
#pragma once

#include <functional>
#include <vector>

#include "platform/desktop.h"

namespace kv::hotkeys {

// Virtual-key codes of the program's hotkeys.
inline constexpr int kKeyF5 = 116;
inline constexpr int kKeyF6 = 117;
inline constexpr int kKeyF8 = 119;

struct HotkeyEntry {
    platform::NativeWindow window;
    int modifiers;
    int keyCode;
    int id;
    std::function<void()> handler;
};

class HotkeyTable {
public:
    explicit HotkeyTable(platform::Desktop& desktop) : desktop_(desktop) {}

    // The new id, or 0 when the system refused the key.
    int registerHotkey(platform::NativeWindow window, int modifiers, int keyCode,
                       std::function<void()> handler);
    // Runs the handler of the press; returns whether one ran. An id without
    // an entry is ignored.
    bool dispatch(platform::NativeWindow window, int id) const;

    const std::vector<HotkeyEntry>& entries() const { return entries_; }

private:
    platform::Desktop& desktop_;
    std::vector<HotkeyEntry> entries_;
};

}  // namespace kv::hotkeys
