// Synthesised input on the fake desktop: every event is recorded with its
// virtual time and the thread that sent it, so tests can assert a timeline.
#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/fake/virtual_clock.h"
#include "platform/input.h"

namespace kv::platform::fake {

class FakeDesktop;

struct InputRecord {
    enum class Kind { move, mouse, text };
    Kind kind;
    VirtualClock::Millis at;
    std::thread::id thread;
    Point point;          // move: the screen point the cursor went to
    MouseEvent event{};   // mouse
    NativeWindow window;  // text: the target window
    std::string text;     // text: the GBK bytes typed
};

// "leftDown", "rightUp", ...
const char* mouseEventName(MouseEvent event);

class FakeInput : public Input {
public:
    explicit FakeInput(FakeDesktop& desktop) : desktop_(desktop) {}

    void moveCursor(NativeWindow window, int x, int y) override;
    void sendMouseEvent(MouseEvent event) override;
    int doubleClickTime() const override;
    void typeText(NativeWindow window, std::string_view gbkText, const Signal* cancel) override;

    void setDoubleClickTime(int ms);
    // How long the target takes over each character. 0 (the default): a text
    // arrives at once, as one record; otherwise each character is its own
    // record and a wait, so a stop can come in the middle of a text.
    void setCharacterTime(int ms);
    std::vector<InputRecord> records() const;
    // The records as short lines: "300 move 10,20", "600 leftDown",
    // "900 text abc". Text is shown as its bytes.
    std::vector<std::string> timeline() const;
    void clear();

private:
    void record(InputRecord record);

    FakeDesktop& desktop_;
    mutable std::mutex mutex_;
    int doubleClickTime_ = 500;
    int characterTime_ = 0;
    std::vector<InputRecord> records_;
};

}  // namespace kv::platform::fake
