// The rules of the edit boxes' input kinds, shared by both backends.
#pragma once

#include <string>
#include <string_view>

#include "platform/layout.h"

namespace kv::platform {

// Whether a typed character reaches a box of this input kind. Control
// characters (below 0x20: Backspace, Enter, clipboard shortcuts) always do.
bool acceptsTypedChar(EditInput input, unsigned character);

// The text an integer-value box shows once it loses the focus: its leading
// integer (an optional "-" or "+" and the digits after it) as decimal text,
// clamped to the 32-bit range however many digits it has; 0 and a text
// without a leading integer become the empty text. "007" gives "7".
std::string integerValueText(std::string_view text);

}  // namespace kv::platform
