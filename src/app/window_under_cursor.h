#pragma once

#include "platform/desktop.h"

namespace kv::app {

// The window under the cursor: the window at the cursor's point, or, when it
// is a child window, the smallest visible sibling below it in z-order whose
// rectangle holds the point (transparent labels and group frames overlap
// the controls the user actually points at).
platform::NativeWindow windowUnderCursor(const platform::Desktop& desktop);

}  // namespace kv::app
