// A system-wide low-level mouse hook, alive as long as its owner object.
//
// The hook procedure does nothing but report: each mouse event of the whole
// desktop reaches the receiving window's onHookedMouse later, on the window's
// thread, in the order the events happened (moves may be merged into the
// latest one). The event itself always goes on to its target; nothing is
// swallowed.
//
//   std::unique_ptr<platform::MouseHook> hook = desktop.hookMouse(mainWindow);
//   if (!hook) { /* the system refused it */ }
//   hook.reset();  // removed
#pragma once

#include <cstdint>

#include "platform/geometry.h"

namespace kv::platform {

enum class HookedMouseKind {
    move,
    leftDown,
    leftUp,
    otherDown,  // right, middle or an extra button pressed
    otherUp,
};

struct HookedMouseEvent {
    HookedMouseKind kind;
    Point screenPoint;
    // The program's own synthesised input (playback), not the user's hand.
    bool programInput = false;
    friend constexpr bool operator==(const HookedMouseEvent&, const HookedMouseEvent&) = default;
};

// Marks every mouse event the program synthesises, so that its own hook can
// tell playback's clicks from the user's ("KLKV").
inline constexpr std::uintptr_t kProgramInputMark = 0x4B4C4B56;

class MouseHook {
public:
    virtual ~MouseHook() = default;  // removes the hook

    // The left button is up although the hook has reported no release of it
    // (a report still queued for the window counts as reported): the release
    // happened where the hook could not see it.
    virtual bool leftReleaseLost() = 0;
};

}  // namespace kv::platform
