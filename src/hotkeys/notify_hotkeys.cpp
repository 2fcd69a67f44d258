#include "hotkeys/notify_hotkeys.h"

#include <algorithm>

namespace kv::hotkeys {

int NotifyHotkeys::registerNotifyHotkey(const platform::Window& window, platform::Role target,
                                        int modifiers, int keyCode) {
    const int id = nextId_++;
    if (keyCode < kLowestKeyCode || keyCode > kHighestKeyCode ||
        !desktop_.registerHotkey(window.handle(), id, modifiers, keyCode)) {
        return 0;
    }
    registrations_.push_back({window.handle(), id, target});
    return id;
}

void NotifyHotkeys::unregisterNotifyHotkey(const platform::Window& window, int id) {
    if (id == 0) {
        return;
    }
    desktop_.unregisterHotkey(window.handle(), id);
    std::erase_if(registrations_,
                  [&](const Registration& r) { return r.window == window.handle() && r.id == id; });
}

std::optional<platform::Role> NotifyHotkeys::targetOf(platform::NativeWindow window, int id) const {
    const auto found = std::ranges::find_if(
        registrations_, [&](const Registration& r) { return r.window == window && r.id == id; });
    if (found == registrations_.end()) {
        return std::nullopt;
    }
    return found->target;
}

}  // namespace kv::hotkeys
