// Real mouse input for integration tests: the cursor moved and buttons
// pressed through SendInput, as a user's mouse would.
#pragma once

#include <windows.h>

#include "platform/geometry.h"

namespace kv::test {

void pressButtonAt(POINT screen, platform::MouseButton button);
void releaseButtonAt(POINT screen, platform::MouseButton button);
// A press and a release at one screen point.
void clickAt(POINT screen, platform::MouseButton button);

}  // namespace kv::test
