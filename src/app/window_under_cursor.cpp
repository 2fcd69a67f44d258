#include "app/window_under_cursor.h"

namespace kv::app {

platform::NativeWindow windowUnderCursor(const platform::Desktop& desktop) {
    const platform::Point cursor = desktop.cursorPosition();
    const platform::NativeWindow first = desktop.windowAtPoint(cursor);
    if (first == 0) {
        return 0;
    }
    const platform::NativeWindow parent = desktop.parentOf(first);
    if (parent == 0) {
        return first;
    }
    platform::NativeWindow best = first;
    std::int64_t bestArea = desktop.windowRect(first).area();
    for (platform::NativeWindow next = desktop.nextInZOrder(first); next != 0;
         next = desktop.nextInZOrder(next)) {
        if (desktop.parentOf(next) != parent || !desktop.isWindowVisible(next)) {
            continue;
        }
        const platform::Rect rect = desktop.windowRect(next);
        if (rect.contains(cursor) && rect.area() < bestArea) {
            best = next;
            bestArea = rect.area();
        }
    }
    return best;
}

}  // namespace kv::app
