// System-wide hotkeys whose presses are notifications on a label of a
// window, rather than entries of the main window's hotkey table.
//
//   NotifyHotkeys notify(desktop);              // one per process
//   int id = notify.registerNotifyHotkey(window, Role(EditorRole::label), 0, 120);
//   ...in the window's onHotkey(window, id):
//   if (auto label = notify.targetOf(window.handle(), id)) { /* the label's notification */ }
//   notify.unregisterNotifyHotkey(window, id);
//
// Ids come from a counter that starts at 33001 and never goes back; a failed
// attempt uses up its number too. So they never meet the table's ids 1, 2, 3.
#pragma once

#include <optional>
#include <vector>

#include "platform/desktop.h"

namespace kv::hotkeys {

class NotifyHotkeys {
public:
    static constexpr int kFirstId = 33001;
    // Virtual-key codes run from 1 to 254; anything else names no key.
    static constexpr int kLowestKeyCode = 1;
    static constexpr int kHighestKeyCode = 254;

    explicit NotifyHotkeys(platform::Desktop& desktop) : desktop_(desktop) {}

    // The new id, or 0 when the system refused the key. A code that names no
    // key is refused without asking the system.
    int registerNotifyHotkey(const platform::Window& window, platform::Role target, int modifiers,
                             int keyCode);
    // Releases the key; the id raises no notification from then on, even for
    // a press already on its way. An id of 0 does nothing.
    void unregisterNotifyHotkey(const platform::Window& window, int id);

    // The label a press of this id notifies, when this service issued the id
    // for that window and it is still registered.
    std::optional<platform::Role> targetOf(platform::NativeWindow window, int id) const;

    // The number the next registration will use.
    int nextId() const { return nextId_; }

private:
    struct Registration {
        platform::NativeWindow window;
        int id;
        platform::Role target;
    };

    platform::Desktop& desktop_;
    int nextId_ = kFirstId;
    std::vector<Registration> registrations_;
};

}  // namespace kv::hotkeys
