#include "playback/primitives.h"

#include <algorithm>
#include <cstdint>

#include "playback/mouse_action.h"
#include "playback/wait_unit.h"

namespace kv::playback {
namespace {

bool isSet(const platform::Signal* signal) {
    return signal != nullptr && signal->isSet();
}

bool isPress(platform::MouseEvent event) {
    return event == platform::MouseEvent::leftDown || event == platform::MouseEvent::rightDown ||
           event == platform::MouseEvent::middleDown;
}

}  // namespace

void Primitives::moveCursor(platform::NativeWindow window, int x, int y) {
    desktop_.input().moveCursor(window, x, y);
}

void Primitives::mouseAction(int button, int action, const platform::Signal* cancel,
                             HeldButtons* held) {
    for (const MouseStep& step : mouseSteps(button, action)) {
        if (step.kind == MouseStep::Kind::doubleClickPause) {
            // The second press must come within the double-click time of the
            // first release; a full double-click time makes two single clicks.
            timerWait(desktop_.input().doubleClickTime() / 2,
                      static_cast<int>(WaitUnit::millisecond), cancel);
            continue;
        }
        if (isPress(step.event) && isSet(cancel)) {
            return;
        }
        desktop_.input().sendMouseEvent(step.event);
        if (held != nullptr) {
            held->note(step.event);
        }
    }
}

void Primitives::timerWait(std::int32_t amount, int unit, const platform::Signal* cancel) {
    desktop_.waits().timerWait(waitHundredNs(amount, unit), cancel);
}

void Primitives::pumpWait(std::int32_t ms, const platform::Signal* cancel) {
    if (ms <= 0) {
        return;
    }
    platform::Waits& waits = desktop_.waits();
    // Elapsed time as an unsigned difference stays right when the tick count
    // wraps at 32 bits during the wait.
    const std::uint32_t start = desktop_.tickCount();
    const auto limit = static_cast<std::uint32_t>(ms);
    for (;;) {
        waits.processPendingMessages();
        const std::uint32_t elapsed = desktop_.tickCount() - start;
        if (elapsed > limit || isSet(cancel)) {
            return;
        }
        const std::uint32_t left = limit - elapsed + 1;
        waits.waitForMessages(static_cast<int>(std::min<std::uint32_t>(left, INT32_MAX)), cancel);
    }
}

void Primitives::processPendingMessages() {
    desktop_.waits().processPendingMessages();
}

platform::NativeWindow Primitives::windowAtPoint(int x, int y) {
    return desktop_.windowAtPoint({x, y});
}

platform::Point Primitives::cursorPosition() {
    return desktop_.cursorPosition();
}

void Primitives::typeText(platform::NativeWindow window, std::string_view gbkText,
                          const platform::Signal* cancel) {
    desktop_.input().typeText(window, gbkText, cancel);
}

}  // namespace kv::playback
