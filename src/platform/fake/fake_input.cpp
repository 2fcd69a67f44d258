#include "platform/fake/fake_input.h"

#include "platform/fake/fake_desktop.h"

namespace kv::platform::fake {

const char* mouseEventName(MouseEvent event) {
    switch (event) {
        case MouseEvent::leftDown:
            return "leftDown";
        case MouseEvent::leftUp:
            return "leftUp";
        case MouseEvent::rightDown:
            return "rightDown";
        case MouseEvent::rightUp:
            return "rightUp";
        case MouseEvent::middleDown:
            return "middleDown";
        case MouseEvent::middleUp:
            return "middleUp";
    }
    return "?";
}

void FakeInput::record(InputRecord record) {
    record.at = desktop_.clock().now();
    record.thread = std::this_thread::get_id();
    std::lock_guard lock(mutex_);
    records_.push_back(std::move(record));
}

// The client origin of a fake window is its outer origin, as for the
// windows the fake desktop opens.
void FakeInput::moveCursor(NativeWindow window, int x, int y) {
    Point origin{};
    if (window != 0) {
        const Rect rect = desktop_.windowRect(window);
        origin = {rect.left, rect.top};
    }
    const Point point{origin.x + x, origin.y + y};
    desktop_.setCursorPosition(point);
    InputRecord r{};
    r.kind = InputRecord::Kind::move;
    r.point = point;
    record(std::move(r));
}

void FakeInput::sendMouseEvent(MouseEvent event) {
    InputRecord r{};
    r.kind = InputRecord::Kind::mouse;
    r.event = event;
    record(std::move(r));
}

int FakeInput::doubleClickTime() const {
    std::lock_guard lock(mutex_);
    return doubleClickTime_;
}

void FakeInput::setDoubleClickTime(int ms) {
    std::lock_guard lock(mutex_);
    doubleClickTime_ = ms;
}

void FakeInput::setCharacterTime(int ms) {
    std::lock_guard lock(mutex_);
    characterTime_ = ms;
}

void FakeInput::typeText(NativeWindow window, std::string_view gbkText, const Signal* cancel) {
    int characterTime = 0;
    {
        std::lock_guard lock(mutex_);
        characterTime = characterTime_;
    }
    auto typeNow = [&](std::string_view text) {
        InputRecord r{};
        r.kind = InputRecord::Kind::text;
        r.window = window;
        r.text = std::string(text);
        record(std::move(r));
    };
    if (gbkText.empty() || (cancel != nullptr && cancel->isSet())) {
        return;
    }
    if (characterTime == 0) {
        typeNow(gbkText);
        return;
    }
    for (std::size_t at = 0; at < gbkText.size();) {
        if (cancel != nullptr && cancel->isSet()) {
            return;
        }
        // A lead byte and its trail byte are one character.
        const bool doubleByte =
            static_cast<unsigned char>(gbkText[at]) >= 0x81 && at + 1 < gbkText.size();
        const std::size_t length = doubleByte ? 2 : 1;
        typeNow(gbkText.substr(at, length));
        at += length;
        desktop_.waits().timerWait(std::int64_t{characterTime} * 10000, nullptr);
    }
}

std::vector<InputRecord> FakeInput::records() const {
    std::lock_guard lock(mutex_);
    return records_;
}

std::vector<std::string> FakeInput::timeline() const {
    std::vector<std::string> lines;
    for (const InputRecord& r : records()) {
        std::string line = std::to_string(r.at) + " ";
        switch (r.kind) {
            case InputRecord::Kind::move:
                line += "move " + std::to_string(r.point.x) + "," + std::to_string(r.point.y);
                break;
            case InputRecord::Kind::mouse:
                line += mouseEventName(r.event);
                break;
            case InputRecord::Kind::text:
                line += "text " + r.text;
                break;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

void FakeInput::clear() {
    std::lock_guard lock(mutex_);
    records_.clear();
}

}  // namespace kv::platform::fake
