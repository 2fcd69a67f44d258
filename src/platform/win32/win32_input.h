// Synthesised input on the real desktop: the cursor, button events at the
// cursor, and characters sent to a window.
#pragma once

#include "platform/input.h"

namespace kv::platform::win32 {

class Win32Input : public Input {
public:
    void moveCursor(NativeWindow window, int x, int y) override;
    void sendMouseEvent(MouseEvent event) override;
    int doubleClickTime() const override;
    // Under code page 936 the text's bytes go out as they are, one WM_CHAR
    // each, and the system pairs lead and trail bytes; under any other code
    // page those bytes would be misread, so the characters go out as UTF-16.
    void typeText(NativeWindow window, std::string_view gbkText, const Signal* cancel) override;
};

}  // namespace kv::platform::win32
