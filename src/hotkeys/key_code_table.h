// The reference text of the key-code window: 80 lines "名称：<name> 值：<code>".
// It is a vocabulary of its own, not the key names of key_names.h: digits
// read "键0", Tab has a line, and F13..F16 and a few others have none.
#pragma once

#include <span>
#include <string>

namespace kv::hotkeys {

struct KeyCodeLine {
    const char* name;
    int code;
};

std::span<const KeyCodeLine> keyCodeLines();

// The lines joined by CR LF, without a break after the last. Each name is
// padded with spaces to 13 bytes so that the codes line up.
std::string keyCodeTableText();

}  // namespace kv::hotkeys
