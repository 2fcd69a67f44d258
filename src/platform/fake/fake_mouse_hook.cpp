#include "platform/fake/fake_mouse_hook.h"

#include "platform/fake/fake_desktop.h"

namespace kv::platform::fake {

FakeMouseHook::FakeMouseHook(FakeDesktop& desktop, FakeWindow& receiver)
    : desktop_(desktop), receiver_(receiver) {
    desktop_.hookInstalled(*this);
}

FakeMouseHook::~FakeMouseHook() {
    desktop_.hookRemoved(*this);
}

bool FakeMouseHook::leftReleaseLost() {
    return !releaseReported_ && !desktop_.isLeftButtonDown();
}

void FakeMouseHook::procedure(const HookedMouseEvent& event) {
    if (event.kind == HookedMouseKind::leftUp) {
        releaseReported_ = true;
    }
    FakeWindow& receiver = receiver_;
    desktop_.clock().after(0, [&receiver, event] { receiver.deliverHookedMouse(event); });
}

}  // namespace kv::platform::fake
