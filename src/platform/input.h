// Synthesised input: the cursor, mouse-button events at the cursor, and text
// typed into a window. The backends make only the raw calls; which events
// make up a click or a double click is decided in playback/mouse_action.h.
#pragma once

#include <string_view>

#include "platform/geometry.h"
#include "platform/waits.h"

namespace kv::platform {

// One mouse-button event; it takes effect at the cursor's current position.
enum class MouseEvent {
    leftDown,
    leftUp,
    rightDown,
    rightUp,
    middleDown,
    middleUp,
};

class Input {
public:
    virtual ~Input() = default;

    // Puts the cursor at (x, y) relative to the client-area origin of window,
    // or at the screen point (x, y) when window is 0. The system clips a point
    // outside the screen.
    virtual void moveCursor(NativeWindow window, int x, int y) = 0;
    virtual void sendMouseEvent(MouseEvent event) = 0;
    // The longest gap the system allows between the clicks of a double click.
    virtual int doubleClickTime() const = 0;
    // Sends the characters of a GBK text to window as typed characters and
    // returns when the window has processed them. Window 0: nothing arrives.
    // Once cancel (may be null) is set, no further character is sent; a
    // character is never cut in half.
    virtual void typeText(NativeWindow window, std::string_view gbkText, const Signal* cancel) = 0;
};

}  // namespace kv::platform
