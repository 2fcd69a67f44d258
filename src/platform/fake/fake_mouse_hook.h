// A low-level mouse hook on the fake desktop. Like the real one, its
// procedure only posts each report to the receiving window; the report is
// handled when the test's clock runs the window's queue.
#pragma once

#include <atomic>

#include "platform/mouse_hook.h"

namespace kv::platform::fake {

class FakeDesktop;
class FakeWindow;

class FakeMouseHook : public MouseHook {
public:
    FakeMouseHook(FakeDesktop& desktop, FakeWindow& receiver);
    ~FakeMouseHook() override;
    FakeMouseHook(const FakeMouseHook&) = delete;
    FakeMouseHook& operator=(const FakeMouseHook&) = delete;

    bool leftReleaseLost() override;

    // The hook procedure: called by the desktop for every mouse event.
    void procedure(const HookedMouseEvent& event);

private:
    FakeDesktop& desktop_;
    FakeWindow& receiver_;
    std::atomic<bool> releaseReported_{false};
};

}  // namespace kv::platform::fake
