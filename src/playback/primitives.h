// The operations through which playback acts on the desktop: put the cursor
// at a point, act with a mouse button there, wait, find the window under a
// point and type into it. They act on the calling thread: both waits keep
// dispatching that thread's messages.
//
// Waits take an optional `cancel` signal and end early once it is set; that
// is how stopping a run cuts short the wait in progress.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/desktop.h"
#include "playback/held_buttons.h"

namespace kv::playback {

class Primitives {
public:
    explicit Primitives(platform::Desktop& desktop) : desktop_(desktop) {}

    void moveCursor(platform::NativeWindow window, int x, int y);
    // Sends the events of the action at the cursor; `held` learns every press
    // and release sent. A double click waits half the system double-click
    // time between its clicks, so the target sees one double click. Once
    // cancel is set no further press goes out (a release still does): a
    // double click stopped in its pause ends after the first click.
    void mouseAction(int button, int action, const platform::Signal* cancel = nullptr,
                     HeldButtons* held = nullptr);
    void timerWait(std::int32_t amount, int unit, const platform::Signal* cancel = nullptr);
    // Returns once the tick count has moved more than `ms` past its value at
    // the call (at once for 0 or less); sleeps between messages.
    void pumpWait(std::int32_t ms, const platform::Signal* cancel = nullptr);
    void processPendingMessages();
    platform::NativeWindow windowAtPoint(int x, int y);
    platform::Point cursorPosition();
    // Ends at the next character once cancel is set.
    void typeText(platform::NativeWindow window, std::string_view gbkText,
                  const platform::Signal* cancel = nullptr);

private:
    platform::Desktop& desktop_;
};

}  // namespace kv::playback
